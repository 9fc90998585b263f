// The one-shot and repeating timer slots.
#include "platform/dispatch/timer_slots.h"

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"

void OneShotTimer::restart(double seconds, std::function<void()> tick) {
    reset();
    timer_ = NSTimer::scheduledTimer(seconds, false, [this, tick = std::move(tick)](const std::shared_ptr<NSTimer>& t) {
        // The slot empties before the tick, so the tick may restart it.
        if (timer_ == t) timer_.reset();
        tick();
    });
}

void OneShotTimer::reset() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void RepeatingTimer::restart(double seconds, std::function<void()> tick) {
    reset();
    timer_ =
        NSTimer::scheduledTimer(seconds, true, [tick = std::move(tick)](const std::shared_ptr<NSTimer>&) { tick(); });
}

void RepeatingTimer::restartInCommonModes(double seconds, std::function<void()> tick) {
    reset();
    timer_ = NSTimer::timer(seconds, true, [tick = std::move(tick)](const std::shared_ptr<NSTimer>&) { tick(); });
    RunLoop::main().addTimer(timer_, RunLoopMode::Common);
}

void RepeatingTimer::reset() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}
