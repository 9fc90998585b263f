// The stepper pop-up.
#include "ui/popup/pop_stepper_view.h"

#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

void PopStepperView::init() {
    PopArrowedView::init();
    useBlackShadowedLook();
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::whiteColor());
    assignRound(*b0_, kPopupCornerRadius);
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), 1, 1, -1, -1);
    body_ = StepperView::make();
    body_->setDelegate(std::dynamic_pointer_cast<StepperViewDelegate>(shared_from_this()));
    b0_->addSubview(body_);
    addConstraintsFull(body_, b0_, 0, 0, 0, 0);
    hideOnTapOutside();
}

void PopStepperView::updateView() {
    setSize(kSize);
    body_->update();
}

void PopStepperView::show(const std::shared_ptr<NSObject>& sender, float stepValue, float minValue, float maxValue,
                          Callback completion) {
    body_->setStepValue(stepValue);
    body_->setMinValue(minValue);
    body_->setMaxValue(maxValue);
    updateView();
    if (auto d = delegate_.lock()) d->onPopStepperViewWillShow(*this);
    PopArrowedView::show(sender, std::move(completion), nullptr);
}

void PopStepperView::hide(Callback completion) {
    auto weak = std::weak_ptr<PopStepperView>(self<PopStepperView>());
    PopArrowedView::hide([weak, completion = std::move(completion)] {
        if (completion) completion();
        auto s = weak.lock();
        if (auto d = s ? s->delegate_.lock() : nullptr) d->onPopStepperViewDidHide(*s);
    });
}

float PopStepperView::onStepperViewGetValue(StepperView&) {
    auto d = delegate_.lock();
    return d ? d->onPopStepperViewGetValue(*this) : 0;
}

void PopStepperView::onStepperViewChanged(StepperView&, float v) {
    if (auto d = delegate_.lock()) d->onPopStepperViewChanged(*this, v);
}
