// The editor of a whole number changed in steps of one between bounds: the record's "min" and
// "max" where it has them, the given ones otherwise. A press at a bound writes and reports
// nothing. Main-thread only.
#pragma once

#include "editor/adjust/pop_adj_general_base.h"
#include "ui/controls/stepper_view.h"

class PopAdjStepperView : public PopAdjGeneralBase, public StepperViewDelegate {
public:
    KORVA_MAKE(PopAdjStepperView)
    static constexpr CGSize kSize{200, 95};

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, const Value& record, float minValueIfNotExist,
              float maxValueIfNotExist, Callback completion);
    using PopAdjGeneralBase::show;
    void updateView();
    // Reset: the record's default, then the stepper, then the report.
    void onRightButton(IconButton& sender) override;

    float onStepperViewGetValue(StepperView& stepper) override;
    void onStepperViewChanged(StepperView& stepper, float v) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<StepperView>& stepper() const { return stepper_; }

    std::string className() const override { return "PopAdjStepperView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<StepperView> stepper_;
};
