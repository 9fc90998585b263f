// A table view that keeps the field being edited above the keyboard, unless its delegate is a
// table view controller, which does that itself.
#pragma once

#include "platform/ui/controller/ui_table_view_controller.h"
#include "platform/ui/table/ui_table_view.h"
#include "settings/keyboard/keyboard_aware_view.h"

class KeyboardAwareTableView : public KeyboardAwareView<UITableView, KeyboardAwareKind::Table> {
public:
    KORVA_MAKE(KeyboardAwareTableView)
    bool hasAutomaticKeyboardAvoidingBehaviour() const override {
        return std::dynamic_pointer_cast<UITableViewController>(delegate()) != nullptr;
    }
    std::string className() const override { return "KeyboardAwareTableView"; }

protected:
    using KeyboardAwareView::KeyboardAwareView;
};
