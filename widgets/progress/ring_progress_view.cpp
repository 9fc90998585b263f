// The progress ring: its layers, the spin, the fill, the label and the completion reveal.
#include "widgets/progress/ring_progress_view.h"

#include <cmath>
#include <cstdio>

#include "platform/dispatch/clock.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_layer_actions.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/text/ui_font.h"

namespace {

constexpr double kDefaultLineWidth = 3;
constexpr double kSpinHalfTurn = 0.5;  // seconds per half turn: a full circle every second
constexpr float kSpinForever = 3.4028235e38f;
constexpr double kRevealDelay = 0.4;  // after the ring's own stroke animation
constexpr double kRevealDuration = 0.4;
constexpr double kRevealReach = 1.5;  // times the larger half-side: past the corners
constexpr double kTextFontSize = 12;
constexpr const char* kTextFontName = "AvenirNext-Medium";

CGColor defaultTint() {
    return CGColor::rgb(181 / 255.0, 182 / 255.0, 183 / 255.0, 1);
}

CGPoint centerOf(const UIView& view) {
    CGRect b = view.bounds();
    return {CGRectGetMidX(b), CGRectGetMidY(b)};
}

// The rectangle with two concentric circles, filled even-odd: everything but the band between them.
// A circle keeps a tiny radius rather than none, so that the path keeps its shape and the reveal
// moves smoothly between two such paths.
CGPath bandMask(CGRect rect, CGPoint center, double inner, double outer) {
    constexpr double kSmallest = 1e-3;
    auto path = UIBezierPath::bezierPathWithRect(rect);
    for (double r : {std::max(inner, kSmallest), std::max(outer, kSmallest)}) {
        path->moveToPoint(center);
        path->addArcWithCenter(center, r, 0, 2 * M_PI, true);
    }
    return path->cgPath();
}

}  // namespace

void RingProgressView::init() {
    UIView::init();
    setBackgroundColor(UIColor::clearColor());
    setLineWidth(kDefaultLineWidth);
    setTintColor(UIColor::colorWithCGColor(defaultTint()));
    setRadius(20);
    setUsesVibrancyEffect(true);
    backgroundLayer()->addSublayer(progressLayer());
    auto white = UIView::make();
    white->setBackgroundColor(UIColor::whiteColor());
    setBackgroundView(white);
    setIndeterminate(true);
}

// ---- parts made on first access ----

const std::shared_ptr<CALayer>& RingProgressView::backgroundLayer() const {
    if (!backgroundLayer_) {
        backgroundLayer_ = CALayer::make();
        backgroundLayer_->setBackgroundColor(CGColor::rgb(0, 0, 0, 0));
    }
    return backgroundLayer_;
}

const std::shared_ptr<CAShapeLayer>& RingProgressView::progressLayer() const {
    if (!progressLayer_) {
        progressLayer_ = CAShapeLayer::make();
        progressLayer_->setFillColor(CGColor::rgb(0, 0, 0, 0));
        progressLayer_->setStrokeColor(defaultTint());
        progressLayer_->setLineWidth(kDefaultLineWidth);
        progressLayer_->setStrokeStart(0);
        progressLayer_->setStrokeEnd(0);
    }
    return progressLayer_;
}

const std::shared_ptr<UILabel>& RingProgressView::textLabel() const {
    if (!textLabel_) {
        textLabel_ = UILabel::make();
        textLabel_->setTextAlignment(NSTextAlignment::Center);
        textLabel_->setTextColor(tintColor());
        textLabel_->setFont(UIFont::fontWithName(kTextFontName, kTextFontSize));
        textLabel_->setHidden(true);
    }
    return textLabel_;
}

// ---- settings ----

void RingProgressView::setLineWidth(double width) {
    progressLayer()->setLineWidth(width);
}

std::shared_ptr<UIColor> RingProgressView::tintColor() const {
    auto stroke = progressLayer()->strokeColor();
    return UIColor::colorWithCGColor(stroke.value_or(defaultTint()));
}

void RingProgressView::setTintColor(std::shared_ptr<UIColor> color) {
    progressLayer()->setStrokeColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
}

void RingProgressView::setShowsText(bool shows) {
    showsText_ = shows;
    layoutTextLabel();
}

void RingProgressView::setRadius(double radius) {
    radius_ = radius;
    setNeedsLayout();
}

void RingProgressView::setIndeterminate(bool indeterminate) {
    if (indeterminate == indeterminate_) return;
    indeterminate_ = indeterminate;
    setHidden(false);
    if (indeterminate) {
        progressLayer()->setStrokeStart(0.1);
        progressLayer()->setStrokeEnd(1.0);
        auto spin = CABasicAnimation::animationWithKeyPath("transform.rotation");
        spin->setToValue(M_PI);
        spin->setDuration(kSpinHalfTurn);
        spin->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear));
        spin->setRepeatCount(kSpinForever);
        spin->setCumulative(true);
        CAAnimationEngine::addAnimation(backgroundLayer(), spin, "");
    } else {
        CALayerActions::setActions(*progressLayer(), {{"strokeStart", nullptr}, {"strokeEnd", nullptr}});
        progressLayer()->setStrokeStart(0);
        progressLayer()->setStrokeEnd(0);
        CAAnimationEngine::removeAllAnimations(*backgroundLayer());
    }
}

