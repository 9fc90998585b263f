// Progress bar: the track is the view's background, the fill a sublayer whose frame animates.
#include "platform/ui/control/ui_progress_view.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/animation/ca_animation_engine.h"

std::shared_ptr<UIProgressView> UIProgressView::withStyle(UIProgressViewStyle style) {
    auto p = UIProgressView::make();
    p->setProgressViewStyle(style);
    return p;
}

void UIProgressView::init() {
    UIView::init();
    fill_ = CALayer::make();
    fill_->setAnchorPoint({0, 0});
    layer()->addSublayer(fill_);
    layer()->setMasksToBounds(true);
    updateColors();
}

void UIProgressView::setProgressViewStyle(UIProgressViewStyle s) {
    style_ = s;
    updateColors();
}

void UIProgressView::setProgressTintColor(std::shared_ptr<UIColor> c) {
    progressTint_ = std::move(c);
    updateColors();
}

void UIProgressView::setTrackTintColor(std::shared_ptr<UIColor> c) {
    trackTint_ = std::move(c);
    updateColors();
}

void UIProgressView::updateColors() {
    auto fill = progressTint_ ? progressTint_ : tintColor();
    auto track = trackTint_
                     ? trackTint_
                     : (style_ == UIProgressViewStyle::Bar ? UIColor::clearColor() : UIColor::systemGray5Color());
    fill_->setBackgroundColor(fill->cgColor());
    layer()->setBackgroundColor(track->cgColor());
}

CGRect UIProgressView::fillFrame() const {
    CGRect b = bounds();
    return {b.origin, {b.size.width * progress_, b.size.height}};
}

void UIProgressView::setProgress(float progress, bool animated) {
    if (std::isnan(progress)) return;
    float p = std::clamp(progress, 0.0f, 1.0f);
    CGRect before = fillFrame();
    CAValue shown = CAAnimationEngine::presentedValue(*fill_, "bounds");
    progress_ = p;
    CGRect after = fillFrame();
    fill_->setFrame(after);
    if (animated && before != after) {
        auto a = CABasicAnimation::animationWithKeyPath("bounds");
        a->setFromValue(shown);
        a->setToValue(CGRect{{0, 0}, after.size});
        a->setDuration(0.25);
        a->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut));
        CAAnimationEngine::addAnimation(fill_, a, "progress");
    }
}

void UIProgressView::layoutSubviews() {
    UIView::layoutSubviews();
    fill_->setFrame(fillFrame());
    updateColors();
}
