// How the program ends. A quit, SIGTERM, SIGINT, SIGHUP (a closed terminal), the window's close,
// the window destroyed by another program and a display that is lost all take one road: the host's loop stops taking
// input, then the work the user started (each ExitHold: a photo being taken, an edit being saved) is finished on the
// main loop, the application hears that it terminates, and the queues' work finishes, all within one grace. What the
// grace still cuts off is named in the log.
//
//   Starting --the host's loop runs--> Running --the loop returns--> Ending
//
// A signal while Starting ends the process at once (nothing the user started can be under way,
// and the start may be waiting on a display that never answers); while Running it asks the loop
// to end; a second signal, at any time, ends the process at once. The grace runs from when the
// end was asked; once the end is guarded (guardTheEnd()), a watch of its own ends the process
// with the end's status when the grace runs out, whatever the main thread is waiting on (a
// display that stopped answering, say): it needs nothing from the display. Process-wide; the
// signal handlers are async-signal-safe, the watch has a thread of its own, everything else
// belongs to the main thread.
#pragma once

#include <optional>
#include <string>

class Host;

class ProgramEnding {
public:
    enum class Phase { Starting, Running, Ending };

    // How long the end waits for started work (a large photo's save takes a second or two on a
    // slow machine).
    static constexpr double kGraceSeconds = 10;
    // What finish() leaves of the grace for the window's teardown and the process's own end.
    static constexpr double kTeardownSeconds = 0.75;

    // Takes SIGTERM, SIGINT and SIGHUP from now on, but for SIGINT and SIGHUP when the process was
    // started with them ignored (as nohup and a shell's background job start it); a write to a
    // closed pipe or terminal fails instead of ending the process.
    static void installSignalHandlers();
    static Phase phase();
    // The host's loop takes input from now on.
    static void loopRunning();

    // What asked the loop to end from outside it: a signal (status 0, as a quit), a lost display or
    // a destroyed window (non-zero). None while nothing did.
    struct Request {
        int status = 0;
        std::string why;
    };
    static std::optional<Request> requested();
    // The loop was asked to end from inside it (the window's close) or is ending for `status`: the
    // grace runs from now unless a signal started it already, and the watch (if guarded) wakes.
    static void endAsked(int status);
    // When the end was asked, on the steady clock in seconds; none while it was not.
    static std::optional<double> askedAt();
    // What is left of the grace since the end was asked (all of it while it was not).
    static double secondsLeft(double grace = kGraceSeconds);
    // From now on the end is watched from a thread of its own (the program's, not tests'), with
    // `grace` from when it is asked.
    static void guardTheEnd(double grace = kGraceSeconds);
    // One turn of the main loop while the end waits: blocks and timers as they fall due.
    static void turnMainLoop();
    // The connection to `display` broke. Main thread. Once leave() has returned, only the
    // teardown is left, which would wait on the broken connection for ever: the process ends at
    // once with the status leave() returned.
    static void displayLost(const std::string& display);
    // Another program destroyed the window. Main thread.
    static void windowDestroyed();
    // The window's teardown would wait on a display that does not answer. Once leave() has
    // returned, the process ends here with the status leave() returned; before, nothing happens.
    static void teardownCannotWait();

    // The road after the loop: finishes what the user started and the queues' work, tells the
    // application it terminates when it ran in a window, and answers whether everything finished
    // within the grace, which runs from when the end was asked (less the room the window's
    // teardown takes) or else from now. Its first step (what was due when the loop ended) counts
    // against the grace too.
    static bool finish(Host& host, double grace = kGraceSeconds);

    // The status to return from main when everything finished. Otherwise work stuck past the
    // grace still uses what the process's static objects hold: the process ends here with `code`,
    // without tearing them down under it.
    static int leave(int code, bool finished);

    // Back to Starting with no request (tests).
    static void resetForTesting();
};
