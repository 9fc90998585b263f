#include "editor/adjust/pop_adj_stepper_view.h"

#include "editor/adjust/adj_record.h"
#include "filter/filter_element.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "widgets/scroll/scroll_label.h"

void PopAdjStepperView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(1, 1));
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
    stepper_ = StepperView::make();
    stepper_->setDelegate(std::dynamic_pointer_cast<StepperViewDelegate>(shared_from_this()));
    b0_->addSubview(stepper_);
    addConstraintsFull(stepper_, b0_, 0, 0, 0, 0);
}

void PopAdjStepperView::show(const std::shared_ptr<NSObject>& sender, const Value& record, float minValueIfNotExist,
                             float maxValueIfNotExist, Callback completion) {
    value_ = record;
    stepper_->setMinValue(adjRecordHas(record, "min") ? adjRecordFloat(record, "min") : minValueIfNotExist);
    stepper_->setMaxValue(adjRecordHas(record, "max") ? adjRecordFloat(record, "max") : maxValueIfNotExist);
    stepper_->setStepValue(1);
    updateView();
    showForRecord(sender, record, std::move(completion));
}

void PopAdjStepperView::updateView() {
    stepper_->update();
}

void PopAdjStepperView::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(value_, adjRecordFloat(value_, "def"));
    updateView();
    reportChange(value_);
}

float PopAdjStepperView::onStepperViewGetValue(StepperView&) {
    return adjRecordFloat(value_, "value");
}

void PopAdjStepperView::onStepperViewChanged(StepperView&, float v) {
    FilterElement::setAttrValueFloat(value_, v);
    reportChange(value_);
}
