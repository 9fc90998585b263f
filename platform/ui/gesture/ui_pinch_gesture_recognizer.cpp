// Pinch: the spread of two touches relative to its start.
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"

#include "platform/ui/gesture/gesture_support.h"

using namespace gesture_support;

CGFloat UIPinchGestureRecognizer::spread() const {
    if (numberOfTouches() < 2) return 0;
    return distance(trackedTouches()[0]->windowLocation(), trackedTouches()[1]->windowLocation());
}

void UIPinchGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesBegan(touches, event);
    if (numberOfTouches() == 2 && state() == UIGestureRecognizerState::Possible) {
        startSpread_ = spread();
        scale_ = 1;
        lastTime_ = event.timestamp();
    } else if (numberOfTouches() > 2 && state() == UIGestureRecognizerState::Possible) {
        setState(UIGestureRecognizerState::Failed);
    }
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent& event) {
    if (numberOfTouches() != 2 || startSpread_ <= 0) return;
    CGFloat s = spread() / startSpread_;
    double dt = event.timestamp() - lastTime_;
    if (dt > 0) velocity_ = (s - scale_) / dt;
    lastTime_ = event.timestamp();
    if (state() == UIGestureRecognizerState::Possible) {
        if (std::abs(s - 1) * startSpread_ >= 4) {  // a few points of change
            scale_ = s;
            setState(UIGestureRecognizerState::Began);
        }
    } else if (isActive()) {
        scale_ = s;
        setState(UIGestureRecognizerState::Changed);
    }
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesEnded(touches, event);
    if (isActive())
        setState(UIGestureRecognizerState::Ended);
    else if (state() == UIGestureRecognizerState::Possible && numberOfTouches() == 0)
        setState(UIGestureRecognizerState::Failed);
}

void UIPinchGestureRecognizer::reset() {
    startSpread_ = 0;
    scale_ = 1;
    velocity_ = 0;
}
