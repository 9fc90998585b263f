// The time progress bar: the bar and its head, and the 15-second mark with its fades.
#include "camera/overlays/time_progress_view.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "foundation/text_measure.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layout/layout_constraint.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "widgets/flat/flat_palette.h"

namespace {

using A = NSLayoutAttribute;
using R = NSLayoutRelation;

constexpr const char* kHeadKey = "strokeColor";
constexpr double kHeadBlink = 0.5;
constexpr CGFloat kHeadWidth = 5;
constexpr CGFloat kCaptionExtraWidth = 5, kCaptionGap = 5;
constexpr CGFloat kLineWidth = 3;

std::shared_ptr<NSLayoutConstraint> pin(const std::shared_ptr<UIView>& view, A a, const std::shared_ptr<UIView>& to,
                                        A b, CGFloat multiplier, CGFloat constant) {
    return NSLayoutConstraint::constraintWithItem(view, a, R::Equal, to, b, multiplier, constant);
}

std::shared_ptr<NSLayoutConstraint> fixed(const std::shared_ptr<UIView>& view, A a, CGFloat constant) {
    return NSLayoutConstraint::constraintWithItem(view, a, R::Equal, nullptr, A::NotAnAttribute, 1, constant);
}

}  // namespace

void TimeProgressView::init() {
    UIView::init();
    auto me = self<TimeProgressView>();
    char caption[32];
    std::snprintf(caption, sizeof caption, "%0.0f s", kMinimum);
    labelMin_ = UILabel::make();
    labelMin_->setText(std::string(caption));
    labelMin_->setTextColor(flatWhiteColor());
    labelMin_->setFont(Global::shared()->font()->textFixedSmall1());
    assignShadow(*labelMin_);
    addSubview(labelMin_);
    CGSize room = bounds().size;
    if (room.width <= 0 || room.height <= 0)
        room = {std::numeric_limits<CGFloat>::max(), std::numeric_limits<CGFloat>::max()};
    const CGSize s = boundingSize(caption, labelMin_->font(), room);
    labelMin_->setFrame({{0, 0}, {s.width + kCaptionExtraWidth, s.height}});
    labelMin_->setTranslatesAutoresizingMaskIntoConstraints(false);
    labelMin_->addConstraint(fixed(labelMin_, A::Width, s.width + kCaptionExtraWidth));
    labelMin_->addConstraint(fixed(labelMin_, A::Height, s.height));
    addConstraint(pin(labelMin_, A::Top, me, A::Top, 1, kCaptionTop));
    cLabelMin_ = pin(labelMin_, A::CenterX, me, A::CenterX, 1, 0);
    addConstraint(cLabelMin_);

    lineMin_ = UIView::make();
    lineMin_->setBackgroundColor(flatRedColor());
    assignBorder(*lineMin_, 1, UIColor::whiteColor());
    lineMin_->setFrame({{0, 0}, {kLineWidth, s.height + kCaptionTop}});
    addSubview(lineMin_);
    lineMin_->setTranslatesAutoresizingMaskIntoConstraints(false);
    lineMin_->addConstraint(fixed(lineMin_, A::Width, kLineWidth));
    lineMin_->addConstraint(fixed(lineMin_, A::Height, s.height + kCaptionTop));
    addConstraint(pin(lineMin_, A::Top, me, A::Top, 1, 0));
    cLineMin_ = pin(lineMin_, A::CenterX, me, A::CenterX, 1, 0);
    addConstraint(cLineMin_);
}

const std::shared_ptr<UIView>& TimeProgressView::barBG() {
    if (!barBG_) {
        barBG_ = UIView::make();
        barBG_->setBackgroundColor(UIColor::colorWithWhite(1, 0.3));
        insertSubviewAtIndex(barBG_, 0);
        addConstraintsT(barBG_, self<TimeProgressView>(), 0, 0, 0, kBarHeight);
    }
    return barBG_;
}

const std::shared_ptr<CAShapeLayer>& TimeProgressView::barBody() {
    if (!barBody_) {
        barBody_ = CAShapeLayer::make();
        barBG()->layer()->addSublayer(barBody_);
    }
    return barBody_;
}

const std::shared_ptr<CAShapeLayer>& TimeProgressView::barHead() {
    if (!barHead_) {
        barHead_ = CAShapeLayer::make();
        barBG()->layer()->addSublayer(barHead_);
    }
    return barHead_;
}