void RingProgressView::setProgress(double progress, bool animated) {
    if (indeterminate_) {
        setIndeterminate(false);
        // The stopped spin and the emptied ring are shown before the progress is drawn.
        CATransaction::flush();
    }
    if (std::isnan(progress)) progress = 0;  // an unknown amount counts as none
    if (progress >= 1 && progress_ >= 1) {
        progress_ = 1;
        return;
    }
    progress = std::clamp(progress, 0.0, 1.0);
    if (progress > 0) setHidden(false);
    if (animated)
        CALayerActions::setActions(*progressLayer(), {});
    else
        CALayerActions::setActions(*progressLayer(), {{"strokeEnd", nullptr}});
    progressLayer()->setStrokeEnd(progress);
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", static_cast<int>(progress * 100));
    textLabel()->setText(std::string(text));
    layoutTextLabel();
    if (progress == 1) runCompletionAnimation();
    progress_ = progress;
}

void RingProgressView::setBackgroundView(std::shared_ptr<UIView> view) {
    if (!view) return;
    if (backgroundView_ && backgroundView_->superview()) backgroundView_->removeFromSuperview();
    view->setFrame(bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    backgroundLayer()->removeFromSuperlayer();
    textLabel()->removeFromSuperview();
    view->layer()->addSublayer(backgroundLayer());
    view->addSubview(textLabel());
    addSubview(view);
    backgroundView_ = std::move(view);
    vibrancyView_.reset();
}

void RingProgressView::setBlurEffect(std::shared_ptr<UIBlurEffect> effect) {
    blurEffect_ = std::move(effect);
    if (blurEffect_) {
        setBackgroundView(UIVisualEffectView::make(blurEffect_, bounds()));
        if (usesVibrancy_) applyVibrancy();
    } else {
        auto white = UIView::make();
        white->setBackgroundColor(UIColor::whiteColor());
        setBackgroundView(white);
    }
}

void RingProgressView::setUsesVibrancyEffect(bool uses) {
    usesVibrancy_ = uses;
    if (uses)
        applyVibrancy();
    else
        removeVibrancy();
}

void RingProgressView::applyVibrancy() {
    auto blurView = std::dynamic_pointer_cast<UIVisualEffectView>(backgroundView_);
    if (!blurEffect_ || !blurView) return;
    backgroundLayer()->removeFromSuperlayer();
    textLabel()->removeFromSuperview();
    vibrancyView_ = UIVisualEffectView::make(UIVibrancyEffect::effectForBlurEffect(blurEffect_), blurView->bounds());
    vibrancyView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    blurView->contentView()->addSubview(vibrancyView_);
    vibrancyView_->contentView()->addSubview(textLabel());
    vibrancyView_->contentView()->layer()->addSublayer(backgroundLayer());
}

void RingProgressView::removeVibrancy() {
    if (!blurEffect_ || !backgroundView_) return;
    backgroundLayer()->removeFromSuperlayer();
    textLabel()->removeFromSuperview();
    backgroundView_->layer()->addSublayer(backgroundLayer());
    backgroundView_->addSubview(textLabel());
    vibrancyView_.reset();  // an earlier vibrancy view stays in place, empty
}

std::shared_ptr<UIView> RingProgressView::ringHost() const {
    return vibrancyView_ ? vibrancyView_->contentView() : backgroundView_;
}

// ---- layout ----

void RingProgressView::layoutSubviews() {
    UIView::layoutSubviews();
    {
        CATransactionWithoutActions quiet;
        backgroundLayer()->setFrame(bounds());
        // A full circle starting at the top, clockwise on screen.
        auto path = UIBezierPath::bezierPathWithArcCenter(centerOf(*backgroundView_), radius_ + lineWidth() / 2,
                                                          -M_PI / 2, 3 * M_PI / 2, true);
        progressLayer()->setPath(path->cgPath());
        progressLayer()->setLineCap(CGLineCap::Butt);
    }
    layoutTextLabel();
}

void RingProgressView::layoutTextLabel() {
    auto label = textLabel();
    label->setHidden(!showsText_ || indeterminate_);
    if (label->isHidden()) return;
    label->setTextColor(textColor_ ? textColor_ : tintColor());
    if (textSize_ > 0) label->setFont(label->font()->fontWithSize(textSize_));
    label->sizeToFit();
    if (backgroundView_) label->setCenter(centerOf(*backgroundView_));
}

// ---- the reveal ----

void RingProgressView::runCompletionAnimation() {
    if (!backgroundView_) return;
    CGRect rect = backgroundView_->bounds();
    CGPoint center = centerOf(*backgroundView_);
    // The mask is the path alone: a background colour would cover the band it cuts.
    auto mask = CAShapeLayer::make();
    mask->setFillRule(CAFillRule::EvenOdd);
    mask->setFrame(rect);
    mask->setPath(bandMask(rect, center, radius_, radius_ + lineWidth()));
    backgroundView_->layer()->setMask(mask);

    CGSize size = bounds().size;
    double reach = kRevealReach * std::max(size.width / 2, size.height / 2);
    auto open = CABasicAnimation::animationWithKeyPath("path");
    open->setToValue(bandMask(rect, center, 0, reach));
    open->setDelegate(std::static_pointer_cast<CAAnimationDelegate>(self<RingProgressView>()));
    open->setDuration(kRevealDuration);
    open->setBeginTime(CACurrentMediaTime() + kRevealDelay);
    open->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionDefault));
    open->setFillMode(CAFillMode::Forwards);
    open->setRemovedOnCompletion(false);
    CAAnimationEngine::addAnimation(mask, open, "path");
}

void RingProgressView::animationDidStop(CAAnimation&, bool) {
    if (animationDidStopBlock_) animationDidStopBlock_();
    if (backgroundView_) backgroundView_->layer()->setMask(nullptr);
    setHidden(true);
}
