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
// to end; a second signal, at any time, ends the process at once. Process-wide; the signal
// handlers are async-signal-safe, everything else belongs to the main thread.
//
// Where the program watches its end (watchTheEnd()), the end comes within kEndSeconds of its ask
// however long the main thread waits (on a display that stopped answering, say): a thread that
// needs nothing of the display ends the process then, with the end's status, naming the work it
// cuts off as the grace does.
#pragma once

#include <optional>
#include <string>

class Host;

class ProgramEnding {
public:
    enum class Phase { Starting, Running, Ending };

    // How long the end waits for started work at most (a large photo's save takes a second or two
    // on a slow machine); where the end is watched, the grace ends half a second before its bound.
    static constexpr double kGraceSeconds = 10;
    // How long from the ask (a signal, the window's close, a lost display) the end may take in all:
    // within the ten seconds the program promises, with a second and a half left for a busy machine
    // to run the watch and take down a process of several hundred megabytes.
    static constexpr double kEndSeconds = 8.5;

    // From now on each ask for the end also starts the bound of `seconds` (the process's teardown
    // included); the road after the loop starts it where nothing asked and the window's loop ended
    // (on a quit).
    static void watchTheEnd(double seconds = kEndSeconds);

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
    // The connection to `display` broke. Main thread. Once leave() has returned, only the
    // teardown is left, which would wait on the broken connection for ever: the process ends at
    // once with the status leave() returned.
    static void displayLost(const std::string& display);
    // Another program destroyed the window. Main thread.
    static void windowDestroyed();
    // The window manager asked the window to close (as a quit: status 0). Main thread.
    static void windowClosed();

    // The road after the loop: finishes what the user started and the queues' work, tells the
    // application it terminates when it ran in a window, and answers whether everything finished
    // within the grace. Its first step (what was due when the loop ended) counts against the grace
    // too. Where the end is watched, the grace ends before the watch's bound does.
    static bool finish(Host& host, double grace = kGraceSeconds);

    // The status to return from main when everything finished. Otherwise work stuck past the
    // grace still uses what the process's static objects hold: the process ends here with `code`,
    // without tearing them down under it.
    static int leave(int code, bool finished);

    // Back to Starting with no request (tests).
    static void resetForTesting();
};
