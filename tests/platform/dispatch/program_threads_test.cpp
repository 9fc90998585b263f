// The program's threads at the process's exit: the queues' workers and the delayed work's timer
// are stopped and joined before any exit handler runs (the leak check among them), work with a
// time limit that never returns is left without holding the exit, and queues still work afterwards.
#include "platform/dispatch/program_threads.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "platform/dispatch/queue.h"
#include "platform/dispatch/result_within.h"

namespace {

int threadsOfThisProcess() {
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(dir)) n += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return n;
}

// How many threads besides the main one are left, once those that were joined have left the
// process's list (which the kernel updates a moment after the join returns).
void reportThreadsLeft() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (threadsOfThisProcess() > 2 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::fprintf(stderr, "threads left at exit: %d\n", threadsOfThisProcess() - 1);
}

}  // namespace

TEST(ProgramThreadsAtExit, EveryThreadButWorkThatNeverReturnsIsJoinedAsExitBegins) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child's own exit status says whether the leak check that follows found anything.
    EXPECT_EXIT(
        {
            auto serial = DispatchQueue::serial("exit.serial");
            serial->async([] {});  // its worker lingers on
            dispatch_async(dispatch_get_global_queue(), [] {});
            serial->after(3600, [] {});  // the timer thread waits for it
            auto never = resultWithin<int>(0.01, [] { return std::promise<int>().get_future().get(); });
            if (never) std::_Exit(3);
            DispatchQueue::waitUntilBackgroundIdle();
            // Registered after the threads started, as a library's exit handler may be, and still
            // run after they have ended.
            std::atexit(reportThreadsLeft);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "threads left at exit: 1\n");
}

TEST(ProgramThreadsAtExit, StuckWorkDoesNotHoldTheHookAndQueuesWorkAfterIt) {
    auto serial = DispatchQueue::serial("exit.after");
    std::mutex mutex;
    std::condition_variable changed;
    bool running = false, release = false;
    serial->async([&] {
        std::unique_lock lock(mutex);
        running = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    dispatch_async(dispatch_get_global_queue(), [] {});
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return running; });
    }
    // The pool's idle threads end; the stuck block's worker is left when the short wait is over.
    ProgramThreads::endAll(0.05);
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    DispatchQueue::waitUntilBackgroundIdle();

    // The hook's stop was for the threads of its time: later work starts threads of its own.
    int ran = 0;
    serial->sync([&] { ++ran; });
    std::promise<void> pooled;
    dispatch_async(dispatch_get_global_queue(), [&] { pooled.set_value(); });
    pooled.get_future().wait();
    EXPECT_EQ(ran, 1);
    DispatchQueue::waitUntilBackgroundIdle();
    ProgramThreads::endAll();
    EXPECT_EQ(ProgramThreads::count(), 0u);
}
