// An arrowed pop-up holding a stepper whose value lives with the pop-up's delegate. Main-thread only.
#pragma once

#include "ui/controls/stepper_view.h"
#include "ui/popup/pop_arrowed_view.h"

class PopStepperView;

class PopStepperViewDelegate {
public:
    virtual ~PopStepperViewDelegate() = default;
    virtual void onPopStepperViewWillShow(PopStepperView&) {}
    virtual float onPopStepperViewGetValue(PopStepperView& pop) = 0;
    virtual void onPopStepperViewChanged(PopStepperView& pop, float v) = 0;
    virtual void onPopStepperViewDidHide(PopStepperView&) {}
};

class PopStepperView : public PopArrowedView, public StepperViewDelegate {
public:
    KORVA_MAKE(PopStepperView)
    static constexpr CGSize kSize{170, 45};

    void init() override;
    void updateView();
    void show(const std::shared_ptr<NSObject>& sender, float stepValue, float minValue, float maxValue,
              Callback completion);
    using PopArrowedView::show;
    void hide(Callback completion) override;
    using PopArrowedView::hide;

    float onStepperViewGetValue(StepperView&) override;
    void onStepperViewChanged(StepperView&, float v) override;

    void setDelegate(const std::shared_ptr<PopStepperViewDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<StepperView>& body() const { return body_; }

    std::string className() const override { return "PopStepperView"; }

protected:
    explicit PopStepperView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

private:
    std::weak_ptr<PopStepperViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<StepperView> body_;
};
