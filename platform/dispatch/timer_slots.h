// Timer slots on the main run loop: a one-shot slot, where restarting replaces a pending fire and
// resetting cancels it, and its repeating twin. The owner passes a callback that holds it weakly,
// so a destroyed owner is never called back. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/runtime/weak_bind.h"

class NSTimer;

class OneShotTimer {
public:
    OneShotTimer() = default;
    OneShotTimer(const OneShotTimer&) = delete;
    OneShotTimer& operator=(const OneShotTimer&) = delete;
    ~OneShotTimer() { reset(); }

    void restart(double seconds, std::function<void()> tick);
    void reset();
    bool pending() const { return timer_ != nullptr; }
    // The pending timer, none when the slot is empty (for tests and diagnostics).
    const std::shared_ptr<NSTimer>& timer() const { return timer_; }

private:
    std::shared_ptr<NSTimer> timer_;
};

// The repeating twin: fires every `seconds` until reset or restarted.
class RepeatingTimer {
public:
    RepeatingTimer() = default;
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;
    ~RepeatingTimer() { reset(); }

    void restart(double seconds, std::function<void()> tick);
    // As restart, but firing in the common run-loop modes too, so it keeps going while a control
    // is tracked.
    void restartInCommonModes(double seconds, std::function<void()> tick);
    void reset();
    bool running() const { return timer_ != nullptr; }
    // The running timer, none when the slot is empty (for tests and diagnostics).
    const std::shared_ptr<NSTimer>& timer() const { return timer_; }

private:
    std::shared_ptr<NSTimer> timer_;
};
