// The display's reading thread.
#include "platform/host/x_reader.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>

// Last: the X headers define plain names as macros.
#include <X11/Xlib.h>

namespace xdisplay {
namespace {
// How long the reading waits on a silent connection before it looks again: a request's answer
// may have brought events that the connection's library holds without the socket showing more.
constexpr int kLookAgainMs = 20;
}  // namespace

XReader::XReader(_XDisplay* display, Waiting waiting)
    : display_(display), waiting_(waiting), stopFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    thread_ = std::thread([this] { run(); });
}

XReader::~XReader() {
    stopping_.store(true);
    if (stopFd_ >= 0) {
        const std::uint64_t one = 1;
        ssize_t ignored = ::write(stopFd_, &one, sizeof one);
        (void)ignored;
    }
    if (thread_.joinable()) thread_.join();
    if (stopFd_ >= 0) ::close(stopFd_);
}

void XReader::run() {
    pollfd watched[2] = {{ConnectionNumber(display_), POLLIN, 0}, {stopFd_, POLLIN, 0}};
    while (!stopping_.load()) {
        ::poll(watched, stopFd_ >= 0 ? 2 : 1, kLookAgainMs);
        if (stopping_.load()) break;
        // Reads all the connection holds, through the converters (the display is locked meanwhile).
        XEventsQueued(display_, QueuedAfterReading);
        readings_.fetch_add(1);
        bool left = false;
        XLockDisplay(display_);
        left = XEventsQueued(display_, QueuedAlready) > 0 || (waiting_ && waiting_(display_));
        XUnlockDisplay(display_);
        if (left) wake();
        // A broken connection reads as nothing from here on: the main thread hears of it.
        if (watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            wake();
            break;
        }
    }
}

bool XReader::wait(double seconds) {
    std::unique_lock hold(lock_);
    woken_.wait_for(hold, std::chrono::duration<double>(seconds), [this] { return ready_; });
    const bool ready = ready_;
    ready_ = false;
    return ready;
}

void XReader::wake() {
    {
        std::lock_guard hold(lock_);
        ready_ = true;
    }
    woken_.notify_all();
}

}  // namespace xdisplay
