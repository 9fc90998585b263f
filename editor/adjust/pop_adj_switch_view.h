// The editor of a boolean: one switch. Reset stores the default as a number (0 or 1), as the
// other single-number editors do. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"

class UISwitch;

class PopAdjSwitchView : public PopAdjGeneralBase {
public:
    KORVA_MAKE(PopAdjSwitchView)
    static constexpr CGSize kSize{150, 95};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;
    void updateView();
    // Reset: the record's default, then the report, then the switch.
    void onRightButton(IconButton& sender) override;
    void onSwitch(UISwitch& sw);

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<UISwitch>& sw() const { return sw_; }

    std::string className() const override { return "PopAdjSwitchView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<UISwitch> sw_;
};
