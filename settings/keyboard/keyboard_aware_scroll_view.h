// A scroll view that keeps the field being edited above the keyboard; while the keyboard is up a
// scroll view without a content size gets one from its subviews.
#pragma once

#include "platform/ui/control/ui_scroll_view.h"
#include "settings/keyboard/keyboard_aware_view.h"

class KeyboardAwareScrollView : public KeyboardAwareView<UIScrollView, KeyboardAwareKind::Scroll> {
public:
    KORVA_MAKE(KeyboardAwareScrollView)
    // The content size becomes the size computed from the subviews.
    void contentSizeToFit() { setContentSize(KeyboardAware_calculatedContentSizeFromSubviewFrames(*this)); }
    std::string className() const override { return "KeyboardAwareScrollView"; }

protected:
    using KeyboardAwareView::KeyboardAwareView;
};
