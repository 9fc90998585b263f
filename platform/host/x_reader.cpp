// The display's reading thread.
#include "platform/host/x_reader.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Last: the X headers define plain names as macros.
#include <X11/Xlib.h>

namespace xdisplay {
namespace {
// How long the reading waits on a silent connection before it looks again: a request's answer
// may have brought events that the connection's library holds without the socket showing more.
constexpr int kLookAgainMs = 20;
std::atomic<int> gLeftBehind{0};
}  // namespace

struct XReader::State {
    _XDisplay* display = nullptr;
    Prepare prepare = nullptr;
    Waiting waiting = nullptr;
    // Written to stop the reading's wait on the connection.
    int stopFd = -1;
    std::atomic<bool> stopping{false};
    std::mutex lock;
    std::condition_variable changed;
    bool ready = false;
    bool finished = false;
    bool leftBehind = false;

    void run();
    void wake() {
        {
            std::lock_guard hold(lock);
            ready = true;
        }
        changed.notify_all();
    }
};

void XReader::State::run() {
    pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopFd, POLLIN, 0}};
    while (!stopping.load()) {
        ::poll(watched, stopFd >= 0 ? 2 : 1, kLookAgainMs);
        if (stopping.load()) break;
        // Reads all the connection holds, through the converters.
        XLockDisplay(display);
        if (prepare) prepare(display);
        XEventsQueued(display, QueuedAfterReading);
        const bool left = XEventsQueued(display, QueuedAlready) > 0 || (waiting && waiting(display));
        XUnlockDisplay(display);
        if (left) wake();
        // A broken connection reads as nothing from here on: the main thread hears of it.
        if (watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            wake();
            break;
        }
    }
    std::lock_guard hold(lock);
    finished = true;
    if (leftBehind) gLeftBehind.fetch_sub(1);
    changed.notify_all();
}

XReader::XReader(_XDisplay* display, Prepare prepare, Waiting waiting) : state_(std::make_shared<State>()) {
    state_->display = display;
    state_->prepare = prepare;
    state_->waiting = waiting;
    state_->stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::thread([state = state_] { state->run(); }).detach();
}

XReader::~XReader() {
    // Long enough for any reading of a connection whose server answers.
    if (!stopped_) stop(1);
}

bool XReader::stop(double seconds) {
    stopped_ = true;
    State& s = *state_;
    s.stopping.store(true);
    if (s.stopFd >= 0) {
        const std::uint64_t one = 1;
        ssize_t ignored = ::write(s.stopFd, &one, sizeof one);
        (void)ignored;
    }
    std::unique_lock hold(s.lock);
    if (s.changed.wait_for(hold, std::chrono::duration<double>(seconds), [&] { return s.finished; })) {
        if (s.stopFd >= 0) ::close(s.stopFd);
        s.stopFd = -1;
        return true;
    }
    s.leftBehind = true;
    gLeftBehind.fetch_add(1);
    return false;
}

int XReader::leftBehind() {
    return gLeftBehind.load();
}

bool XReader::wait(double seconds) {
    State& s = *state_;
    std::unique_lock hold(s.lock);
    s.changed.wait_for(hold, std::chrono::duration<double>(seconds), [&] { return s.ready; });
    const bool ready = s.ready;
    s.ready = false;
    return ready;
}

void XReader::wake() {
    state_->wake();
}

}  // namespace xdisplay
