// ScrollHandler: turns a scroll view's stream of scroll callbacks into started, stopped and
// nearly-at-the-end events. Every callback reports a start (not only the first of a burst) and,
// while fewer than 200 points are left below the visible part, reaching the end; the stop comes
// once, 0.3 s after the last callback.
//
// States: idle (no timer) -> scrolling (a timer pending, restarted by each callback) -> idle when
// the timer fires. Main-thread only; the timer runs on the main run loop.
#pragma once

#include <memory>

#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/object.h"

class ScrollHandler;
class UIScrollView;

class ScrollHandlerDelegate {
public:
    virtual ~ScrollHandlerDelegate() = default;
    virtual void onScrollHandlerStarted(ScrollHandler& handler) = 0;
    virtual void onScrollHandlerStopped(ScrollHandler& handler) = 0;
    virtual void onScrollHandlerReachingEnd(ScrollHandler& handler) = 0;
};

class ScrollHandler : public NSObject {
public:
    KORVA_MAKE(ScrollHandler)
    static constexpr double kQuietPeriod = 0.3;
    static constexpr double kNearEnd = 200;

    std::shared_ptr<ScrollHandlerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ScrollHandlerDelegate>& delegate) { delegate_ = delegate; }
    bool isScrolling() const { return timer_.pending(); }

    void scrollViewDidScroll(const UIScrollView& scrollView);
    void restartTimer();
    void resetTimer() { timer_.reset(); }
    void onTimer();

    std::string className() const override { return "ScrollHandler"; }

protected:
    ScrollHandler() = default;

private:
    std::weak_ptr<ScrollHandlerDelegate> delegate_;
    OneShotTimer timer_;
};
