// Long press: a timer from touch-down, cancelled by movement.
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"

#include "platform/ui/gesture/gesture_support.h"

using namespace gesture_support;

void UILongPressGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerState::Possible) return;
    if (numberOfTouches() != 1) {
        stop(timer_);
        return setState(UIGestureRecognizerState::Failed);
    }
    start_ = centroid(trackedTouches());
    timer_ = after<UILongPressGestureRecognizer>(
        minimumDuration_, self<UILongPressGestureRecognizer>(), [](UILongPressGestureRecognizer& r) {
            r.timer_.reset();
            if (r.state() == UIGestureRecognizerState::Possible && r.numberOfTouches() > 0)
                r.setState(UIGestureRecognizerState::Began);
        });
}

void UILongPressGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&) {
    if (state() == UIGestureRecognizerState::Possible) {
        if (distance(centroid(trackedTouches()), start_) > allowableMovement_) {
            stop(timer_);
            setState(UIGestureRecognizerState::Failed);
        }
    } else if (isActive()) {
        setState(UIGestureRecognizerState::Changed);
    }
}

void UILongPressGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesEnded(touches, event);
    if (numberOfTouches() > 0) return;
    stop(timer_);
    if (isActive())
        setState(UIGestureRecognizerState::Ended);
    else if (state() == UIGestureRecognizerState::Possible)
        setState(UIGestureRecognizerState::Failed);
}

void UILongPressGestureRecognizer::reset() {
    stop(timer_);
}
