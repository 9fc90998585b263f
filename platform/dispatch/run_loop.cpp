// The main run loop: main-queue blocks, timers in time order, stepping and the blocking run().
#include "platform/dispatch/run_loop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/delayed_work.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"

namespace {

// The main thread is the one that started the process unless a host adopts another.
std::atomic<std::thread::id> gMainThread{std::this_thread::get_id()};

// Ceiling on one real-clock wait, so that a change of clock kind is noticed.
constexpr double kMaxRealWait = 0.25;

// Passes of the before-waiting observers per turn, in case they keep making work for themselves.
constexpr int kMaxObserverPasses = 4;

}  // namespace

RunLoop& RunLoop::main() {
    static RunLoop* loop = new RunLoop;
    return *loop;
}

bool RunLoop::isMainThread() {
    return std::this_thread::get_id() == gMainThread.load();
}

void RunLoop::adoptCurrentThreadAsMain() {
    gMainThread.store(std::this_thread::get_id());
}

void RunLoop::perform(std::function<void()> block) {
    if (!block) return;
    {
        std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
        ++wakeCount_;
    }
    wake_.notify_all();
}

void RunLoop::addTimer(const std::shared_ptr<NSTimer>& timer, RunLoopMode mode) {
    if (!timer || !timer->isValid()) return;
    {
        std::lock_guard lock(mutex_);
        if (timer->scheduled_) {
            // Added again in another mode: it now fires in both.
            if (timer->mode_ != mode) timer->mode_ = RunLoopMode::Common;
            return;
        }
        timer->scheduled_ = true;
        timer->mode_ = mode;
        timer->sequence_ = nextSequence_++;
        timers_.push_back(timer);
        ++wakeCount_;
    }
    // A timer invalidated by another thread in the meantime must not linger.
    if (!timer->isValid()) removeTimer(timer.get());
    wake_.notify_all();
}

std::shared_ptr<NSTimer> RunLoop::performAfterDelay(double delay, std::function<void()> block, RunLoopMode mode) {
    auto timer = NSTimer::timer(delay, false, [block = std::move(block)](const std::shared_ptr<NSTimer>&) {
        if (block) block();
    });
    addTimer(timer, mode);
    return timer;
}

void RunLoop::setMode(RunLoopMode mode) {
    {
        std::lock_guard lock(mutex_);
        mode_ = mode == RunLoopMode::Common ? RunLoopMode::Default : mode;
        ++wakeCount_;
    }
    wake_.notify_all();
}

RunLoopMode RunLoop::mode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

bool RunLoop::firesInMode(RunLoopMode timerMode) const {
    return timerMode == RunLoopMode::Common || timerMode == mode_;
}

void RunLoop::removeTimer(NSTimer* timer) {
    std::shared_ptr<NSTimer> removed;  // released after the lock, as it may be the last reference
    {
        std::lock_guard lock(mutex_);
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->get() == timer) {
                removed = std::move(*it);
                timers_.erase(it);
                timer->scheduled_ = false;
                break;
            }
        }
    }
}

std::vector<std::shared_ptr<NSTimer>> RunLoop::dueTimers(double dueBy) const {
    std::vector<std::shared_ptr<NSTimer>> due;
    {
        std::lock_guard lock(mutex_);
        for (const auto& t : timers_)
            if (t->isValid() && firesInMode(t->mode_) && t->nextFire_ <= dueBy) due.push_back(t);
    }
    // Time order, ties in scheduling order.
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
        return a->nextFire_ < b->nextFire_ || (a->nextFire_ == b->nextFire_ && a->sequence_ < b->sequence_);
    });
    return due;
}

