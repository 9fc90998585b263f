// Stepping, wrapping, auto-repeat while held, and drawing.
#include "platform/ui/control/ui_stepper.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/draw/graphics.h"

namespace {
constexpr double kRepeatDelay = 0.5;
constexpr double kRepeatInterval = 0.1;
}  // namespace

void UIStepper::init() {
    UIControl::init();
    CGRect f = frame();
    setFrame({f.origin, {94, 32}});
}

void UIStepper::setValue(double v) {
    if (std::isnan(v)) return;
    value_ = std::clamp(v, min_, max_);
    setNeedsDisplay();
}

void UIStepper::setMinimumValue(double v) {
    if (std::isnan(v) || v >= max_) return;  // the range must stay non-empty
    min_ = v;
    setValue(value_);
}

void UIStepper::setMaximumValue(double v) {
    if (std::isnan(v) || v <= min_) return;
    max_ = v;
    setValue(value_);
}

void UIStepper::setStepValue(double v) {
    if (!(v > 0)) return;
    step_ = v;
}

bool UIStepper::stepBy(int direction) {
    double next = value_ + direction * step_;
    if (next > max_) next = wraps_ ? min_ : max_;
    if (next < min_) next = wraps_ ? max_ : min_;
    if (next == value_) return false;
    value_ = next;
    setNeedsDisplay();
    return true;
}

bool UIStepper::beginTrackingWithTouch(const UITouch& touch, const UIEvent&) {
    auto me = std::static_pointer_cast<UIView>(shared_from_this());
    direction_ = touch.locationInView(me).x < bounds().size.width / 2 ? -1 : 1;
    pendingChange_ = false;
    if (stepBy(direction_)) {
        if (continuous_)
            sendActionsForControlEvents(UIControlEventValueChanged);
        else
            pendingChange_ = true;
    }
    if (autorepeat_) {
        std::weak_ptr<UIStepper> weak = std::static_pointer_cast<UIStepper>(me);
        repeat_ = NSTimer::timer(kRepeatInterval, true, [weak](const std::shared_ptr<NSTimer>&) {
            auto s = weak.lock();
            if (!s || !s->isTracking()) return;
            if (s->stepBy(s->direction_)) {
                if (s->continuous_)
                    s->sendActionsForControlEvents(UIControlEventValueChanged);
                else
                    s->pendingChange_ = true;
            }
        });
        repeat_->setFireDate(Clock::now() + kRepeatDelay);
        RunLoop::main().addTimer(repeat_, RunLoopMode::Common);
    }
    return true;
}

void UIStepper::stopRepeat() {
    if (repeat_) repeat_->invalidate();
    repeat_.reset();
}

void UIStepper::endTrackingWithTouch(const UITouch*, const UIEvent*) {
    stopRepeat();
    if (pendingChange_) sendActionsForControlEvents(UIControlEventValueChanged);
    pendingChange_ = false;
}

void UIStepper::cancelTrackingWithEvent(const UIEvent*) {
    stopRepeat();
    pendingChange_ = false;
}

void UIStepper::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    CGRect b = bounds();
    CGPath body;
    body.addRoundedRect(b, 8, 8);
    c->setFillColorWithColor(UIColor::systemGray6Color()->cgColor());
    c->addPath(body);
    c->fillPath();
    auto ink = tintColor()->cgColor();
    auto dim = CGColor::gray(0.6, 1);
    CGFloat midY = CGRectGetMidY(b), q = b.size.width / 4;
    c->setLineWidth(2);
    c->setStrokeColorWithColor(value_ > min_ || wraps_ ? ink : dim);
    c->moveToPoint(q - 6, midY);
    c->addLineToPoint(q + 6, midY);
    c->strokePath();
    c->setStrokeColorWithColor(value_ < max_ || wraps_ ? ink : dim);
    c->moveToPoint(3 * q - 6, midY);
    c->addLineToPoint(3 * q + 6, midY);
    c->moveToPoint(3 * q, midY - 6);
    c->addLineToPoint(3 * q, midY + 6);
    c->strokePath();
    c->setFillColorWithColor(CGColor::gray(0.8, 1));
    c->fillRect({{CGRectGetMidX(b) - 0.5, b.origin.y + 6}, {1, b.size.height - 12}});
}
