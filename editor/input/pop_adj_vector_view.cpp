#include "editor/input/pop_adj_vector_view.h"

#include <vector>

#include "editor/adjust/adj_record.h"
#include "editor/input/adj_numbers.h"
#include "filter/filter_element.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

namespace {}

void PopAdjVectorView::init() {
    PopAdjGeneralBase::init();
    setSize(kInitialSize);
    setBgColor(UIColor::colorWithWhite(0, 1));
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(1, 1));
    for (int i = 0; i < kSliderCount; ++i) initSlider(i, 0, 1);
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
}

void PopAdjVectorView::initSlider(int index, float mn, float mx) {
    auto slider = UISlider::make();
    slider->setTag(kFirstTag + index);
    slider->setMinimumValue(mn);
    slider->setMaximumValue(mx);
    std::weak_ptr<PopAdjVectorView> weak = self<PopAdjVectorView>();
    slider->addAction(
        [weak](UIControl& c) {
            if (auto s = weak.lock()) s->onSlider(static_cast<UISlider&>(c));
        },
        UIControlEventValueChanged);
    b0_->addSubview(slider);
    sliders_[static_cast<std::size_t>(index)] = slider;
}

void PopAdjVectorView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateView();
    showForRecord(sender, record, std::move(completion));
}

int PopAdjVectorView::componentsOf(const Value& record) {
    switch (record["view"].isNumber() ? record["view"].integerValue() : 0) {
        case 11: return 2;
        case 12: return 3;
        default: return kSliderCount;
    }
}

void PopAdjVectorView::updateView() {
    const int n = componentsOf(value_);
    setSize({size().width, kBaseHeight + kSliderPitch * n});
    const bool hasMin = adjRecordHas(value_, "min");
    const bool hasMax = adjRecordHas(value_, "max");
    const std::vector<float> mins = adjRecordFloats(value_, "min", kSliderCount);
    const std::vector<float> maxs = adjRecordFloats(value_, "max", kSliderCount);
    const std::vector<float> values = adjRecordFloats(value_, "value", kSliderCount);
    for (const auto& slider : sliders_) {
        const long i = slider->tag() - kFirstTag;
        const auto u = static_cast<std::size_t>(i);
        slider->setHidden(i >= n);
        slider->setFrame({{kSliderInset, kSliderInset + kSliderPitch * static_cast<CGFloat>(i)},
                          {size().width - 2 * kSliderInset, kSliderHeight}});
        if (i >= n) continue;
        float lo = 0;
        float hi = 1;
        if (hasMin && hasMax) {
            lo = mins[u];
            hi = maxs[u];
        } else if (hasMin) {
            lo = mins[u];
            hi = mins[u] + 1;
        } else if (hasMax) {
            lo = maxs[u] - 1;
            hi = maxs[u];
        }
        slider->setMinimumValue(lo);
        slider->setMaximumValue(hi);
        slider->setValue(values[u]);
    }
}

void PopAdjVectorView::onSlider(UISlider&) {
    // The hidden sliders stand for components this record's kind does not show: they keep the
    // record's own numbers rather than whatever an earlier record left on them.
    const int n = componentsOf(value_);
    std::vector<float> v = adjRecordFloats(value_, "value", kSliderCount);
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = sliders_[static_cast<std::size_t>(i)]->value();
    FilterElement::setAttrValueVec(value_, v[0], v[1], v[2], v[3]);
    reportChange(value_);
}

void PopAdjVectorView::onRightButton(IconButton&) {
    const std::vector<float> def = adjRecordFloats(value_, "def", kSliderCount);
    FilterElement::setAttrValueVec(value_, def[0], def[1], def[2], def[3]);
    reportChange(value_);
    updateView();
}