bool RunLoop::takeTimer(const std::shared_ptr<NSTimer>& timer, double dueBy) {
    std::lock_guard lock(mutex_);
    // An earlier callback of the turn may have invalidated, moved or removed it.
    if (!timer->scheduled_ || !timer->isValid() || !firesInMode(timer->mode_) || timer->nextFire_ > dueBy) return false;
    if (timer->repeats_) {
        // The next occurrence on the original grid after now; missed ones are skipped.
        const double now = Clock::now();
        double interval = timer->interval_;
        double k = std::floor((now - timer->scheduleStart_) / interval) + 1;
        double next = timer->scheduleStart_ + k * interval;
        while (next <= now) next = timer->scheduleStart_ + (++k) * interval;
        timer->nextFire_ = next;
    } else {
        auto it = std::find(timers_.begin(), timers_.end(), timer);
        if (it != timers_.end()) timers_.erase(it);
        timer->scheduled_ = false;
    }
    return true;
}

std::size_t RunLoop::runWork(double dueBy) {
    // The blocks queued when the turn began; what they add waits for the next turn.
    std::size_t queued = 0;
    {
        std::lock_guard lock(mutex_);
        queued = blocks_.size();
    }
    std::size_t ran = 0;
    for (; ran < queued; ++ran) {
        std::function<void()> block;
        {
            std::lock_guard lock(mutex_);
            if (blocks_.empty()) break;  // a nested turn ran them
            block = std::move(blocks_.front());
            blocks_.pop_front();
        }
        block();
    }
    // The timers due when the turn began, each at most once: a repeating timer whose work outlasts
    // its interval is due again as soon as it returns, and waits for the next turn.
    for (const auto& timer : dueTimers(dueBy)) {
        if (!takeTimer(timer, dueBy)) continue;
        timer->fireScheduled();
        ++ran;
    }
    return ran;
}

bool RunLoop::hasWork(double dueBy) const {
    std::lock_guard lock(mutex_);
    if (!blocks_.empty()) return true;
    for (const auto& t : timers_)
        if (t->isValid() && firesInMode(t->mode_) && t->nextFire_ <= dueBy) return true;
    return false;
}

std::size_t RunLoop::runTurn() {
    std::size_t ran = runWork(Clock::now());
    runBeforeWaitingObservers();
    return ran;
}

std::size_t RunLoop::runUntilIdle(const std::function<bool()>& keepGoing) {
    // Only what is due when the call begins: on the real clock a timer that costs more than its
    // interval would otherwise be due for ever. On the virtual clock that is everything due now.
    const double dueBy = Clock::now();
    std::size_t ran = 0;
    // Observers run when the work runs out; new work they cause earns them another pass.
    int observerPasses = 0;
    bool workSinceObservers = true;
    for (;;) {
        std::size_t work = runWork(dueBy);
        ran += work;
        if (work) workSinceObservers = true;
        if (keepGoing && !keepGoing()) break;
        if (hasWork(dueBy)) continue;
        if (!workSinceObservers || observerPasses == kMaxObserverPasses) break;
        workSinceObservers = false;
        ++observerPasses;
        if (!runBeforeWaitingObservers()) break;
    }
    return ran;
}

bool RunLoop::runBeforeWaitingObservers() {
    std::vector<std::shared_ptr<std::function<void()>>> observers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& entry : beforeWaiting_) observers.push_back(entry.second);
    }
    for (const auto& observer : observers) (*observer)();
    return !observers.empty();
}

std::uint64_t RunLoop::addBeforeWaitingObserver(std::function<void()> observer) {
    if (!observer) return 0;
    std::lock_guard lock(mutex_);
    std::uint64_t id = nextObserverId_++;
    beforeWaiting_.emplace_back(id, std::make_shared<std::function<void()>>(std::move(observer)));
    return id;
}

void RunLoop::removeBeforeWaitingObserver(std::uint64_t id) {
    std::shared_ptr<std::function<void()>> removed;  // released after the lock
    std::lock_guard lock(mutex_);
    for (auto it = beforeWaiting_.begin(); it != beforeWaiting_.end(); ++it) {
        if (it->first == id) {
            removed = std::move(it->second);
            beforeWaiting_.erase(it);
            break;
        }
    }
}

