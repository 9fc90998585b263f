// The focus and exposure marker: brackets, caption, fly-in, blink and the timed hide.
#include "camera/overlays/focus_view.h"

#include <limits>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/layer_custom.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"

namespace {

constexpr const char* kFlyKey = "position";
constexpr const char* kBlinkKey = "strokeColor";
constexpr CGFloat kLineWidth = 3;
constexpr CGFloat kCaptionPadding = 12, kCaptionExtraHeight = 3;

// Corner brackets: top-left, top-right, bottom-left, bottom-right, each with its arms pointing
// into the square (y grows downwards).
CGPath bracket(CGFloat sx, CGFloat sy) {
    CGPath path;
    path.moveToPoint({sx * FocusView::kBracketArm, 0});
    path.addLineToPoint({0, 0});
    path.addLineToPoint({0, sy * FocusView::kBracketArm});
    return path;
}

constexpr CGFloat kSigns[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};

}  // namespace

FocusView::FocusView(std::shared_ptr<UIColor> color, std::string text0, std::optional<std::string> text1)
    : color1_(std::move(color)), text0_(std::move(text0)), text1_(std::move(text1)) {}

void FocusView::init() {
    UIView::init();
    setUserInteractionEnabled(false);
    setHidden(true);
}

void FocusView::layoutSubviews() {
    UIView::layoutSubviews();
    if (!built_) build();
}

void FocusView::build() {
    built_ = true;
    animBeforeShot_ = CABasicAnimation::animationWithKeyPath(kBlinkKey);
    animBeforeShot_->setFromValue(CGColor::rgb(1, 1, 1, 1));
    animBeforeShot_->setToValue(color1_->cgColor());
    animBeforeShot_->setDuration(kBlinkDuration);
    animBeforeShot_->setAutoreverses(true);
    animBeforeShot_->setRepeatCount(std::numeric_limits<float>::infinity());
    animBeforeShot_->setRemovedOnCompletion(false);
    for (int i = 0; i < 4; ++i) {
        auto fly = CABasicAnimation::animationWithKeyPath(kFlyKey);
        fly->setFromValue(CGPoint{kSigns[i][0] > 0 ? -kFlyDistance : kFlyDistance, 0});
        fly->setToValue(CGPoint{0, 0});
        fly->setDuration(kFlyDuration);
        fly->setFillMode(CAFillMode::Forwards);
        fly->setRemovedOnCompletion(false);
        flyIns_[i] = fly;

        auto layer = CAShapeLayer::make();
        layer->setPath(bracket(kSigns[i][0], kSigns[i][1]));
        layer->setStrokeColor(CGColor::rgb(1, 1, 1, 1));
        layer->setLineWidth(kLineWidth);
        layer->setFillColor(CGColor::clear());
        layer->setLineCap(CGLineCap::Butt);
        layer->setLineJoin(CGLineJoin::Bevel);
        assignShadow(*layer);
        layer->setPosition({0, 0});
        brackets_[i] = layer;
        auto host = UIView::make(CGRect{{0, 0}, {0, 0}});
        host->layer()->addSublayer(layer);
        addSubview(host);
        corners_[i] = host;
    }
    label_ = UILabel::make();
    label_->setFont(Global::shared()->font()->textFixedSmall1());
    label_->setTextAlignment(NSTextAlignment::Center);
    label_->setTextColor(UIColor::whiteColor());
    assignShadow(*label_);
    addSubview(label_);
}

void FocusView::setPosition(CGPoint unit, const std::optional<std::string>& msg, bool posAnim) {
    if (!built_) build();
    showedAt_ = CACurrentMediaTime();
    setHidden(false);
    const CGSize size = bounds().size;
    const CGFloat X = unit.x * size.width, Y = unit.y * size.height;
    if (msg && !msg->empty()) {
        auto parent = superview();
        const CGSize room = parent ? parent->bounds().size : size;
        const CGSize s = boundingSize(*msg, label_->font(), room);
        label_->setText(*msg);
        label_->setFrame({{X - (s.width + kCaptionPadding) / 2, Y + kCaptionGap},
                          {s.width + kCaptionPadding, s.height + kCaptionExtraHeight}});
        label_->setHidden(false);
    } else {
        label_->setHidden(true);
    }
    for (int i = 0; i < 4; ++i) corners_[i]->setCenter({X - kSigns[i][0] * kHalfSide, Y - kSigns[i][1] * kHalfSide});

    if (posAnim) {
        std::weak_ptr<FocusView> weak = self<FocusView>();
        CATransaction::begin();
        CATransaction::setCompletionBlock([weak] {
            CATransaction::begin();
            if (auto s = weak.lock()) s->addBlink();
            CATransaction::commit();
        });
        for (int i = 0; i < 4; ++i) CAAnimationEngine::addAnimation(brackets_[i], flyIns_[i], kFlyKey);
        CATransaction::commit();
    } else {
        CATransactionWithoutActions still;
        for (const auto& layer : brackets_) {
            CAAnimationEngine::removeAllAnimations(*layer);
            layer->setPosition({0, 0});
        }
        addBlink();
    }
}

void FocusView::addBlink() {
    for (const auto& layer : brackets_) CAAnimationEngine::addAnimation(layer, animBeforeShot_, kBlinkKey);
}

void FocusView::showFor(CGPoint pt, const std::optional<std::string>& msg, bool fly) {
    if (auto parent = superview()) parent->bringSubviewToFront(self<UIView>());
    setAlpha(1);
    setPosition({pt.x, 1 - pt.y}, msg, fly);
}

void FocusView::initialize(CGPoint pt) {
    showFor(pt, text0_, false);
    hide(kDeviceHide);
}

void FocusView::focusByDevice(CGPoint pt) {
    showFor(pt, text0_, false);
    hide(kDeviceHide);
}

void FocusView::focusByUser(CGPoint pt) {
    showFor(pt, text0_, false);
    delayedHide();
}

void FocusView::take_at(CGPoint pt) {
    showFor(pt, text1_, true);
}

void FocusView::take_0() {
    beginShot();
}

void FocusView::take_1() {
    endShot();
}

void FocusView::beginShot() {
    for (const auto& layer : brackets_)
        if (layer) CAAnimationEngine::removeAnimationForKey(*layer, kBlinkKey);
}

void FocusView::hide(double delay) {
    const double elapsed = CACurrentMediaTime() - showedAt_;
    if (elapsed < delay)
        restartTimerHide(delay - elapsed);
    else
        onTimerHide();
}

void FocusView::restartTimerHide(double interval) {
    std::weak_ptr<FocusView> weak = self<FocusView>();
    timerHide_.restart(interval, [weak] {
        if (auto s = weak.lock()) s->onTimerHide();
    });
}

void FocusView::onTimerHide() {
    if (isNearlyZero(float(showedAt_))) return;
    setHidden(true);
    showedAt_ = 0;
}
