// Work that may never return (a display, a device or a file that does not answer) run on a thread
// of its own, with a time limit on the wait: the caller leaves the thread behind when the limit
// passes, and what the work returns after that is dropped. Such a thread cannot be stopped, so the
// process's exit leaves it too (ProgramThreads keeps the work reachable). Thread-safe.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/dispatch/program_threads.h"

// The work's result when it comes within `seconds` of real time; none otherwise. The work must
// own what it uses: it may outlive the caller.
template <class T>
std::optional<T> resultWithin(double seconds, std::function<T()> work) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> result;
    };
    auto shared = std::make_shared<Shared>();
    ProgramThreads::start(
        [shared, work = std::move(work)](const ProgramThreads::Stop&) {
            T result = work();
            std::lock_guard lock(shared->mutex);
            shared->result = std::move(result);
            shared->done.notify_all();
        },
        ProgramThreads::AtExit::Leave);
    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, std::chrono::duration<double>(std::max(0.0, seconds)),
                               [&] { return shared->result.has_value(); }))
        return std::nullopt;
    return std::move(shared->result);
}

// "did not answer within 4 s", as both such waits say it.
inline std::string didNotAnswerWithin(double seconds) {
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g", seconds);
    return std::string("did not answer within ") + limit + " s";
}
