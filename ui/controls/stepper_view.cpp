// Stepping within bounds and showing the value.
#include "ui/controls/stepper_view.h"

#include <cstdio>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "widgets/button/ns_string_font_awesome.h"

namespace {

constexpr CGFloat kButtonOffset = 55;
constexpr CGFloat kButtonSide = 40;
constexpr CGSize kLabelSize{50, 30};

std::shared_ptr<UIButton> makeArrow(char16_t icon) {
    auto b = UIButton::buttonWithType(UIButtonType::System);
    b->setTintColor(UIColor::whiteColor());
    if (auto font = Global::shared()->font()) b->titleLabel()->setFont(font->iconButton());
    b->setTitle(fa_stringForFontAwesomeIcon(icon), UIControlStateNormal);
    return b;
}

}  // namespace

void StepperView::init() {
    UIView::init();
    auto me = self<StepperView>();
    label_ = UILabel::make();
    if (auto font = Global::shared()->font()) label_->setFont(font->textFixedNormal());
    label_->setTextColor(UIColor::whiteColor());
    label_->setTextAlignment(NSTextAlignment::Center);
    btnUp_ = makeArrow(kIconUp);
    btnDown_ = makeArrow(kIconDown);

    addSubview(btnDown_);
    addConstraintsCenter(btnDown_, me, -kButtonOffset, 0, kButtonSide, kButtonSide);
    addSubview(label_);
    addConstraintsCenter(label_, me, 0, 0, kLabelSize.width, kLabelSize.height);
    addSubview(btnUp_);
    addConstraintsCenter(btnUp_, me, kButtonOffset, 0, kButtonSide, kButtonSide);

    btnUp_->addAction(weakBind(me, &StepperView::onUp), UIControlEventTouchUpInside);
    btnDown_->addAction(weakBind(me, &StepperView::onDown), UIControlEventTouchUpInside);
}

void StepperView::step(float delta) {
    auto d = delegate_.lock();
    if (!d) return;
    const float v = d->onStepperViewGetValue(*this);
    const float n = clampFloat(v + delta, minValue_, maxValue_);
    if (!isNearlyEqual(v, n)) d->onStepperViewChanged(*this, n);
    update();
}

void StepperView::update() {
    auto d = delegate_.lock();
    if (!d) return;
    char text[64];
    std::snprintf(text, sizeof text, "%0.0f", double(d->onStepperViewGetValue(*this)));
    label_->setText(text);
}
