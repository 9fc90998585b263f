// The title bar's layout from its flags, and the buttons' slides.
#include "ui/popup/title_view.h"

#include <algorithm>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/caption_label.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

constexpr double kButtonCornerRadius = 8;

std::shared_ptr<UIFont> buttonFont() {
    auto font = Global::shared()->font();
    return font ? font->iconFixedNormal() : nullptr;
}

std::shared_ptr<IconButton> makeButton(IconButtonType type) {
    auto b = IconButton::buttonWithType(UIButtonType::System);
    b->setType(type);
    b->titleLabel()->setFont(buttonFont());
    b->setTintColor(UIColor::whiteColor());
    b->setButtonCornerRadius(kButtonCornerRadius);
    b->setHidden(true);
    return b;
}

}  // namespace

void TitleView::init() {
    UIView::init();
    lblTitle_ = makeCaptionLabel(font_);

    btnLeft_ = makeButton(IconButtonType::Default);
    btnRight_ = makeButton(IconButtonType::Success);
    std::weak_ptr<TitleView> weak = self<TitleView>();
    btnLeft_->addAction(
        [weak](UIControl&) {
            auto s = weak.lock();
            if (auto d = s ? s->delegate_.lock() : nullptr) d->onTitleViewLeft(*s, *s->btnLeft_);
        },
        UIControlEventTouchUpInside);
    btnRight_->addAction(
        [weak](UIControl&) {
            auto s = weak.lock();
            if (auto d = s ? s->delegate_.lock() : nullptr) d->onTitleViewRight(*s, *s->btnRight_);
        },
        UIControlEventTouchUpInside);
    updateButtons();
}

TitleView::~TitleView() = default;

void TitleView::setHoldTitlePosition(bool h) {
    holdTitlePosition_ = h;
    updateButtons();
}

void TitleView::updateButtons() {
    auto me = self<TitleView>();
    const bool hold = holdTitlePosition_;
    const CGFloat dl = (!hold && sides_[0].shown) ? sides_[0].width + kButtonPadding : kInset;
    const CGFloat dr = (!hold && sides_[1].shown) ? -(sides_[1].width + kButtonPadding) : -kInset;
    lblTitle_->removeFromSuperview();
    removeMyConstraints(*lblTitle_);
    addSubview(lblTitle_);
    addConstraintsT(lblTitle_, me, dl, dr, kInset, kRowHeight);

    for (int side = 0; side < 2; ++side) {
        const auto& b = button(side);
        b->removeFromSuperview();
        removeMyConstraints(*b);
        if (!sides_[side].shown) continue;
        addSubview(b);
        if (side == 0)
            addConstraintsLT(b, me, kInset, kInset, sides_[0].width, kRowHeight);
        else
            addConstraintsRT(b, me, -kInset, kInset, sides_[1].width, kRowHeight);
    }
}

void TitleView::showLeft(const std::string& title, bool animated) {
    showSide(0, title, animated);
}
void TitleView::showRight(const std::string& title, bool animated) {
    showSide(1, title, animated);
}
void TitleView::hideLeft(bool animated) {
    hideSide(0, animated);
}
void TitleView::hideRight(bool animated) {
    hideSide(1, animated);
}

void TitleView::showSide(int side, const std::string& title, bool animated) {
    Side& s = sides_[side];
    if (s.shown) return;
    s.shown = true;
    s.width = boundingSize(title, buttonFont(), kMeasureLimit).width + kButtonPadding;
    button(side)->setTitle(title, UIControlStateNormal);
    updateButtons();
    if (animated) {
        button(side)->setHidden(true);
        restartTimer(side);
    } else {
        resetTimer(side);
        button(side)->setAlpha(1);
        button(side)->setTransform(CGAffineTransformIdentity);
        button(side)->setHidden(false);
    }
}

void TitleView::hideSide(int side, bool animated) {
    Side& s = sides_[side];
    if (!s.shown) return;
    s.shown = false;
    // The button leaves the bar at once and the title widens; a slide-out would not be seen.
    updateButtons();
    resetTimer(side);
    button(side)->setHidden(true);
    (void)animated;
}

void TitleView::restartTimer(int side) {
    resetTimer(side);
    sides_[side].startedAt = CACurrentMediaTime();
    sides_[side].timer.restart(kSlideTick,
                               [tick = weakBind(self<TitleView>(), &TitleView::onTimer), side] { tick(side); });
}

void TitleView::onTimer(int side) {
    const auto& b = button(side);
    const double t = (CACurrentMediaTime() - sides_[side].startedAt) * kSlideSpeed;
    // Two button widths aside: to the left for the left button, to the right for the right one.
    const float d = float((side ? 2 : -2) * b->frame().size.width);
    b->setHidden(false);
    if (t >= 0 && t <= 1) {
        b->setAlpha(t);
        b->setTransform(CGAffineTransformMakeTranslation(lerpFloat(d, 0, float(t)), 0));
        return;
    }
    resetTimer(side);
    b->setAlpha(1);
    b->setTransform(CGAffineTransformIdentity);
}
