#include "editor/adjust/pop_adj_slider_view.h"

#include "editor/adjust/adj_record.h"
#include "filter/filter_element.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {
constexpr CGFloat kSideInset = 20;
constexpr CGFloat kTopInset = 5;
}  // namespace

void PopAdjSliderView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(0, 0.8));
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::clearColor());
    slider_ = UISlider::make();
    slider_->setMinimumValue(0);
    slider_->setMaximumValue(1);
    slider_->setContinuous(true);
    slider_->setTintColor(UIColor::whiteColor());
    slider_->setMinimumTrackTintColor(UIColor::whiteColor());
    b0_->addSubview(slider_);
    addConstraintsFull(slider_, b0_, kSideInset, kTopInset, -kSideInset, -kTopInset);
    std::weak_ptr<PopAdjSliderView> weak = self<PopAdjSliderView>();
    slider_->addAction(
        [weak](UIControl& c) {
            if (auto s = weak.lock()) s->onSlider(static_cast<UISlider&>(c));
        },
        UIControlEventValueChanged);
}

void PopAdjSliderView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateView();
    showForRecord(sender, record, std::move(completion));
}

void PopAdjSliderView::updateView() {
    slider_->setMinimumValue(adjRecordFloat(value_, "min"));
    slider_->setMaximumValue(adjRecordFloat(value_, "max"));
    slider_->setValue(adjRecordFloat(value_, "value"));
}

void PopAdjSliderView::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(value_, adjRecordFloat(value_, "def"));
    updateView();
    reportChange(value_);
}

void PopAdjSliderView::onSlider(UISlider& slider) {
    FilterElement::setAttrValueFloat(value_, slider.value());
    reportChange(value_);
}
