// The menu pop-up's row, reset button and taps.
#include "ui/popup/pop_menu_view.h"

#include <algorithm>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "ui/controls/caption_label.h"
#include "ui/controls/gradient_scroll_view.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/font.h"
#include "widgets/scroll/scroll_label.h"

namespace {

constexpr CGSize kMeasure{300, 100};
constexpr CGSize kInitialSize{250, 80};
constexpr CGFloat kTitledHeight = 85, kPlainHeight = 47;
constexpr CGFloat kTapLead = 55;
constexpr CGFloat kButtonGap = 10, kBodyBorder = 1;
constexpr double kResetAlpha = 0.8;
constexpr double kSlideDuration = 0.2, kScrollDuration = 0.3;
constexpr const char* kResetWidth = "resetWidth";
constexpr const char* kScrollLeft = "scrollLeft";

std::shared_ptr<UIFont> iconFont() {
    auto font = Global::shared()->font();
    return font ? font->iconFixedNormal() : nullptr;
}

std::shared_ptr<NSLayoutConstraint> relate(const std::shared_ptr<UIView>& a, NSLayoutAttribute attr,
                                           const std::shared_ptr<UIView>& b, CGFloat c, const char* id = nullptr) {
    auto k = NSLayoutConstraint::constraintWithItem(a, attr, NSLayoutRelation::Equal, b,
                                                    b ? attr : NSLayoutAttribute::NotAnAttribute, 1, c);
    if (id) k->setIdentifier(id);
    return k;
}

}  // namespace

void PopMenuView::init() {
    PopArrowedView::init();
    lastResetWidth_ = 100;
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.4));
    colorSelected_ = UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1);
    colorUnselected_ = UIColor::clearColor();

    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::clearColor());
    container()->addSubview(b0_);
    addConstraintsFull(b0_, container(), kBodyBorder, kBodyBorder, -kBodyBorder, -kBodyBorder);

    scroll_ = GradientScrollView::make();
    btnReset_ = UIButton::buttonWithType(UIButtonType::System);
    btnReset_->titleLabel()->setFont(iconFont());
    btnReset_->setHidden(true);
    auto font = Global::shared()->font();
    lblTitle_ = makeCaptionLabel(font ? font->textNormal() : nullptr);

    for (const auto& v : {std::static_pointer_cast<UIView>(scroll_), std::static_pointer_cast<UIView>(btnReset_)}) {
        b0_->addSubview(v);
        v->setTranslatesAutoresizingMaskIntoConstraints(false);
        b0_->addConstraint(relate(v, NSLayoutAttribute::Bottom, b0_, -kInset));
        v->addConstraint(relate(v, NSLayoutAttribute::Height, nullptr, kRowHeight));
    }
    b0_->addConstraint(relate(btnReset_, NSLayoutAttribute::Left, b0_, kInset));
    btnReset_->addConstraint(relate(btnReset_, NSLayoutAttribute::Width, nullptr, lastResetWidth_, kResetWidth));
    b0_->addConstraint(relate(scroll_, NSLayoutAttribute::Left, b0_, 0, kScrollLeft));
    b0_->addConstraint(relate(scroll_, NSLayoutAttribute::Right, b0_, -kInset));
    b0_->addSubview(lblTitle_);
    addConstraintsT(lblTitle_, b0_, kInset, -kInset, kInset, kRowHeight);

    hideOnTapOutside();
}

void PopMenuView::show(const std::shared_ptr<NSObject>& sender, Callback completion) {
    updateView();
    if (auto d = delegate_.lock()) d->onPopMenuViewWillShow(*this);
    PopArrowedView::show(sender, std::move(completion), nullptr);
}

void PopMenuView::hide(Callback completion) {
    auto weak = std::weak_ptr<PopMenuView>(self<PopMenuView>());
    PopArrowedView::hide([weak, completion = std::move(completion)] {
        if (completion) completion();
        auto s = weak.lock();
        if (auto d = s ? s->delegate_.lock() : nullptr) d->onPopMenuViewDidHide(*s);
    });
}

void PopMenuView::setTitle(const std::string& title) {
    if (!title.empty()) lblTitle_->setText(title);
    lblTitle_->setHidden(title.empty());
}

void PopMenuView::showRight(const std::string& text) {
    if (txtReset_) return;
    lastResetWidth_ = boundingSize(text, iconFont(), kMeasure).width + 10;
    txtReset_ = text;
    updateView();
}

void PopMenuView::hideRight() {
    if (!txtReset_) return;
    txtReset_.reset();
    updateView();
}

