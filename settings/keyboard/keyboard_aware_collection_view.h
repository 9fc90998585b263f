// A collection view that keeps the field being edited above the keyboard, unless the system (from
// major version 9) does that for a collection view controller that is its delegate.
#pragma once

#include "platform/ui/controller/ui_collection_view_controller.h"
#include "platform/ui/table/ui_collection_view.h"
#include "settings/keyboard/keyboard_aware_view.h"

class KeyboardAwareCollectionView : public KeyboardAwareView<UICollectionView, KeyboardAwareKind::Collection> {
public:
    KORVA_MAKE(KeyboardAwareCollectionView)
    bool hasAutomaticKeyboardAvoidingBehaviour() const override;
    std::string className() const override { return "KeyboardAwareCollectionView"; }

protected:
    using KeyboardAwareView::KeyboardAwareView;
};
