// The colour-array editor.
#include "editor/color/pop_adj_color_array_view.h"

#include "editor/adjust/adj_record.h"
#include "filter/filter_element.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "widgets/scroll/scroll_label.h"

namespace {
constexpr CGFloat kSideInset = 20;
constexpr CGFloat kTopInset = 5;
}  // namespace

void PopAdjColorArrayView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(1, 1));
    // The bubble is white: the title in white would not be seen on it.
    titleView()->lblTitle()->setTextColor(UIColor::blackColor());
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    assignRound(*b0_, kPopupCornerRadius);
    slider_ = UISlider::make();
    slider_->setMinimumValue(0);
    slider_->setMaximumValue(1);
    slider_->setTintColor(UIColor::whiteColor());
    slider_->setMinimumTrackTintColor(UIColor::whiteColor());
    b0_->addSubview(slider_);
    addConstraintsFull(slider_, b0_, kSideInset, kTopInset, -kSideInset, -kTopInset);
    std::weak_ptr<PopAdjColorArrayView> weak = self<PopAdjColorArrayView>();
    slider_->addAction(
        [weak](UIControl& c) {
            if (auto s = weak.lock()) s->onColorArray(static_cast<UISlider&>(c));
        },
        UIControlEventValueChanged);
}

void PopAdjColorArrayView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateView();
    showForRecord(sender, record, std::move(completion));
}

void PopAdjColorArrayView::updateView() {
    const Value record = value_.lock();
    slider_->setMinimumValue(adjRecordFloat(record, "min"));
    slider_->setMaximumValue(adjRecordFloat(record, "max"));
}

void PopAdjColorArrayView::onColorArray(UISlider& slider) {
    Value record = value_.lock();
    if (!record.isDictionary()) return;  // dropped by its owner
    FilterElement::setAttrValueFloat(record, slider.value());
    reportChange(record);
}

void PopAdjColorArrayView::onRightButton(IconButton&) {
    Value record = value_.lock();
    if (!record.isDictionary()) return;
    const Value& def = record["def"];
    if (const ValueArray* a = def.arrayPtr()) {
        FilterElement::setAttrValueArray(record, *a);
    } else {
        FilterElement::setAttrValueFloat(record, def.isNumber() ? def.doubleValue() : 0);
    }
    reportChange(record);
    updateView();
}