void PopMenuView::updateView() {
    setLayoutConstant(*btnReset_, kResetWidth, lastResetWidth_);
    btnReset_->setTintColor(UIColor::whiteColor());
    btnReset_->setBackgroundColor(scroll_->bgColor());

    for (const auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    auto d = delegate_.lock();
    const auto titles = d ? d->onPopMenuViewGetLabelArray(*this) : std::vector<std::string>{};
    CGFloat x = 0;
    auto weak = std::weak_ptr<PopMenuView>(self<PopMenuView>());
    for (const auto& title : titles) {
        const CGFloat w = boundingSize(title, iconFont(), kMeasure).width;
        auto b = UIButton::buttonWithType(UIButtonType::System);
        b->setFrame({{x, 0}, {w + 20, kRowHeight}});
        x += w + 20 + kButtonGap;
        b->titleLabel()->setFont(iconFont());
        b->setTintColor(UIColor::blackColor());
        b->layer()->setCornerRadius(8);
        b->layer()->setMasksToBounds(true);
        b->setTitle(title, UIControlStateNormal);
        b->addAction(
            [weak](UIControl& c) {
                if (auto s = weak.lock()) s->onLabel(static_cast<UIButton&>(c));
            },
            UIControlEventTouchUpInside);
        scroll_->scroll()->addSubview(b);
        buttons_.push_back(b);
    }
    scroll_->scroll()->setContentSize({x, kRowHeight});
    auto root = rootView();
    const CGSize rb = root ? root->bounds().size : CGSize{};
    // Room for the whole row where the screen has it: the body's border, the row's insets and the
    // reset button beside it; the gap after the last button may go.
    const CGFloat row =
        titles.empty() ? 0 : x - kButtonGap + kBodyBorder * 2 + kInset * 2 + (txtReset_ ? lastResetWidth_ : 0);
    const CGFloat width = std::min(row, std::min(rb.width, rb.height) - kPopupScreenMargin);
    const auto& title = lblTitle_->text();
    setSize({width, title && !title->empty() ? kTitledHeight : kPlainHeight});
    updateReset();
}

void PopMenuView::updateReset() {
    std::weak_ptr<UIButton> weakReset = btnReset_;
    if (txtReset_) {
        btnReset_->setTitle(*txtReset_, UIControlStateNormal);
        // From the width just given, not the button's frame, which has not been laid out yet.
        setLayoutConstant(*b0_, kScrollLeft, kInset + lastResetWidth_);
        scroll_->updateView();
        btnReset_->setHidden(false);
        btnReset_->setAlpha(0);
        btnReset_->setTransform(CGAffineTransformMakeTranslation(-kResetSlide, 0));
        UIViewAnimation::animate(kSlideDuration, [weakReset] {
            if (auto b = weakReset.lock()) {
                b->setAlpha(kResetAlpha);
                b->setTransform(CGAffineTransformIdentity);
            }
        });
        return;
    }
    setLayoutConstant(*b0_, kScrollLeft, kInset);
    scroll_->updateView();
    UIViewAnimation::animate(
        kSlideDuration,
        [weakReset] {
            if (auto b = weakReset.lock()) {
                b->setAlpha(0);
                b->setTransform(CGAffineTransformMakeTranslation(-kResetSlide, 0));
            }
        },
        [weakReset](bool) {
            if (auto b = weakReset.lock()) {
                b->setHidden(true);
                b->setTransform(CGAffineTransformIdentity);
            }
        });
}

void PopMenuView::onLabel(UIButton& button) {
    for (const auto& b : buttons_) {
        const bool chosen = b.get() == &button;
        b->setTintColor(chosen ? UIColor::whiteColor() : UIColor::blackColor());
        b->tintColorDidChange();  // the platform's tint setter does not tell the button
        b->setBackgroundColor(chosen ? colorSelected_ : colorUnselected_);
    }
    const auto& inner = scroll_->scroll();
    const float limit = maxFloat(float(inner->contentSize().width - inner->frame().size.width), 0);
    const float offset = clampFloat(float(button.frame().origin.x - kTapLead), 0, limit);
    std::weak_ptr<PopMenuView> weak = self<PopMenuView>();
    std::weak_ptr<UIButton> weakButton = button.self<UIButton>();
    std::weak_ptr<UIScrollView> weakInner = inner;
    UIViewAnimation::animate(
        kScrollDuration,
        [weakInner, offset] {
            if (auto i = weakInner.lock()) i->setContentOffset({offset, 0});
        },
        [weak, weakButton](bool) {
            auto s = weak.lock();
            auto b = weakButton.lock();
            auto d = s ? s->delegate_.lock() : nullptr;
            if (d && b) d->onPopMenuViewTap(*s, *b, b->titleLabel()->text().value_or(""));
        });
}
