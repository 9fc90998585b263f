// Runs the main run loop until a condition holds, letting background work (network replies)
// arrive in between. Gives up after `limit` seconds of real time, so that a broken test fails
// instead of hanging; no test relies on the time.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/dispatch/run_loop.h"

inline bool pumpMainUntil(const std::function<bool()>& done, double limit = 20.0) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit);
    while (true) {
        RunLoop::main().runUntilIdle();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
