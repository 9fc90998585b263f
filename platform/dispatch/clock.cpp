// The process clock: monotonic real time or a virtual time line that tests move.
#include "platform/dispatch/clock.h"

#include <chrono>
#include <mutex>

#include "platform/dispatch/delayed_work.h"
#include "platform/dispatch/run_loop.h"

namespace {

constexpr double kUnixToReference = 978307200.0;  // seconds from 1970 to 2001

struct ClockState {
    std::mutex mutex;
    bool isVirtual = false;
    double virtualNow = 0;
    double virtualStart = 0;
    double absoluteStart = 0;
    std::function<void(double)> listener;
};

ClockState& state() {
    static ClockState* s = new ClockState;
    return *s;
}

double realNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

double Clock::now() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    return s.isVirtual ? s.virtualNow : realNow();
}

double Clock::absoluteTime() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.isVirtual) return s.absoluteStart + (s.virtualNow - s.virtualStart);
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() -
           kUnixToReference;
}

bool Clock::isVirtual() {
    std::lock_guard lock(state().mutex);
    return state().isVirtual;
}

void Clock::useVirtual(double start, double absoluteStart) {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    s.isVirtual = true;
    s.virtualNow = s.virtualStart = start;
    s.absoluteStart = absoluteStart;
}

void Clock::useReal() {
    {
        std::lock_guard lock(state().mutex);
        state().isVirtual = false;
    }
    // Delayed work and a waiting run loop re-read the clock.
    delayedWorkClockChanged();
    RunLoop::main().wakeUp();
}

void Clock::setVirtualNow(double t) {
    ClockState& s = state();
    std::function<void(double)> listener;
    {
        std::lock_guard lock(s.mutex);
        if (!s.isVirtual || t <= s.virtualNow) return;
        s.virtualNow = t;
        listener = s.listener;
    }
    delayedWorkClockChanged();
    RunLoop::main().wakeUp();
    if (listener) listener(t);
}

void Clock::advanceVirtual(double seconds) {
    if (seconds > 0) setVirtualNow(now() + seconds);
}

void Clock::setVirtualTimeListener(std::function<void(double)> listener) {
    std::lock_guard lock(state().mutex);
    state().listener = std::move(listener);
}

double CACurrentMediaTime() {
    return Clock::now();
}

double CFAbsoluteTimeGetCurrent() {
    return Clock::absoluteTime();
}
