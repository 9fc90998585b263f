// Slider value, touch tracking and drawing.
#include "platform/ui/control/ui_slider.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/draw/graphics.h"

namespace {
constexpr CGFloat kThumb = 28;
constexpr CGFloat kTrackHeight = 4;
}  // namespace

void UISlider::init() {
    UIControl::init();
    setBackgroundColor(UIColor::clearColor());
}

void UISlider::setValue(float value, bool /*animated*/) {
    // The thumb is drawn, not a layer of its own, so an animated change simply redraws.
    if (std::isnan(value)) return;
    float v = std::clamp(value, min_, std::max(min_, max_));
    if (v == value_) return;
    value_ = v;
    setNeedsDisplay();
}

void UISlider::setMinimumValue(float v) {
    if (std::isnan(v)) return;
    min_ = v;
    if (max_ < min_) max_ = min_;
    value_ = std::clamp(value_, min_, max_);
    setNeedsDisplay();
}

void UISlider::setMaximumValue(float v) {
    if (std::isnan(v)) return;
    max_ = v;
    if (min_ > max_) min_ = max_;
    value_ = std::clamp(value_, min_, max_);
    setNeedsDisplay();
}

void UISlider::setMinimumTrackTintColor(std::shared_ptr<UIColor> c) {
    minTint_ = std::move(c);
    setNeedsDisplay();
}
void UISlider::setMaximumTrackTintColor(std::shared_ptr<UIColor> c) {
    maxTint_ = std::move(c);
    setNeedsDisplay();
}
void UISlider::setThumbTintColor(std::shared_ptr<UIColor> c) {
    thumbTint_ = std::move(c);
    setNeedsDisplay();
}

CGRect UISlider::trackRectForBounds(CGRect b) const {
    return {{b.origin.x, b.origin.y + (b.size.height - kTrackHeight) / 2}, {b.size.width, kTrackHeight}};
}

CGRect UISlider::thumbRectForBounds(CGRect b, CGRect track, float value) const {
    float range = max_ - min_;
    CGFloat f = range > 0 ? (value - min_) / range : 0;
    CGFloat travel = std::max<CGFloat>(track.size.width - kThumb, 0);
    return {{track.origin.x + f * travel, b.origin.y + (b.size.height - kThumb) / 2}, {kThumb, kThumb}};
}

bool UISlider::beginTrackingWithTouch(const UITouch& touch, const UIEvent&) {
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    CGPoint p = touch.locationInView(self);
    CGRect thumb = thumbRectForBounds(bounds(), trackRectForBounds(bounds()), value_);
    changedWhileTracking_ = false;
    // A touch on the thumb keeps its grip; elsewhere on the track the thumb jumps under the finger.
    grabOffset_ = CGRectContainsPoint(CGRectInset(thumb, -10, -10), p) ? p.x - CGRectGetMidX(thumb) : 0;
    if (grabOffset_ == 0) trackTo(touch);
    return true;
}

bool UISlider::continueTrackingWithTouch(const UITouch& touch, const UIEvent&) {
    trackTo(touch);
    return true;
}

void UISlider::endTrackingWithTouch(const UITouch*, const UIEvent*) {
    if (!continuous_ && changedWhileTracking_) sendActionsForControlEvents(UIControlEventValueChanged);
    changedWhileTracking_ = false;
}

void UISlider::trackTo(const UITouch& touch) {
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    CGRect track = trackRectForBounds(bounds());
    CGFloat travel = track.size.width - kThumb;
    if (travel <= 0) return;
    CGFloat x = touch.locationInView(self).x - grabOffset_ - track.origin.x - kThumb / 2;
    float v = min_ + float(std::clamp<CGFloat>(x / travel, 0, 1)) * (max_ - min_);
    if (v == value_) return;
    value_ = v;
    setNeedsDisplay();
    changedWhileTracking_ = true;
    if (continuous_) sendActionsForControlEvents(UIControlEventValueChanged);
}

void UISlider::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    CGRect track = trackRectForBounds(bounds());
    CGRect thumb = thumbRectForBounds(bounds(), track, value_);
    auto minColor = minTint_ ? minTint_ : tintColor();
    auto maxColor = maxTint_ ? maxTint_ : UIColor::systemGray4Color();
    CGFloat split = CGRectGetMidX(thumb);
    c->setFillColorWithColor(maxColor->cgColor());
    c->fillRect(track);
    c->setFillColorWithColor(minColor->cgColor());
    c->fillRect({track.origin, {split - track.origin.x, track.size.height}});
    c->setFillColorWithColor((thumbTint_ ? thumbTint_ : UIColor::whiteColor())->cgColor());
    c->fillEllipseInRect(thumb);
    c->setStrokeColorWithColor(CGColor::gray(0, 0.15));
    c->setLineWidth(0.5);
    c->strokeEllipseInRect(CGRectInset(thumb, 0.25, 0.25));
}
