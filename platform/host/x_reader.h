// Reads the window's display connection on a thread of its own, as fast as the server sends: what
// the connection's converters go on with, keep or drop is decided as each event is read, so the
// server never holds a backlog for the window while the main thread draws, runs its timers or
// waits on a request. The events that go on wait in the display's queue for the main thread,
// which the reader wakes. Made, woken and stopped on the main thread; the reading is its own.
#pragma once

#include <memory>

struct _XDisplay;

namespace xdisplay {

class XReader {
public:
    // Starts reading `display`. On the reader's thread, with the display held (XLockDisplay) so
    // that the main thread changes nothing meanwhile: `prepare` before each reading (the screen
    // goes in front of the converters again), and `waiting` after it says whether the main thread
    // has something to take.
    using Waiting = bool (*)(_XDisplay* display);
    using Prepare = void (*)(_XDisplay* display);
    XReader(_XDisplay* display, Prepare prepare, Waiting waiting);
    // Stops the reading (see stop()).
    ~XReader();
    XReader(const XReader&) = delete;
    XReader& operator=(const XReader&) = delete;

    // Waits until the reading leaves something for the main thread, wake() is called or
    // `seconds` pass; whether something was left or woken for.
    bool wait(double seconds);
    // Ends a wait() under way or the next one at once. Any thread.
    void wake();
    // Stops the reading, waiting at most `seconds` for it to finish what it reads now; whether it
    // did. A reading held by the display (a server that does not answer) is left behind with what
    // it uses, and reads nothing more once it is let go.
    bool stop(double seconds);
    // How many readings were left behind and have not finished yet (tests).
    static int leftBehind();

    struct State;

private:
    std::shared_ptr<State> state_;
    bool stopped_ = false;
};

}  // namespace xdisplay
