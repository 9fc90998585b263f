// Switch state, toggling and drawing.
#include "platform/ui/control/ui_switch.h"

#include "platform/ui/draw/graphics.h"

void UISwitch::init() {
    UIControl::init();
    CGRect f = frame();
    setFrame({f.origin, {51, 31}});  // a switch has its own size
}

void UISwitch::setOn(bool on, bool) {
    if (on_ == on) return;
    on_ = on;
    setNeedsDisplay();
}

void UISwitch::setOnTintColor(std::shared_ptr<UIColor> c) {
    onTint_ = std::move(c);
    setNeedsDisplay();
}

void UISwitch::setThumbTintColor(std::shared_ptr<UIColor> c) {
    thumbTint_ = std::move(c);
    setNeedsDisplay();
}

void UISwitch::endTrackingWithTouch(const UITouch* touch, const UIEvent*) {
    if (!touch) return;
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    if (!isInsideForTracking(touch->locationInView(self))) return;
    on_ = !on_;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

namespace {
constexpr CGFloat kDisabledAlpha = 0.5;
// The thumb stays brighter than the faded track.
constexpr CGFloat kDisabledThumbAlpha = 0.85;
}  // namespace

void UISwitch::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    CGRect b = bounds();
    CGFloat h = b.size.height;
    CGPath track;
    track.addRoundedRect(b, h / 2, h / 2);
    auto trackColor = on_ ? (onTint_ ? onTint_ : UIColor::systemGreenColor()) : UIColor::systemGray5Color();
    // A disabled switch is drawn faded, as disabled controls are.
    CGFloat fade = isEnabled() ? 1 : kDisabledAlpha;
    CGColor track0 = trackColor->cgColor();
    c->setFillColorWithColor(track0.withAlpha(track0.alpha * fade));
    c->addPath(track);
    c->fillPath();
    CGFloat d = h - 4;
    CGFloat x = on_ ? b.origin.x + b.size.width - d - 2 : b.origin.x + 2;
    CGColor thumb = (thumbTint_ ? thumbTint_ : UIColor::whiteColor())->cgColor();
    c->setFillColorWithColor(isEnabled() ? thumb : thumb.withAlpha(thumb.alpha * kDisabledThumbAlpha));
    c->fillEllipseInRect({{x, b.origin.y + 2}, {d, d}});
}
