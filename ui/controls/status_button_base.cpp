// The caption, the tap and the selection tint shared by the status buttons.
#include "ui/controls/status_button_base.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

void StatusButtonBase::init() {
    UIView::init();
    label_ = UIButton::buttonWithType(UIButtonType::System);
    if (auto font = Global::shared()->font()) label_->titleLabel()->setFont(font->iconFixedSmall2());
    label_->setTintColor(UIColor::whiteColor());
    // The caption lets touches through to the button's own tap, so one tap is one action.
    label_->setUserInteractionEnabled(false);
    addSubview(label_);
    addConstraintsB(label_, self<StatusButtonBase>(), 0, 0, 0, kCaptionHeight);
}

void StatusButtonBase::addIcon(const std::shared_ptr<UIView>& icon) {
    addSubview(icon);
    addConstraintsCT(icon, self<StatusButtonBase>(), 0, 0, kIconSize.width, kIconSize.height);
}

void StatusButtonBase::addTarget(Action action) {
    UIViewAddGestureRecognizer(*this, UITapGestureRecognizer::make([action](UIGestureRecognizer& r) {
        if (r.state() == UIGestureRecognizerState::Ended && action) action();
    }));
    setUserInteractionEnabled(true);
    label_->addAction(
        [action](UIControl&) {
            if (action) action();
        },
        UIControlEventTouchUpInside);
}

void StatusButtonBase::setTitle(const std::string& title) {
    label_->setTitle(title, UIControlStateNormal);
}

std::string StatusButtonBase::title() const {
    return label_->titleLabel()->text().value_or("");
}

void StatusButtonBase::setSelected(bool selected) {
    label_->setTintColor(selected ? UIColor::orangeColor() : UIColor::whiteColor());
    label_->tintColorDidChange();  // the platform's tint setter does not tell the button
}
