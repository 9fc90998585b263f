// Pans: translation, velocity, and edge starts.
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/gesture/gesture_support.h"

using namespace gesture_support;

CGPoint UIPanGestureRecognizer::centroidInWindow() const {
    return numberOfTouches() ? centroid(trackedTouches()) : lastPoint_;
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const UIEvent& event) {
    CGPoint before = centroidInWindow();
    bool had = numberOfTouches() > 0;
    UIGestureRecognizer::touchesBegan(touches, event);
    CGPoint now = centroidInWindow();
    if (!startChecked_ && !touches.empty()) {
        startChecked_ = true;
        if (!acceptsStart(touches.front()->windowLocation(), *touches.front()))
            return setState(UIGestureRecognizerState::Failed);
    }
    if (!had) {
        origin_ = now;
    } else {
        // A finger joining keeps the translation where it was.
        origin_ = {origin_.x + now.x - before.x, origin_.y + now.y - before.y};
    }
    lastPoint_ = now;
    lastTime_ = event.timestamp();
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent& event) {
    CGPoint c = centroidInWindow();
    double dt = event.timestamp() - lastTime_;
    if (dt > 0) velocity_ = {(c.x - lastPoint_.x) / dt, (c.y - lastPoint_.y) / dt};
    lastPoint_ = c;
    lastTime_ = event.timestamp();
    if (state() == UIGestureRecognizerState::Possible) {
        std::size_t n = numberOfTouches();
        if (n >= minTouches_ && n <= maxTouches_ && distance(c, origin_) >= kPanHysteresis)
            setState(UIGestureRecognizerState::Began);
    } else if (isActive()) {
        setState(UIGestureRecognizerState::Changed);
    }
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent& event) {
    CGPoint before = centroidInWindow();
    UIGestureRecognizer::touchesEnded(touches, event);
    if (numberOfTouches() > 0) {
        CGPoint now = centroidInWindow();
        origin_ = {origin_.x + now.x - before.x, origin_.y + now.y - before.y};
        lastPoint_ = now;
        return;
    }
    // A finger that rested before lifting has no speed left.
    if (event.timestamp() - lastTime_ > 0.1) velocity_ = {};
    if (isActive())
        setState(UIGestureRecognizerState::Ended);
    else if (state() == UIGestureRecognizerState::Possible)
        setState(UIGestureRecognizerState::Failed);
}

void UIPanGestureRecognizer::reset() {
    velocity_ = {};
    startChecked_ = false;
}

CGPoint UIPanGestureRecognizer::translationInView(const std::shared_ptr<UIView>& view) const {
    CGPoint c = centroidInWindow();
    return vectorInView({c.x - origin_.x, c.y - origin_.y}, view);
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const std::shared_ptr<UIView>& view) {
    CGPoint c = centroidInWindow();
    CGPoint inWindow = translation;
    if (view) {
        CGPoint cv = view->convertPointFromView(c, nullptr);
        CGPoint o = view->convertPointToView({cv.x - translation.x, cv.y - translation.y}, nullptr);
        origin_ = o;
        return;
    }
    origin_ = {c.x - inWindow.x, c.y - inWindow.y};
}

CGPoint UIPanGestureRecognizer::velocityInView(const std::shared_ptr<UIView>& view) const {
    return vectorInView(velocity_, view);
}

bool UIScreenEdgePanGestureRecognizer::acceptsStart(CGPoint p, const UITouch& touch) const {
    auto window = touch.window();
    if (!window) return false;
    CGRect b = window->bounds();
    return ((edges_ & UIRectEdgeLeft) && p.x <= b.origin.x + kEdgeWidth) ||
           ((edges_ & UIRectEdgeRight) && p.x >= CGRectGetMaxX(b) - kEdgeWidth) ||
           ((edges_ & UIRectEdgeTop) && p.y <= b.origin.y + kEdgeWidth) ||
           ((edges_ & UIRectEdgeBottom) && p.y >= CGRectGetMaxY(b) - kEdgeWidth);
}
