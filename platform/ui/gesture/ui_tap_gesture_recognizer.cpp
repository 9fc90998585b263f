// Taps: counted, timed and kept within a small distance.
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

#include "platform/ui/gesture/gesture_support.h"

using namespace gesture_support;

CGPoint UITapGestureRecognizer::locationInView(const std::shared_ptr<UIView>& view) const {
    if (numberOfTouches() > 0) return UIGestureRecognizer::locationInView(view);
    return view ? view->convertPointFromView(last_, nullptr) : last_;
}

void UITapGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    UIGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerState::Possible) return;
    stop(timer_);
    if (tapsSeen_ == 0 && maxTouches_ == 0) start_ = centroid(trackedTouches());
    maxTouches_ = std::max(maxTouches_, numberOfTouches());
    if (tapsSeen_ > 0 && distance(centroid(trackedTouches()), start_) > 2 * kTapSlop)
        setState(UIGestureRecognizerState::Failed);
    else if (numberOfTouches() > std::size_t(touchesRequired_))
        setState(UIGestureRecognizerState::Failed);
}

void UITapGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&) {
    if (state() != UIGestureRecognizerState::Possible) return;
    for (const auto& t : trackedTouches())
        if (distance(t->windowLocation(), start_) > (tapsSeen_ > 0 ? 2 * kTapSlop : kTapSlop))
            return setState(UIGestureRecognizerState::Failed);
}

void UITapGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    if (!touches.empty()) last_ = centroid(touches);
    UIGestureRecognizer::touchesEnded(touches, event);
    if (state() != UIGestureRecognizerState::Possible || numberOfTouches() > 0) return;
    ++tapsSeen_;
    if (maxTouches_ != std::size_t(touchesRequired_)) return setState(UIGestureRecognizerState::Failed);
    maxTouches_ = 0;
    if (tapsSeen_ >= tapsRequired_) return setState(UIGestureRecognizerState::Ended);
    failLater();
}

void UITapGestureRecognizer::failLater() {
    timer_ =
        after<UITapGestureRecognizer>(kMultiTapInterval, self<UITapGestureRecognizer>(), [](UITapGestureRecognizer& r) {
            r.timer_.reset();
            r.setState(UIGestureRecognizerState::Failed);
            r.resetIfIdle();
        });
}

void UITapGestureRecognizer::reset() {
    stop(timer_);
    tapsSeen_ = 0;
    maxTouches_ = 0;
}
