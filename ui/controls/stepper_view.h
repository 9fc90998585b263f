// A value with a down button on the left and an up button on the right. The value lives with the
// delegate; the view only steps it within its bounds and shows it. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"

class StepperView;
class UIButton;
class UILabel;

class StepperViewDelegate {
public:
    virtual ~StepperViewDelegate() = default;
    virtual float onStepperViewGetValue(StepperView& stepper) = 0;
    virtual void onStepperViewChanged(StepperView& stepper, float v) = 0;
};

class StepperView : public UIView {
public:
    KORVA_MAKE(StepperView)
    static constexpr char16_t kIconUp = 0xF106;
    static constexpr char16_t kIconDown = 0xF107;

    void init() override;

    void onUp() { step(stepValue_); }
    void onDown() { step(-stepValue_); }
    // Shows the delegate's value as a whole number.
    void update();

    float minValue() const { return minValue_; }
    void setMinValue(float v) { minValue_ = v; }
    float maxValue() const { return maxValue_; }
    void setMaxValue(float v) { maxValue_ = v; }
    float stepValue() const { return stepValue_; }
    void setStepValue(float v) { stepValue_ = v; }
    void setDelegate(const std::shared_ptr<StepperViewDelegate>& d) { delegate_ = d; }

    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<UIButton>& btnUp() const { return btnUp_; }
    const std::shared_ptr<UIButton>& btnDown() const { return btnDown_; }

    std::string className() const override { return "StepperView"; }

protected:
    using UIView::UIView;

private:
    void step(float delta);

    float minValue_ = 0, maxValue_ = 0, stepValue_ = 0;
    std::weak_ptr<StepperViewDelegate> delegate_;
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<UIButton> btnUp_, btnDown_;
};
