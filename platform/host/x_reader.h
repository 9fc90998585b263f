// Reads the window's display connection on a thread of its own, as fast as the server sends: what
// the connection's converters go on with, keep or drop is decided as each event is read, so the
// server never holds a backlog for the window while the main thread draws, runs its timers or
// waits on a request. The events that go on wait in the display's queue for the main thread,
// which the reader wakes. Made, woken and stopped on the main thread; the reading is its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

struct _XDisplay;

namespace xdisplay {

class XReader {
public:
    // Starts reading `display`; `waiting` (called on the reader's thread, display locked by the
    // X library's reading, so it may look at what the reading kept) says whether the main thread
    // has something to take after a reading.
    using Waiting = bool (*)(_XDisplay* display);
    XReader(_XDisplay* display, Waiting waiting);
    // Stops the reading and joins it: the reading never waits on the server.
    ~XReader();
    XReader(const XReader&) = delete;
    XReader& operator=(const XReader&) = delete;

    // Waits until the reading leaves something for the main thread, wake() is called or
    // `seconds` pass; whether something was left or woken for.
    bool wait(double seconds);
    // Ends a wait() under way or the next one at once. Any thread.
    void wake();
    // How many times the reading went through what the connection held (tests).
    long readings() const { return readings_.load(); }

private:
    void run();

    _XDisplay* display_;
    Waiting waiting_;
    // Written to stop the reading's wait on the connection.
    int stopFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<long> readings_{0};
    std::mutex lock_;
    std::condition_variable woken_;
    bool ready_ = false;
    std::thread thread_;
};

}  // namespace xdisplay
