// Swipe: distance along an allowed direction within a time limit.
#include "platform/ui/gesture/ui_swipe_gesture_recognizer.h"

#include "platform/ui/gesture/gesture_support.h"

using namespace gesture_support;

void UISwipeGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerState::Possible) return;
    if (numberOfTouches() != 1) {
        setState(UIGestureRecognizerState::Failed);
        return;
    }
    start_ = trackedTouches()[0]->windowLocation();
    startTime_ = event.timestamp();
}

void UISwipeGestureRecognizer::judge(double timestamp) {
    if (state() != UIGestureRecognizerState::Possible || numberOfTouches() == 0) return;
    CGPoint p = trackedTouches()[0]->windowLocation();
    CGFloat dx = p.x - start_.x, dy = p.y - start_.y;
    bool horizontal = std::abs(dx) > std::abs(dy);
    std::uint32_t way = horizontal
                            ? (dx > 0 ? UISwipeGestureRecognizerDirectionRight : UISwipeGestureRecognizerDirectionLeft)
                            : (dy > 0 ? UISwipeGestureRecognizerDirectionDown : UISwipeGestureRecognizerDirectionUp);
    CGFloat along = horizontal ? std::abs(dx) : std::abs(dy);
    if (timestamp - startTime_ > kMaximumDuration) {
        setState(UIGestureRecognizerState::Failed);
        return;
    }
    if (along < kTapSlop) return;
    if (!(direction_ & way)) {
        setState(UIGestureRecognizerState::Failed);
        return;
    }
    if (along >= kMinimumDistance) setState(UIGestureRecognizerState::Ended);
}

void UISwipeGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent& event) {
    judge(event.timestamp());
}

void UISwipeGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    judge(event.timestamp());
    UIGestureRecognizer::touchesEnded(touches, event);
    if (state() == UIGestureRecognizerState::Possible && numberOfTouches() == 0)
        setState(UIGestureRecognizerState::Failed);
}

void UISwipeGestureRecognizer::reset() {
    start_ = {};
    startTime_ = 0;
}
