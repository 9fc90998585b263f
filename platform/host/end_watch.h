// The end's own bound: once the end is asked for, the process ends within a set time whatever its
// main thread waits on (a display that stopped answering, another client holding the server). A
// thread of its own that touches nothing but a semaphore, the clock and _exit: no display, no
// lock another thread may hold for long. Arming it is async-signal-safe.
#pragma once

#include <cstddef>
#include <optional>

namespace endwatch {

// Writes `text` to standard error only where it fits at once, and never waits: a pipe nobody reads
// any more or a paused terminal takes nothing (a line of up to a pipe's atomic size is written whole
// or not at all). The end says its last words this way, so that no reader can hold it.
// Async-signal-safe.
void sayAtOnce(const char* text, std::size_t length);

// Says, on standard error (by sayAtOnce), what the bound cuts off, just before the process ends.
// Called on the watch's thread: it may allocate nothing and wait on no lock for long.
using LastWords = void (*)();

// Starts the watch's thread, once for the process, and returns once it watches (a bound armed from
// then on wakes it); later calls do nothing. `lastWords` (if any) is said when a bound ends the process.
void start(LastWords lastWords = nullptr);

// The process ends with `status` `seconds` from now, unless it ends first. A later bound than one
// already armed changes nothing; an earlier one takes its place and keeps the first status.
// Async-signal-safe.
void arm(int status, double seconds);

// The seconds left before the watch ends the process; none while the watch is not started or not
// armed.
std::optional<double> secondsLeft();

// Nothing armed (tests).
void disarmForTesting();

}  // namespace endwatch
