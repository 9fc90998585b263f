// NSTimer: a one-shot or repeating timer fired by the main run loop.
//
// A scheduled timer is held by the run loop, and the timer holds its block (and target) until it
// fires for the last time or is invalidated. A repeating timer keeps its schedule: each fire date
// is the previous scheduled one plus the interval, and occurrences missed while the main thread
// was busy are skipped, not caught up. Invalidating inside the timer's own callback is safe.
// Main thread only, except that invalidate() may be called from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

enum class RunLoopMode { Default, Tracking, Common };

class NSTimer : public NSObject {
public:
    KORVA_MAKE(NSTimer)
    using Block = std::function<void(const std::shared_ptr<NSTimer>&)>;

    // A timer that is not scheduled yet (add it with RunLoop::addTimer).
    static std::shared_ptr<NSTimer> timer(double interval, bool repeats, Block block, Value userInfo = {});
    // Made and added to the main run loop in the default mode.
    static std::shared_ptr<NSTimer> scheduledTimer(double interval, bool repeats, Block block, Value userInfo = {});
    // Target and action: the timer holds the target strongly until it is invalidated.
    template <class T>
    static std::shared_ptr<NSTimer> scheduledTimer(double interval, std::shared_ptr<T> target,
                                                   void (T::*action)(const std::shared_ptr<NSTimer>&), Value userInfo,
                                                   bool repeats) {
        return scheduledTimer(
            interval, repeats,
            [target = std::move(target), action](const std::shared_ptr<NSTimer>& t) { ((*target).*action)(t); },
            std::move(userInfo));
    }

    void invalidate();
    bool isValid() const { return valid_.load(); }
    bool repeats() const { return repeats_; }
    double timeInterval() const { return interval_; }
    const Value& userInfo() const { return userInfo_; }

    // Fire date on the Clock::now() time line. Setting it restarts the schedule from that date.
    double fireDate() const;
    void setFireDate(double clockTime);

    // Runs the callback now; a one-shot timer is then invalidated, a repeating one keeps its schedule.
    void fire();

    std::string className() const override { return "NSTimer"; }

protected:
    NSTimer(double interval, bool repeats, Block block, Value userInfo);

private:
    friend class RunLoop;
    // Runs the callback for a due occurrence (the run loop has already moved the schedule on).
    void fireScheduled();
    // The schedule, guarded by the main run loop's lock: occurrences fall on
    // scheduleStart_ + k * interval_, so a repeating timer never drifts.
    double nextFire_ = 0;
    double scheduleStart_ = 0;
    std::uint64_t sequence_ = 0;  // ties between equal fire dates go in scheduling order
    RunLoopMode mode_ = RunLoopMode::Default;
    bool scheduled_ = false;

    const double interval_;
    const bool repeats_;
    const Value userInfo_;
    std::atomic<bool> valid_{true};
    mutable std::mutex blockMutex_;
    Block block_;
};
