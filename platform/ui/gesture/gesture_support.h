// Small helpers shared by the recognisers: distances, centroids, window vectors and timers.
#pragma once

#include <cmath>
#include <memory>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

namespace gesture_support {

// Movement a tap or a press tolerates, and what starts a pan.
inline constexpr CGFloat kTapSlop = 10;
inline constexpr CGFloat kPanHysteresis = 10;
inline constexpr double kMultiTapInterval = 0.35;
inline constexpr CGFloat kEdgeWidth = 20;

inline CGFloat distance(CGPoint a, CGPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

inline CGPoint centroid(const UITouchSet& touches) {
    if (touches.empty()) return {};
    CGFloat x = 0, y = 0;
    for (const auto& t : touches) {
        x += t->windowLocation().x;
        y += t->windowLocation().y;
    }
    return {x / CGFloat(touches.size()), y / CGFloat(touches.size())};
}

// A vector in window space expressed in a view's space.
inline CGPoint vectorInView(CGPoint v, const std::shared_ptr<UIView>& view) {
    if (!view) return v;
    CGPoint a = view->convertPointFromView({0, 0}, nullptr);
    CGPoint b = view->convertPointFromView(v, nullptr);
    return {b.x - a.x, b.y - a.y};
}

// A one-shot timer on the main run loop that calls back while the recogniser lives.
template <class T>
std::shared_ptr<NSTimer> after(double delay, const std::shared_ptr<T>& self, void (*fire)(T&)) {
    std::weak_ptr<T> weak = self;
    auto timer = NSTimer::timer(delay, false, [weak, fire](const std::shared_ptr<NSTimer>&) {
        if (auto s = weak.lock()) fire(*s);
    });
    RunLoop::main().addTimer(timer, RunLoopMode::Common);
    return timer;
}

inline void stop(std::shared_ptr<NSTimer>& timer) {
    if (timer) timer->invalidate();
    timer.reset();
}

}  // namespace gesture_support
