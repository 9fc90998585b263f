// The one clock all time in the process reads: timers, delayed calls, dispatch_after, animation
// and media time. Real (monotonic) by default; tests switch it to a virtual clock that only moves
// when told to. Thread-safe.
#pragma once

#include <functional>

class Clock {
public:
    // Seconds on the monotonic (or virtual) time line; only differences are meaningful.
    static double now();
    // Wall time in seconds since 2001-01-01 00:00:00 UTC. Under the virtual clock it starts at a
    // fixed date and moves with the virtual time.
    static double absoluteTime();

    static bool isVirtual();
    // Switches to a virtual clock standing at `start`, whose wall time is `absoluteStart`
    // (default 2026-01-01 00:00:00 UTC).
    static void useVirtual(double start = 1000.0, double absoluteStart = 788918400.0);
    static void useReal();

    // Moves the virtual time forward (never backwards; ignored on the real clock) without running
    // anything on the main run loop; delayed work on background queues that falls due is released.
    // Tests normally step with RunLoop::advance(), which fires main-thread timers in order as well.
    static void setVirtualNow(double t);
    static void advanceVirtual(double seconds);

    // Called (outside the clock's lock) after each move of the virtual time, with the new time.
    // The dispatch module installs the one listener that releases delayed background work.
    static void setVirtualTimeListener(std::function<void(double)> listener);
};

// The platform's spellings.
double CACurrentMediaTime();
double CFAbsoluteTimeGetCurrent();
