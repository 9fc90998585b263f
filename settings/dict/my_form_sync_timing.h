// The settings form's sync-timing row: a length in seconds stepped by tenths with a stepper or set
// from preset buttons, one of which ("Orig") restores the row's reference length.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_stepper.h"
#include "settings/form/form_table_view_cell.h"

class MyFormSyncTimingItem : public FormTableViewItem {
public:
    KORVA_MAKE(MyFormSyncTimingItem)
    using ChangeHandler = std::function<void(MyFormSyncTimingItem&)>;
    static std::shared_ptr<MyFormSyncTimingItem> itemWithTitle(std::optional<std::string> title, float value,
                                                               float value0, ChangeHandler handler = nullptr);

    // Seconds.
    float value = 0;
    // The reference length "Orig" restores.
    float value0 = 0;
    ChangeHandler valueChangeHandler;

    std::string className() const override { return "MyFormSyncTimingItem"; }

protected:
    MyFormSyncTimingItem() = default;
};

class MyFormSyncTimingCell : public FormTableViewCell {
public:
    KORVA_MAKE(MyFormSyncTimingCell)
    using FormTableViewCell::canFocusWithItem;
    using FormTableViewCell::heightWithItem;
    static constexpr const char* kOrig = "Orig";

    std::shared_ptr<MyFormSyncTimingItem> timingItem() const {
        return std::dynamic_pointer_cast<MyFormSyncTimingItem>(formItemObject(item()));
    }
    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<UIStepper>& stepper() const { return stepper_; }
    const std::shared_ptr<UILabel>& value() const { return value_; }
    const std::shared_ptr<UIButton>& option1() const { return option1_; }
    const std::shared_ptr<UIButton>& option2() const { return option2_; }
    const std::shared_ptr<UIButton>& option3() const { return option3_; }

    void cellDidLoad() override;
    void cellWillAppear() override { updateView(); }
    void updateView();
    void onStepper();
    void onButton(UIButton& button);

    std::string className() const override { return "MyFormSyncTimingCell"; }

protected:
    using FormTableViewCell::FormTableViewCell;

private:
    // After a change of the user's: the handler, then the views.
    void changed();

    std::shared_ptr<UILabel> label_, value_;
    std::shared_ptr<UIStepper> stepper_;
    std::shared_ptr<UIButton> option1_, option2_, option3_;
};
