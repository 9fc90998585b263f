// The cross-fade between the two images, the count badge and the blink.
#include "ui/controls/anim_button.h"

#include <algorithm>

#include "foundation/global.h"
#include "foundation/text_measure.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layout/layout_constraint.h"
#include "ui/controls/badge_host.h"
#include "ui/layout/view_custom_hierarchy.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "widgets/flat/flat_palette.h"

namespace {

constexpr CGFloat kBadgePadding = 4;
constexpr CGSize kBadgeMeasure{100, 100};
constexpr double kPulseHalf = 0.15;
constexpr CGFloat kPulseScale = 0.8;
constexpr CGFloat kBlinkScale = 1.2;
constexpr CGFloat kBadgeStartScale = 0.1;
constexpr const char* kBadgeWidth = "badgeWidth";
constexpr const char* kBadgeHeight = "badgeHeight";

std::shared_ptr<UIFont> badgeFont() {
    auto font = Global::shared()->font();
    return font ? font->textFixedSmall1() : nullptr;
}

// Scales the view to `scale` and back, each half over `half` seconds.
void pulse(const std::shared_ptr<UIView>& view, CGFloat scale, double half) {
    std::weak_ptr<UIView> weak = view;
    UIViewAnimation::animate(
        half,
        [weak, scale] {
            if (auto v = weak.lock()) v->setTransform(CGAffineTransformMakeScale(scale, scale));
        },
        [weak, half](bool) {
            UIViewAnimation::animate(half, [weak] {
                if (auto v = weak.lock()) v->setTransform(CGAffineTransformIdentity);
            });
        });
}

std::shared_ptr<NSLayoutConstraint> relate(const std::shared_ptr<UIView>& a, NSLayoutAttribute attrA,
                                           const std::shared_ptr<UIView>& b, NSLayoutAttribute attrB,
                                           CGFloat constant) {
    return NSLayoutConstraint::constraintWithItem(a, attrA, NSLayoutRelation::Equal, b, attrB, 1, constant);
}

}  // namespace

void AnimButton::setImages(std::shared_ptr<UIImage> off, std::shared_ptr<UIImage> on) {
    imageOff_ = std::move(off);
    imageOn_ = std::move(on);
    setOn(false, [](AnimButton&) {});
}

void AnimButton::setOn(bool on, Block block) {
    on_ = on;
    if (on)
        set1(std::move(block), nullptr);
    else
        set0(std::move(block), nullptr);
}

void AnimButton::set1(Block block, Completion completion) {
    setAnimation(imageOff_, imageOn_, std::move(block), std::move(completion));
}

void AnimButton::set0(Block block, Completion completion) {
    setAnimation(imageOn_, imageOff_, std::move(block), std::move(completion));
}

std::shared_ptr<CABasicAnimation> AnimButton::makeAnimation(const std::shared_ptr<UIImage>& from,
                                                            const std::shared_ptr<UIImage>& to) {
    auto a = CABasicAnimation::animationWithKeyPath("contents");
    a->setDuration(kFadeDuration);
    if (from) a->setFromValue(from->cgImage());
    if (to) a->setToValue(to->cgImage());
    a->setRemovedOnCompletion(false);
    a->setFillMode(CAFillMode::Forwards);
    return a;
}

void AnimButton::setAnimation(const std::shared_ptr<UIImage>& from, const std::shared_ptr<UIImage>& to, Block block,
                              Completion completion) {
    setImage(to, UIControlStateNormal);
    if (!block) {
        // An earlier cross-fade holds its last image on screen; an instant switch must show the new one.
        if (auto iv = imageView()) CAAnimationEngine::removeAnimationForKey(*iv->layer(), kContentsKey);
        return;
    }
    if (auto iv = imageView()) CAAnimationEngine::addAnimation(iv->layer(), makeAnimation(from, to), kContentsKey);
    std::weak_ptr<AnimButton> weak = self<AnimButton>();
    UIViewAnimation::animate(
        kFadeDuration,
        [weak, block = std::move(block)] {
            if (auto s = weak.lock()) block(*s);
        },
        [completion = std::move(completion)](bool) {
            if (completion) completion();
        });
}

