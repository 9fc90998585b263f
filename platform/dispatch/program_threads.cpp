// The list of the program's threads and the exit hook that stops and joins them.
#include "platform/dispatch/program_threads.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

namespace {

struct Entry {
    ProgramThreads::Body body;
    std::function<void()> wake;
    ProgramThreads::AtExit atExit;
    ProgramThreads::Stop stop;
    pthread_t thread{};
    bool ended = false;  // the body has returned; guarded by Registry::mutex
};

struct Registry {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<std::shared_ptr<Entry>> running;  // started and not yet joined
    // Threads the exit hook found ended. Their bodies are kept: what a thread asked to stop left
    // undone (a queue's waiting blocks) is not torn down while the process ends.
    std::vector<std::shared_ptr<Entry>> endedAtExit;
    pid_t pid = ::getpid();
};

Registry& registry() {
    // Never destroyed: threads report their end to it while the process exits.
    static Registry* r = new Registry;
    return *r;
}

void* runEntry(void* arg) {
    auto* e = static_cast<Entry*>(arg);
    e->body(e->stop);
    // A thread that ended by itself lets go of what its body held at once, on its own thread.
    if (!e->stop.requested()) e->body = nullptr;
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        e->ended = true;
    }
    r.ended.notify_all();
    return nullptr;
}

// Joins the threads that have ended by now, without waiting for any.
void reapLocked(Registry& r) {
    std::erase_if(r.running, [](const std::shared_ptr<Entry>& e) {
        return e->ended && ::pthread_tryjoin_np(e->thread, nullptr) == 0;
    });
}

timespec realtimeIn(double seconds) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const double whole = std::floor(seconds);
    now.tv_sec += static_cast<time_t>(whole);
    now.tv_nsec += static_cast<long>((seconds - whole) * 1e9);
    if (now.tv_nsec >= 1000000000L) {
        now.tv_sec += 1;
        now.tv_nsec -= 1000000000L;
    }
    return now;
}

// The exit hook, run from the main thread's thread_local destructors: exit() runs those before the
// handlers registered with atexit and before static objects are destroyed, so the threads end
// while all they use is still there (a library's exit handler may tear down the per-thread state
// it frees when a thread ends).
struct EndWithTheMainThread {
    ~EndWithTheMainThread() {
        if (::gettid() == ::getpid()) ProgramThreads::endAll();
    }
};

void installExitHook() {
    // Should the process end from another thread than the main one, the hook runs among the
    // atexit handlers, still before the sanitizers' leak check, which was registered before it.
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit([] { ProgramThreads::endAll(); }); });
    if (::gettid() == ::getpid()) {
        thread_local EndWithTheMainThread armed;
        (void)armed;
    }
}

}  // namespace

void ProgramThreads::start(Body body, AtExit atExit, std::function<void()> wake) {
    installExitHook();
    auto e = std::make_shared<Entry>();
    e->body = std::move(body);
    e->wake = std::move(wake);
    e->atExit = atExit;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    reapLocked(r);
    if (int failed = ::pthread_create(&e->thread, nullptr, runEntry, e.get()))
        throw std::system_error(failed, std::generic_category(), "cannot start a thread");
    r.running.push_back(std::move(e));
}

void ProgramThreads::endAll(double seconds) {
    Registry& r = registry();
    // A forked child exiting: the threads in the list are its parent's.
    if (::getpid() != r.pid) return;
    const pthread_t self = ::pthread_self();
    std::vector<std::shared_ptr<Entry>> asked;
    {
        std::lock_guard lock(r.mutex);
        for (const auto& e : r.running) {
            if (e->ended || e->atExit != AtExit::Stop || ::pthread_equal(e->thread, self)) continue;
            e->stop.requested_.store(true, std::memory_order_release);
            asked.push_back(e);
        }
    }
    // Outside the list's lock: a wake takes the lock the thread waits under, which a thread may
    // hold while it starts another.
    for (const auto& e : asked)
        if (e->wake) e->wake();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::max(0.0, seconds));
    std::vector<std::shared_ptr<Entry>> ended;
    {
        std::unique_lock lock(r.mutex);
        r.ended.wait_until(lock, deadline, [&] {
            for (const auto& e : asked)
                if (!e->ended) return false;
            return true;
        });
        std::erase_if(r.running, [&](const std::shared_ptr<Entry>& e) {
            if (!e->ended || ::pthread_equal(e->thread, self)) return false;
            ended.push_back(e);
            return true;
        });
    }
    // An ended thread only has its thread_local destructors left to run; the wait stays bounded
    // all the same, and one that is not done by then is left to finish on its own.
    const timespec limit =
        realtimeIn(std::max(0.1, std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count()));
    for (const auto& e : ended)
        if (::pthread_timedjoin_np(e->thread, nullptr, &limit) != 0) ::pthread_detach(e->thread);
    std::lock_guard lock(r.mutex);
    for (auto& e : ended) r.endedAtExit.push_back(std::move(e));
}

std::size_t ProgramThreads::count() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.running.size();
}
