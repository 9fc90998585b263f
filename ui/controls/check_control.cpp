// The radio button and the labelled check box.
#include "ui/controls/check_control.h"

#include "foundation/global.h"
#include "foundation/image_service.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/anim_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kCheckSide = 40;
constexpr CGFloat kBoxRight = -20, kBoxTextLeft = 20, kBoxTextRight = -70;
}  // namespace

void CheckControl::setup() {
    auto images = Global::shared()->image();
    check_ = AnimButton::make();
    check_->setImages(images ? images->check0() : nullptr, images ? images->check1() : nullptr);
    check_->addAction(weakBind(self<CheckControl>(), &CheckControl::onTap), UIControlEventTouchUpInside);
}

void CheckButtonControl::setup() {
    CheckControl::setup();
    value_ = UIButton::buttonWithType(UIButtonType::System);
    if (auto font = Global::shared()->font()) value_->titleLabel()->setFont(font->textFixedNormal());
    value_->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Left);
    value_->setTintColor(UIColor::blackColor());
    value_->addAction(weakBind(self<CheckControl>(), &CheckControl::onTap), UIControlEventTouchUpInside);
}

std::shared_ptr<UIView> CheckButtonControl::valueView() const {
    return value_;
}

void CheckButtonControl::colourValue(bool checked) {
    value_->setTintColor(checked ? UIColor::blackColor() : uncheckedTint());
    value_->tintColorDidChange();  // the platform's tint setter does not tell the button
}

void CheckControl::relayout() {
    auto me = self<CheckControl>();
    auto value = valueView();
    check_->removeFromSuperview();
    value->removeFromSuperview();
    addSubview(check_);
    addSubview(value);
    if (checkSide() == CheckSide::Left) {
        addConstraintsLC(check_, me, 0, 0, kCheckSide, kCheckSide);
        addConstraintsFull(value, me, kCheckSide, 0, 0, 0);
    } else {
        addConstraintsRC(check_, me, kBoxRight, 0, kCheckSide, kCheckSide);
        addConstraintsFull(value, me, kBoxTextLeft, 0, kBoxTextRight, 0);
    }
}

bool CheckControl::checked() const {
    return check_->on();
}

void CheckControl::setChecked(bool checked) {
    check_->setOn(checked, [](AnimButton&) {});
    colourValue(checked);
    notifyDelegate();
}

void CheckButtonControl::setText(const std::string& text) {
    value_->setTitle(text, UIControlStateNormal);
}

std::string CheckButtonControl::text() const {
    return value_->titleForState(UIControlStateNormal).value_or("");
}

void CheckButtonControl::setFont(std::shared_ptr<UIFont> font) {
    value_->titleLabel()->setFont(std::move(font));
}

std::shared_ptr<UIColor> MyRadioButton::uncheckedTint() const {
    return UIColor::darkGrayColor();
}

void MyRadioButton::notifyDelegate() {
    if (auto d = delegate()) d->onMyRadioButtonChanged(*this);
}

std::shared_ptr<UIColor> LabeledCheckBox::uncheckedTint() const {
    return UIColor::lightGrayColor();
}

void LabeledCheckBox::notifyDelegate() {
    if (auto d = delegate()) d->onLabeledCheckBoxChanged(*this);
}
