#include "editor/adjust/pop_adj_switch_view.h"

#include "editor/adjust/adj_record.h"
#include "filter/filter_element.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"

void PopAdjSwitchView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(0, 1));
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    sw_ = UISwitch::make();
    sw_->setTintColor(UIColor::whiteColor());
    sw_->setOnTintColor(UIColor::grayColor());
    b0_->addSubview(sw_);
    const CGSize side = sw_->intrinsicContentSize();
    addConstraintsCenter(sw_, b0_, 0, 0, side.width, side.height);
    std::weak_ptr<PopAdjSwitchView> weak = self<PopAdjSwitchView>();
    sw_->addAction(
        [weak](UIControl& c) {
            if (auto s = weak.lock()) s->onSwitch(static_cast<UISwitch&>(c));
        },
        UIControlEventValueChanged);
}

void PopAdjSwitchView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    updateView();
    showForRecord(sender, record, std::move(completion));
}

void PopAdjSwitchView::updateView() {
    sw_->setOn(adjRecordBool(value_, "value"), false);
}

void PopAdjSwitchView::onRightButton(IconButton&) {
    FilterElement::setAttrValueFloat(value_, adjRecordFloat(value_, "def"));
    reportChange(value_);
    updateView();
}

void PopAdjSwitchView::onSwitch(UISwitch& sw) {
    FilterElement::setAttrValueBool(value_, sw.isOn());
    reportChange(value_);
}
