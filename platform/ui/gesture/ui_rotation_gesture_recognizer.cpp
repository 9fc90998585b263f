// Rotation: the angle of the line through two touches relative to its start.
#include "platform/ui/gesture/ui_rotation_gesture_recognizer.h"

#include <numbers>

#include "platform/ui/gesture/gesture_support.h"

namespace {

// The angle folded into (-pi, pi].
CGFloat folded(CGFloat a) {
    while (a > std::numbers::pi) a -= 2 * std::numbers::pi;
    while (a <= -std::numbers::pi) a += 2 * std::numbers::pi;
    return a;
}

}  // namespace

CGFloat UIRotationGestureRecognizer::angle() const {
    CGPoint a = trackedTouches()[0]->windowLocation(), b = trackedTouches()[1]->windowLocation();
    return std::atan2(b.y - a.y, b.x - a.x);
}

void UIRotationGestureRecognizer::setRotation(CGFloat r) {
    if (numberOfTouches() == 2) startAngle_ = angle() - r;
    rotation_ = r;
}

void UIRotationGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesBegan(touches, event);
    if (numberOfTouches() == 2 && state() == UIGestureRecognizerState::Possible) {
        startAngle_ = angle();
        rotation_ = 0;
        lastTime_ = event.timestamp();
    } else if (numberOfTouches() > 2 && state() == UIGestureRecognizerState::Possible) {
        setState(UIGestureRecognizerState::Failed);
    }
}

void UIRotationGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent& event) {
    if (numberOfTouches() != 2) return;
    CGFloat r = folded(angle() - startAngle_);
    double dt = event.timestamp() - lastTime_;
    if (dt > 0) velocity_ = (r - rotation_) / dt;
    lastTime_ = event.timestamp();
    if (state() == UIGestureRecognizerState::Possible) {
        if (std::abs(r) >= kStartAngle) {
            rotation_ = r;
            setState(UIGestureRecognizerState::Began);
        }
    } else if (isActive()) {
        rotation_ = r;
        setState(UIGestureRecognizerState::Changed);
    }
}

void UIRotationGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesEnded(touches, event);
    if (isActive())
        setState(UIGestureRecognizerState::Ended);
    else if (state() == UIGestureRecognizerState::Possible && numberOfTouches() == 0)
        setState(UIGestureRecognizerState::Failed);
}

void UIRotationGestureRecognizer::reset() {
    startAngle_ = 0;
    rotation_ = 0;
    velocity_ = 0;
}
