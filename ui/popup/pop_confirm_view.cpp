// The yes/no box and its countdown.
#include "ui/popup/pop_confirm_view.h"

#include <cstdio>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/popup/text_measure_popup.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

namespace {

constexpr CGFloat kPanelAlpha = 0.8;
constexpr CGFloat kTitleHeight = 35;
constexpr CGSize kButtonSize{80, 35};
constexpr CGFloat kButtonDX = 50;
constexpr CGFloat kButtonBottom = -10;
constexpr double kButtonRadius = 17.5;
constexpr float kMinWidth = 280;
constexpr CGFloat kTextPaddingW = 50, kTextPaddingH = 110;

std::shared_ptr<IconButton> makeAnswer(const char* title, IconButtonType type) {
    auto b = IconButton::buttonWithType(UIButtonType::System);
    if (auto font = Global::shared()->font()) b->titleLabel()->setFont(font->textFixedLarge1());
    b->setButtonCornerRadius(kButtonRadius);
    b->setTitle(std::string(title), UIControlStateNormal);
    b->setType(type);
    return b;
}

}  // namespace

void PopConfirmView::init() {
    PopCenteredView::init();
    bg()->setBackgroundColor(UIColor::clearColor());
    bg()->setUserInteractionEnabled(false);
    setBgColor(UIColor::colorWithWhite(1, kPanelAlpha));

    bg0_ = UIView::make();
    bg0_->setBackgroundColor(UIColor::colorWithWhite(0, kPanelAlpha));
    assignRound(*bg0_, kPopupCornerRadius);
    container()->addSubview(bg0_);
    addConstraintsFull(bg0_, container(), 1, 1, -1, -1);

    auto font = Global::shared()->font();
    title_ = UILabel::make();
    title_->setText(Global::shared()->appName());
    if (font) title_->setFont(font->textFixedLarge1());
    title_->setBackgroundColor(UIColor::colorWithWhite(1, kPanelAlpha));
    title_->setTextColor(UIColor::blackColor());
    title_->setTextAlignment(NSTextAlignment::Center);
    title_->setNumberOfLines(0);
    bg0_->addSubview(title_);
    addConstraintsT(title_, bg0_, 0, 0, 0, kTitleHeight);

    info_ = makePopupTextLabel();
    bg0_->addSubview(info_);
    addConstraintsFull(info_, bg0_, 10, 40, -10, -45);

    btnYes_ = makeAnswer("Yes", IconButtonType::Primary);
    btnNo_ = makeAnswer("No", IconButtonType::Default);
    bg0_->addSubview(btnYes_);
    addConstraintsCB(btnYes_, bg0_, -kButtonDX, kButtonBottom, kButtonSize.width, kButtonSize.height);
    bg0_->addSubview(btnNo_);
    addConstraintsCB(btnNo_, bg0_, kButtonDX, kButtonBottom, kButtonSize.width, kButtonSize.height);

    btnYes_->addAction(weakBind(self<PopConfirmView>(), &PopConfirmView::onYes), UIControlEventTouchUpInside);
    btnNo_->addAction(weakBind(self<PopConfirmView>(), &PopConfirmView::onNo), UIControlEventTouchUpInside);
}

void PopConfirmView::updateView() {
    auto root = rootView();
    const CGSize f = root ? root->frame().size : CGSize{};
    const float w = minFloat(float(f.width), float(f.height)) - float(kPopupScreenMargin);
    const CGSize text = measurePopupText(attributedText_, w);
    setSize({clampFloat(float(text.width + kTextPaddingW), kMinWidth, w), text.height + kTextPaddingH});
    info_->setAttributedText(attributedText_);
}

void PopConfirmView::show(const std::shared_ptr<NSObject>& sender, std::int32_t timeoutSeconds, Callback onYes,
                          Callback onNo) {
    updateView();
    onYes_ = std::move(onYes);
    onNo_ = std::move(onNo);
    ts_ = timeoutSeconds;
    counting_ = false;
    resetTimerTimeout();
    btnNo_->setTitle(std::string("No"), UIControlStateNormal);

    if (tap_) UIViewRemoveGestureRecognizer(*bg(), tap_);
    bg()->setUserInteractionEnabled(true);
    auto weak = std::weak_ptr<PopConfirmView>(self<PopConfirmView>());
    tap_ = UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        auto s = weak.lock();
        if (s && s->tapOutsideContainer(r)) s->onNo();
    });
    UIViewAddGestureRecognizer(*bg(), tap_);

    PopCenteredView::show(
        sender,
        [weak] {
            // Only a box that is still waiting for its answer starts counting.
            if (auto s = weak.lock(); s && s->onNo_) s->restartTimerTimeout();
        },
        nullptr);
}

void PopConfirmView::restartTimerTimeout() {
    counting_ = true;
    timerTimeout_.restart(kTick, weakBind(self<PopConfirmView>(), &PopConfirmView::onTimerTimeout));
}

void PopConfirmView::resetTimerTimeout() {
    counting_ = false;
    timerTimeout_.reset();
}

void PopConfirmView::onTimerTimeout() {
    char title[32];
    std::snprintf(title, sizeof title, "No (%d)", ts_);
    btnNo_->setTitle(std::string(title), UIControlStateNormal);
    if (ts_-- < 0) return answer(false);
    restartTimerTimeout();
}

void PopConfirmView::onYes() {
    answer(true);
}
void PopConfirmView::onNo() {
    answer(false);
}

void PopConfirmView::answer(bool yes) {
    Callback chosen = yes ? std::move(onYes_) : std::move(onNo_);
    onYes_ = onNo_ = nullptr;
    hide(nullptr);
    if (chosen) chosen();
}

void PopConfirmView::hide(Callback completion) {
    resetTimerTimeout();
    onYes_ = onNo_ = nullptr;
    PopCenteredView::hide(std::move(completion));
}
