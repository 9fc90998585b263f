// What a keyboard-avoiding scroll view remembers about the time before the keyboard came, hung on
// the view on first use and kept for its life.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/view/ui_edge_insets.h"

class KeyboardAwareState : public NSObject {
public:
    KORVA_MAKE(KeyboardAwareState)
    bool keyboardVisible = false;
    bool priorPagingEnabled = false;
    // Set while the view moves the focus or scrolls on its own.
    bool ignoringNotifications = false;
    bool keyboardAnimationInProgress = false;
    double animationDuration = 0;
    CGSize priorContentSize{0, 0};
    UIEdgeInsets priorInset, priorScrollIndicatorInsets;
    // The keyboard's end frame in the view's coordinates when it came; zero while hidden.
    CGRect keyboardRect = CGRectZero;
    // The same in window coordinates, to measure the overlap again after the view moves.
    CGRect keyboardWindowRect = CGRectZero;

    std::string className() const override { return "KeyboardAwareState"; }

protected:
    KeyboardAwareState() = default;
};