// A new image for one state is shown only while the button is in that state; otherwise it is kept
// for the next switch and the image of the present state stays.
void AnimButton::setOffImage(std::shared_ptr<UIImage> image, Block block) {
    auto old = std::exchange(imageOff_, std::move(image));
    if (on_) return;
    setImage(imageOff_, UIControlStateNormal);
    setAnimation(old, imageOff_, std::move(block), nullptr);
}

void AnimButton::setOnImage(std::shared_ptr<UIImage> image, Block block) {
    auto old = std::exchange(imageOn_, std::move(image));
    if (!on_) return;
    setImage(imageOn_, UIControlStateNormal);
    setAnimation(old, imageOn_, std::move(block), nullptr);
}

const std::shared_ptr<UILabel>& AnimButton::badge() {
    if (!lblBadge_) {
        lblBadge_ = UILabel::make();
        lblBadge_->setFont(badgeFont());
        lblBadge_->setTextColor(flatWhiteColor());
        lblBadge_->setBackgroundColor(flatRedColor());
        lblBadge_->setTextAlignment(NSTextAlignment::Center);
    }
    return lblBadge_;
}

void AnimButton::setBadgeValue(std::optional<std::string> value) {
    badgeValue_ = std::move(value);
    if (badgeValue_ && !badgeValue_->empty())
        showBadge(*badgeValue_);
    else
        removeBadge();
}

std::shared_ptr<UIView> AnimButton::badgeHost() {
    auto owner = viewController(self<UIView>());
    if (owner && dynamic_cast<BadgeHostController*>(owner.get()) && owner->isViewLoaded()) return owner->view();
    return superview();
}

void AnimButton::showBadge(const std::string& text) {
    const CGSize measured = boundingSize(text, badgeFont(), kBadgeMeasure);
    const CGFloat h = measured.height + kBadgePadding;
    const CGFloat w = std::max(measured.width + kBadgePadding, h);  // never narrower than a circle
    auto host = badgeHost();
    const auto& label = badge();
    if (label->superview()) {
        setLayoutConstant(*label, kBadgeWidth, w);
        setLayoutConstant(*label, kBadgeHeight, h);
        pulse(label, kPulseScale, kPulseHalf);
    } else if (host) {
        host->addSubview(label);
        label->setTranslatesAutoresizingMaskIntoConstraints(false);
        auto me = self<AnimButton>();
        host->addConstraint(relate(label, NSLayoutAttribute::Left, me, NSLayoutAttribute::CenterX, 0));
        host->addConstraint(relate(label, NSLayoutAttribute::Bottom, me, NSLayoutAttribute::CenterY, 0));
        auto width = relate(label, NSLayoutAttribute::Width, nullptr, NSLayoutAttribute::NotAnAttribute, w);
        width->setIdentifier(kBadgeWidth);
        auto height = relate(label, NSLayoutAttribute::Height, nullptr, NSLayoutAttribute::NotAnAttribute, h);
        height->setIdentifier(kBadgeHeight);
        label->addConstraint(width);
        label->addConstraint(height);
        label->setTransform(CGAffineTransformMakeScale(kBadgeStartScale, kBadgeStartScale));
        std::weak_ptr<UILabel> weak = label;
        UIViewAnimation::animate(kFadeDuration, [weak] {
            if (auto l = weak.lock()) l->setTransform(CGAffineTransformIdentity);
        });
    }
    assignRound(*label, h / 2);
    if (host) host->bringSubviewToFront(label);
    label->setText(text);
}

void AnimButton::removeBadge() {
    // The fading label is let go at once, so a badge set meanwhile gets a fresh one.
    std::shared_ptr<UILabel> label = badge();
    lblBadge_.reset();
    UIViewAnimation::animate(
        kFadeDuration,
        [label] {
            label->setTransform(CGAffineTransformMakeScale(kBadgeStartScale, kBadgeStartScale));
            label->setAlpha(0);
        },
        [label](bool) { label->removeFromSuperview(); });
}

void AnimButton::blink() {
    const auto shown = on_ ? imageOn_ : imageOff_;
    const auto other = on_ ? imageOff_ : imageOn_;
    std::weak_ptr<AnimButton> weak = self<AnimButton>();
    setAnimation(
        shown, other, [](AnimButton&) {},
        [weak, shown, other] {
            if (auto s = weak.lock())
                s->setAnimation(
                    other, shown, [](AnimButton&) {}, nullptr);
        });
    pulse(self<AnimButton>(), kBlinkScale, kPulseHalf);
}
