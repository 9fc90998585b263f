// The main run loop: main-queue blocks, timers and delayed calls, on the one main thread.
//
// Thread model
// - One main thread owns the user interface, the run loop, its timers and main-queue blocks. By
//   default it is the thread that started the process; a host may adopt another one.
// - Serial dispatch queues each run on a worker thread of their own (started when work first
//   arrives); global queues share a pool. Work returns to the main thread with
//   dispatch_async(dispatch_get_main_queue(), ...) or RunLoop::main().perform(...).
// - Thread-safe: RunLoop::perform / wakeUp / stop, NSTimer::invalidate, the Clock, every
//   dispatch function, and NSNotificationCenter. Everything else here (adding timers, running
//   and stepping the loop) belongs to the main thread.
// - Time comes from Clock. Under the virtual clock the loop never sleeps: advance(), runUntil()
//   and runUntilIdle() fire exactly what is due, in time order (ties in scheduling order), and
//   leave the clock at the target time.
// - A turn runs the blocks queued when it began and the timers due when it began, each at most
//   once; what they add waits for the next turn. So a turn ends whatever its work costs: a
//   repeating timer whose work outlasts its interval fires once a turn, and between turns a host
//   takes input, draws and sees an end request.
// - Callbacks run with no lock held, so they may schedule, invalidate, post and even run the
//   loop again (a nested turn).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dispatch/timer.h"

class RunLoop {
public:
    static RunLoop& main();
    // Korva has one run loop; the current one is the main run loop.
    static RunLoop& current() { return main(); }

    static bool isMainThread();
    // Makes the calling thread the main thread (a host that runs the loop on another thread).
    static void adoptCurrentThreadAsMain();

    // Main-queue blocks: run in FIFO order, in every mode. Thread-safe; wakes a waiting run().
    void perform(std::function<void()> block);

    // Timers fire in the given mode and in Common; a Common timer fires in every mode.
    void addTimer(const std::shared_ptr<NSTimer>& timer, RunLoopMode mode = RunLoopMode::Default);
    // A one-shot delayed call in the default mode (performSelector:withObject:afterDelay:);
    // invalidate the returned timer to cancel it.
    std::shared_ptr<NSTimer> performAfterDelay(double delay, std::function<void()> block,
                                               RunLoopMode mode = RunLoopMode::Default);

    // Called whenever the loop has run out of due work, before it would wait: the hook for the
    // once-per-turn layout, display and animation commit. An observer that leaves new work
    // behind is called again after that work (a few times at most per turn). Main thread.
    std::uint64_t addBeforeWaitingObserver(std::function<void()> observer);
    void removeBeforeWaitingObserver(std::uint64_t id);

    // Tracking mode (a finger on a scroll view): only Tracking and Common timers fire.
    void setMode(RunLoopMode mode);
    RunLoopMode mode() const;

    // Stepping, for tests and the hosts (main thread).
    // One turn, then the before-waiting observers. Returns the number of blocks and timer
    // callbacks run.
    std::size_t runTurn();
    // Turns until nothing is left of what was due when the call began, chained blocks included:
    // each timer due then fires once (on the virtual clock that is all that is due now). Between
    // turns `keepGoing`, when given, may end the call early. Returns the number of blocks and
    // timer callbacks run.
    std::size_t runUntilIdle(const std::function<bool()>& keepGoing = nullptr);
    // Fires everything due up to clock time t in time order, moving the virtual clock to each
    // fire date and finally to t. On the real clock it waits (blocks) until t.
    std::size_t runUntil(double t);
    std::size_t advance(double seconds);

    // Real host: blocks, running work as it comes and timers as they fall due, until stop().
    void run();
    // Makes run() return after its current step. Thread-safe.
    void stop();
    void wakeUp();

    // Runs the main queue while waiting until every dispatch queue is idle and the main queue is
    // empty (no time passes). Main thread; for tests and orderly shutdown.
    void drainAll();
    // Drops every queued block and timer (invalidating the timers) and delayed background work
    // not yet due, and returns to the default mode: a clean slate for the next test. Main thread.
    void reset();

    // Facts for tests and the host.
    std::size_t pendingBlocks() const;
    std::size_t scheduledTimers() const;
    std::optional<double> nextTimerDate() const;

    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

private:
    RunLoop() = default;
    friend class NSTimer;
    bool firesInMode(RunLoopMode timerMode) const;
    std::vector<std::shared_ptr<NSTimer>> dueTimers(double dueBy) const;
    // Whether the timer still fires in this turn; if so moves a repeating one on, removes a one-shot.
    bool takeTimer(const std::shared_ptr<NSTimer>& timer, double dueBy);
    // The work of one turn: blocks queued now, then timers due by `dueBy`, each once.
    std::size_t runWork(double dueBy);
    bool hasWork(double dueBy) const;
    bool runBeforeWaitingObservers();
    void removeTimer(NSTimer* timer);
    std::optional<double> nextTimerDateLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> blocks_;
    std::vector<std::shared_ptr<NSTimer>> timers_;
    std::uint64_t nextSequence_ = 0;
    std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void()>>>> beforeWaiting_;
    std::uint64_t nextObserverId_ = 1;
    RunLoopMode mode_ = RunLoopMode::Default;
    bool stopRequested_ = false;
    std::uint64_t wakeCount_ = 0;
};
