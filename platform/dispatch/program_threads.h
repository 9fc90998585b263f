// ProgramThreads: the threads the program starts for its own work (dispatch workers, the delayed
// work's timer, work with a time limit, the location client's bus connection), in one list, so
// that the end of the process finds none of them running. When the process exits each is asked to
// stop, woken from its wait and joined; only work that may never return is left behind, and what
// it holds stays reachable from the list.
//
// Why it matters: the leak checker that runs at exit scans each running thread's stack and
// thread-local storage, and finds a thread by its kernel id; the ids of ended threads are kept
// with their stale records and come round again on a busy machine, so a thread still running at
// exit may be skipped, and what only it points to (its thread_local destructors' list, say) is
// reported as leaked. A thread joined before the check cannot be skipped.
//
// Thread-safe.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

class ProgramThreads {
public:
    // What becomes of a thread when the process exits.
    enum class AtExit {
        Stop,   // asked to stop, woken, and joined (within kExitWait)
        Leave,  // work that may never return: joined only when it has already ended
    };

    // The thread's view of the request to stop: it ends as soon as it has nothing left to do.
    class Stop {
    public:
        bool requested() const { return requested_.load(std::memory_order_acquire); }

    private:
        friend class ProgramThreads;
        std::atomic<bool> requested_{false};
    };

    using Body = std::function<void(const Stop&)>;

    // Runs `body` on a thread of its own. When the process exits, a Stop thread's stop is
    // requested and then `wake` is called to rouse it from its wait (it takes the lock the thread
    // waits under and notifies). Threads that have ended are joined here, as new ones start.
    static void start(Body body, AtExit atExit, std::function<void()> wake = {});

    // The exit hook (run as exit() begins, before the atexit handlers and the destructors of
    // static objects): asks the Stop threads running now to stop, waits up to `seconds` of real
    // time for them, and joins every thread that has ended. Threads started later run as usual.
    static void endAll(double seconds = kExitWait);
    static constexpr double kExitWait = 1.0;

    // Threads started and not yet joined.
    static std::size_t count();
};
