// NSTimer: the callback, its release on invalidation, and the schedule kept by the run loop.
#include "platform/dispatch/timer.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"

namespace {
// The platform's floor for non-positive intervals (0.1 ms).
constexpr double kMinimumInterval = 0.0001;

// NaN and non-positive intervals take the floor; an infinite one never comes due.
double usableInterval(double interval) {
    return interval >= kMinimumInterval ? interval : kMinimumInterval;
}

}  // namespace

NSTimer::NSTimer(double interval, bool repeats, Block block, Value userInfo)
    : interval_(usableInterval(interval)), repeats_(repeats), userInfo_(std::move(userInfo)), block_(std::move(block)) {
    nextFire_ = scheduleStart_ = Clock::now() + interval_;
}

std::shared_ptr<NSTimer> NSTimer::timer(double interval, bool repeats, Block block, Value userInfo) {
    return make(interval, repeats, std::move(block), std::move(userInfo));
}

std::shared_ptr<NSTimer> NSTimer::scheduledTimer(double interval, bool repeats, Block block, Value userInfo) {
    auto t = timer(interval, repeats, std::move(block), std::move(userInfo));
    RunLoop::main().addTimer(t);
    return t;
}

void NSTimer::invalidate() {
    if (!valid_.exchange(false)) return;
    Block released;
    {
        std::lock_guard lock(blockMutex_);
        released = std::move(block_);
        block_ = nullptr;
    }
    RunLoop::main().removeTimer(this);
    // `released` (and the target it holds) goes here, with no lock held.
}

double NSTimer::fireDate() const {
    std::lock_guard lock(RunLoop::main().mutex_);
    return nextFire_;
}

void NSTimer::setFireDate(double clockTime) {
    if (!isValid() || std::isnan(clockTime)) return;
    std::lock_guard lock(RunLoop::main().mutex_);
    nextFire_ = scheduleStart_ = clockTime;
}

void NSTimer::fire() {
    fireScheduled();
}

void NSTimer::fireScheduled() {
    if (!isValid()) return;
    Block block;
    {
        std::lock_guard lock(blockMutex_);
        block = block_;
    }
    // The copy keeps the block's captures alive even if the callback invalidates this timer.
    if (block) block(self<NSTimer>());
    if (!repeats_) invalidate();
}