std::optional<double> RunLoop::nextTimerDateLocked() const {
    std::optional<double> next;
    for (const auto& t : timers_)
        if (t->isValid() && firesInMode(t->mode_) && (!next || t->nextFire_ < *next)) next = t->nextFire_;
    return next;
}

std::optional<double> RunLoop::nextTimerDate() const {
    std::lock_guard lock(mutex_);
    return nextTimerDateLocked();
}

std::size_t RunLoop::runUntil(double t) {
    std::size_t ran = runUntilIdle();
    if (Clock::isVirtual()) {
        for (;;) {
            auto next = nextTimerDate();
            if (!next || *next > t) break;
            Clock::setVirtualNow(*next);
            ran += runUntilIdle();
        }
        Clock::setVirtualNow(t);
        return ran + runUntilIdle();
    }
    while (Clock::now() < t) {
        std::unique_lock lock(mutex_);
        if (blocks_.empty()) {
            double until = std::min(t, nextTimerDateLocked().value_or(t));
            double wait = std::clamp(until - Clock::now(), 0.0, kMaxRealWait);
            std::uint64_t seen = wakeCount_;
            wake_.wait_for(lock, std::chrono::duration<double>(wait), [&] { return wakeCount_ != seen; });
        }
        lock.unlock();
        ran += runTurn();
    }
    return ran;
}

std::size_t RunLoop::advance(double seconds) {
    return runUntil(Clock::now() + std::max(seconds, 0.0));
}

void RunLoop::run() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    for (;;) {
        runTurn();
        std::unique_lock lock(mutex_);
        if (stopRequested_) break;
        if (!blocks_.empty()) continue;
        std::uint64_t seen = wakeCount_;
        auto woken = [&] { return wakeCount_ != seen || stopRequested_; };
        auto next = nextTimerDateLocked();
        if (Clock::isVirtual() || !next) {
            // Virtual time moves only when someone moves it, which wakes us.
            wake_.wait_for(lock, std::chrono::duration<double>(kMaxRealWait), woken);
        } else {
            double wait = std::clamp(*next - Clock::now(), 0.0, kMaxRealWait);
            wake_.wait_for(lock, std::chrono::duration<double>(wait), woken);
        }
    }
}

void RunLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
        ++wakeCount_;
    }
    wake_.notify_all();
}

void RunLoop::wakeUp() {
    {
        std::lock_guard lock(mutex_);
        ++wakeCount_;
    }
    wake_.notify_all();
}

void RunLoop::drainAll() {
    if (!isMainThread()) {
        Log::error("dispatch", "drainAll called off the main thread; waiting for background queues only");
        DispatchQueue::waitUntilBackgroundIdle();
        return;
    }
    for (;;) {
        runUntilIdle();
        // Background first: whatever an idle background handed to main is already queued.
        bool backgroundIdle = DispatchQueue::backgroundIdle();
        std::unique_lock lock(mutex_);
        if (backgroundIdle && blocks_.empty()) break;
        if (!blocks_.empty()) continue;
        std::uint64_t seen = wakeCount_;
        wake_.wait_for(lock, std::chrono::milliseconds(2), [&] { return wakeCount_ != seen; });
    }
}

void RunLoop::reset() {
    std::deque<std::function<void()>> blocks;
    std::vector<std::shared_ptr<NSTimer>> timers;
    {
        std::lock_guard lock(mutex_);
        blocks.swap(blocks_);
        timers.swap(timers_);
        mode_ = RunLoopMode::Default;
        stopRequested_ = false;
        for (auto& t : timers) t->scheduled_ = false;
    }
    for (auto& t : timers) t->invalidate();
    delayedWorkClear();
}

std::size_t RunLoop::pendingBlocks() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
}

std::size_t RunLoop::scheduledTimers() const {
    std::lock_guard lock(mutex_);
    return timers_.size();
}