const std::shared_ptr<CABasicAnimation>& TimeProgressView::aniBarHead() {
    if (!aniBarHead_) {
        aniBarHead_ = CABasicAnimation::animationWithKeyPath(kHeadKey);
        aniBarHead_->setFromValue(CGColor::rgb(1, 1, 1, 1));
        aniBarHead_->setToValue(CGColor::rgb(0, 0, 0, 1));
        aniBarHead_->setDuration(kHeadBlink);
        aniBarHead_->setRepeatCount(std::numeric_limits<float>::infinity());
        aniBarHead_->setAutoreverses(true);
        aniBarHead_->setRemovedOnCompletion(false);
    }
    return aniBarHead_;
}

void TimeProgressView::setDuration(double seconds) {
    duration_ = seconds;
    updateMinLabel();
}

void TimeProgressView::updateMinLabel() {
    // A duration that is not positive has no place for the mark: the multiplier would be infinite
    // or negative.
    if (!(duration_ > 0)) return;
    const CGFloat m = 2 * kMinimum / duration_;
    auto me = self<TimeProgressView>();
    if (cLabelMin_) removeConstraint(cLabelMin_);
    cLabelMin_ = pin(labelMin_, A::CenterX, me, A::CenterX, m, labelMin_->frame().size.width / 2 + kCaptionGap);
    if (cLineMin_) removeConstraint(cLineMin_);
    cLineMin_ = pin(lineMin_, A::CenterX, me, A::CenterX, m, 0);
    addConstraint(cLabelMin_);
    addConstraint(cLineMin_);
    setNeedsLayout();
}

void TimeProgressView::setCurrent(double t) {
    current_ = t;
    const CGFloat x = bounds().size.width * clampFloat(float(current_ / duration_), 0, 1);
    CATransactionWithoutActions still;
    CGPath body;
    body.addLines({{0, 0}, {x, 0}, {x, kBarHeight}, {0, kBarHeight}});
    body.closeSubpath();
    auto& b = barBody();
    b->setPath(body);
    b->setStrokeColor(CGColor::rgb(1, 1, 1, 1));
    b->setLineWidth(0);
    b->setFillColor((current_ < kMinimum ? flatRedColor() : flatGreenColor())->cgColor());
    b->setLineCap(CGLineCap::Butt);
    b->setLineJoin(CGLineJoin::Miter);
    CGPath head;
    head.moveToPoint({x, 0});
    head.addLineToPoint({x, kBarHeight});
    auto& h = barHead();
    h->setPath(head);
    h->setLineWidth(kHeadWidth);
    h->setFillColor(CGColor::clear());
    h->setLineCap(CGLineCap::Butt);
    h->setLineJoin(CGLineJoin::Miter);
    if (current_ >= kMinimum)
        hideMin();
    else
        showMin();
}

void TimeProgressView::startAnimating() {
    CAAnimationEngine::addAnimation(barHead(), aniBarHead(), kHeadKey);
    if (current_ < kMinimum) showMin();
}

void TimeProgressView::stopAnimating() {
    CAAnimationEngine::removeAnimationForKey(*barHead(), kHeadKey);
    hideMin();
}

void TimeProgressView::showMin() {
    if (minAnim_ == MinAnim::FadingIn || !lineMin_->isHidden() || !labelMin_->isHidden()) return;
    minAnim_ = MinAnim::FadingIn;
    for (const std::shared_ptr<UIView>& v : {lineMin_, std::shared_ptr<UIView>(labelMin_)}) {
        v->setHidden(false);
        v->setAlpha(0);
    }
    std::weak_ptr<TimeProgressView> weak = self<TimeProgressView>();
    UIViewAnimation::animate(
        kFadeDuration,
        [this] {
            lineMin_->setAlpha(1);
            labelMin_->setAlpha(1);
        },
        [weak](bool) {
            if (auto s = weak.lock()) s->minAnim_ = MinAnim::Idle;
        });
}

void TimeProgressView::hideMin() {
    if (minAnim_ == MinAnim::FadingOut || lineMin_->isHidden() || labelMin_->isHidden()) return;
    minAnim_ = MinAnim::FadingOut;
    std::weak_ptr<TimeProgressView> weak = self<TimeProgressView>();
    UIViewAnimation::animate(
        kFadeDuration,
        [this] {
            lineMin_->setAlpha(0);
            labelMin_->setAlpha(0);
        },
        [weak](bool) {
            auto s = weak.lock();
            if (!s) return;
            s->lineMin_->setHidden(true);
            s->labelMin_->setHidden(true);
            s->minAnim_ = MinAnim::Idle;
        });
}
