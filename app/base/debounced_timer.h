// A pending one-shot timer on the main run loop: restarting drops the pending one first, so a
// burst of restarts fires once, after the last. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/dispatch/timer.h"

class DebouncedTimer {
public:
    DebouncedTimer() = default;
    DebouncedTimer(const DebouncedTimer&) = delete;
    DebouncedTimer& operator=(const DebouncedTimer&) = delete;
    ~DebouncedTimer() { reset(); }

    void restart(double interval, std::function<void()> tick) {
        reset();
        timer_ = NSTimer::scheduledTimer(interval, false, [this, tick = std::move(tick)](const std::shared_ptr<NSTimer>&) {
            timer_.reset();
            tick();
        });
    }
    void reset() {
        if (timer_) timer_->invalidate();
        timer_.reset();
    }
    bool isPending() const { return timer_ != nullptr; }

private:
    std::shared_ptr<NSTimer> timer_;
};
