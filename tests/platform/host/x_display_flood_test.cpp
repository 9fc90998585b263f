// A client that never stops sending the window exposures and moves: the key the user presses while
// it sends is taken within a few seconds, and the end asked then ends the loop within its grace, not
// when the sender stops.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "tests/platform/host/window_host_on_x.h"

// Last: the X headers define plain names as macros.
#include <X11/Xatom.h>

namespace {

using Steady = std::chrono::steady_clock;

double secondsBetween(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The sender goes on until stopped, or this long at most: far past the bounds below, so that the
// case always ends, and a loop that takes the key or the end only once the sender stops fails it.
constexpr double kSendingLongest = 45;
// Sent before the key is pressed: many turns' share.
constexpr long kSentBeforeKey = 20'000;
// How fast the sender sends at most: many times a turn's share each turn. It also waits while the
// window's connection holds more than a few thousand events it has not read: a sender faster than
// the reading can drop is one the reading never gets to the end of, the machine's speed and not
// what this case is about.
constexpr double kSentASecond = 100'000;
constexpr int kUnreadMost = 32 * 2000;
constexpr double kKeyWithin = 15;
constexpr double kEndWithin = ProgramEnding::kGraceSeconds;

// Another client, on a thread of its own, that sends the window Expose and ConfigureNotify (the
// window's size, somewhere else) without end at a steady rate, each thousand once the server has
// the last and the window's connection (`unread`) holds no more than a few thousand, and
// presses the volume key through the X test extension once some are sent. Its connections are its
// own: the test's thread waits on it only to join it, which stop() makes quick however far behind
// the server is.
class EndlessSender {
public:
    EndlessSender(Window window, int width, int height, int unread) : window_(window), unread_(unread) {
        expose_[0] = Expose;
        put(expose_, 4, static_cast<std::uint32_t>(window));
        put(expose_, 12, static_cast<std::uint16_t>(width));
        put(expose_, 14, static_cast<std::uint16_t>(height));
        configure_[0] = ConfigureNotify;
        put(configure_, 4, static_cast<std::uint32_t>(window));
        put(configure_, 8, static_cast<std::uint32_t>(window));
        put(configure_, 16, static_cast<std::int16_t>(5));
        put(configure_, 20, static_cast<std::uint16_t>(width));
        put(configure_, 22, static_cast<std::uint16_t>(height));
    }
    ~EndlessSender() { stop(); }
    void start() {
        if (!thread_.joinable()) thread_ = std::thread([this] { send(); });
    }
    void stop() {
        stopping_ = true;
        if (connection_) ::shutdown(xcb_get_file_descriptor(connection_), SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        if (connection_) xcb_disconnect(connection_);
        connection_ = nullptr;
    }
    // When the key was pressed (nothing while it was not), and how many were sent.
    std::optional<Steady::time_point> keyPressed() const {
        const auto at = keyPressed_.load();
        return at ? std::optional(Steady::time_point(Steady::duration(at))) : std::nullopt;
    }
    long sent() const { return sent_; }

private:
    using Wire = std::array<std::uint8_t, 32>;
    template <typename T>
    static void put(Wire& bytes, std::size_t at, T value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }
    void send() {
        const Steady::time_point began = Steady::now();
        for (long n = 1; !stopping_; ++n) {
            const Wire& bytes = n % 2 ? configure_ : expose_;
            xcb_send_event(connection_, 0, static_cast<xcb_window_t>(window_), 0,
                           reinterpret_cast<const char*>(bytes.data()));
            sent_ = n;
            if (n % 1000) continue;
            std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
            if (xcb_connection_has_error(connection_) || secondsBetween(began, Steady::now()) > kSendingLongest) break;
            if (n == kSentBeforeKey) pressKey();
            std::this_thread::sleep_until(
                began + std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(n / kSentASecond)));
            while (!stopping_ && unreadOnTheWindow() > kUnreadMost &&
                   secondsBetween(began, Steady::now()) <= kSendingLongest)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // What the server has written to the window's connection that the window has not read.
    int unreadOnTheWindow() const {
        int bytes = 0;
        return ::ioctl(unread_, FIONREAD, &bytes) == 0 ? bytes : 0;
    }
    void pressKey() {
        Display* keyboard = XOpenDisplay(nullptr);
        if (!keyboard) return;
        keyPressed_ = Steady::now().time_since_epoch().count();
        const KeyCode code = XKeysymToKeycode(keyboard, XK_KP_Add);
        XTestFakeKeyEvent(keyboard, code, True, CurrentTime);
        XTestFakeKeyEvent(keyboard, code, False, CurrentTime);
        XCloseDisplay(keyboard);
    }

    const Window window_;
    const int unread_;
    Wire expose_{}, configure_{};
    xcb_connection_t* connection_ = xcb_connect(nullptr, nullptr);
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<long> sent_{0};
    std::atomic<Steady::rep> keyPressed_{0};
};

// Another client, on a thread of its own, that changes the window's state property without end at a
// steady rate, each thousand once the server has the last: each change makes the server send the
// window a real event, which the video system answers with round trips of its own. Once some are
// made it presses the volume key through the X test extension and, if asked to, asks for the end
// as soon as the server has the key.
class PropertyStorm {
public:
    PropertyStorm(Window window, bool endAfterKey) : window_(window), endAfterKey_(endAfterKey) {}
    ~PropertyStorm() { stop(); }
    void start() {
        if (!thread_.joinable()) thread_ = std::thread([this] { change(); });
    }
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::optional<Steady::time_point> keyPressed() const {
        const auto at = keyPressed_.load();
        return at ? std::optional(Steady::time_point(Steady::duration(at))) : std::nullopt;
    }
    long made() const { return made_; }

private:
    void change() {
        Display* other = XOpenDisplay(nullptr);
        if (!other) return;
        const Atom state = XInternAtom(other, "_NET_WM_STATE", False);
        const Atom above = XInternAtom(other, "_NET_WM_STATE_ABOVE", False);
        const Steady::time_point began = Steady::now();
        for (long n = 1; !stopping_; ++n) {
            XChangeProperty(other, window_, state, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&above), n % 2);
            made_ = n;
            if (n % 1000) continue;
            XSync(other, False);
            if (secondsBetween(began, Steady::now()) > kSendingLongest) break;
            if (n == kSentBeforeKey) pressKey(other);
            std::this_thread::sleep_until(began + std::chrono::duration_cast<Steady::duration>(
                                                      std::chrono::duration<double>(n / kChangesASecond)));
        }
        XCloseDisplay(other);
    }
    void pressKey(Display* other) {
        const KeyCode code = XKeysymToKeycode(other, XK_KP_Add);
        // Before the key goes out: the window may take it before the server's answer comes back.
        keyPressed_ = Steady::now().time_since_epoch().count();
        XTestFakeKeyEvent(other, code, True, CurrentTime);
        XTestFakeKeyEvent(other, code, False, CurrentTime);
        XSync(other, False);
        if (endAfterKey_) ::kill(::getpid(), SIGTERM);
    }
    // As fast as the server makes them on a busy machine, and many turns' share each turn.
    static constexpr double kChangesASecond = 50'000;

    const Window window_;
    const bool endAfterKey_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<long> made_{0};
    std::atomic<Steady::rep> keyPressed_{0};
};

// The volume key's press and when it was heard.
struct KeyHeard : HostEventSink {
    std::optional<Steady::time_point> heard;
    void buttonEvent(HostButton button, bool pressed, std::optional<double>) override {
        if (button == HostButton::VolumeUp && pressed && !heard) heard = Steady::now();
    }
};

// The volume key's press, when it was heard, and the end asked at it as SIGTERM asks.
struct KeyEndsTheLoop : HostEventSink {
    std::optional<Steady::time_point> heard;
    void buttonEvent(HostButton button, bool pressed, std::optional<double>) override {
        if (button != HostButton::VolumeUp || !pressed || heard) return;
        heard = Steady::now();
        ::raise(SIGTERM);
    }
};

// Ends the process with a word unless done() came within `seconds`: a loop that never returns
// fails the case instead of holding the test program.
class Watchdog {
public:
    explicit Watchdog(double seconds)
        : thread_([this, seconds] {
              std::unique_lock<std::mutex> hold(lock_);
              if (changed_.wait_for(hold, std::chrono::duration<double>(seconds), [this] { return done_; })) return;
              std::fprintf(stderr, "the loop did not end within %.0f s\n", seconds);
              ::_exit(3);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread thread_;
};

// What a loop run beside a flood came to: its status and end, whether the display was flooded as
// it ended, and whether letting the window go then asked the server for anything.
struct BesideTheFlood {
    int status = -1;
    Steady::time_point ended;
    bool flooded = false;
    bool askedNothing = false;
};

// Runs the loop while `source` floods the window, from the loop's first turn on, then lets the
// window go. The focus, and the keyboard the key comes from, are taken before the source starts:
// the video system answers a change of either with a request that waits for the server's answer.
template <typename Source>
BesideTheFlood runBeside(Source& source, std::unique_ptr<WindowHost>& host, Display* display, Display* other,
                         Window xwindow) {
    XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
    const KeyCode shift = XKeysymToKeycode(other, XK_Shift_L);
    XTestFakeKeyEvent(other, shift, True, CurrentTime);
    XTestFakeKeyEvent(other, shift, False, CurrentTime);
    XSync(other, False);
    auto start = NSTimer::scheduledTimer(0, false, [&source](const std::shared_ptr<NSTimer>&) { source.start(); });
    BesideTheFlood run;
    {
        Watchdog watchdog(kSendingLongest + 3 * kEndWithin);
        run.status = host->run();
    }
    run.ended = Steady::now();
    start->invalidate();
    run.flooded = xdisplay::flooded();
    const unsigned long requests = NextRequest(display);
    {
        Watchdog watchdog(kEndWithin);
        host.reset();
    }
    // A window no longer flooded is torn down, its display with it.
    run.askedNothing = run.flooded && NextRequest(display) == requests;
    return run;
}

}  // namespace

// The sender starts once the loop has run a turn and goes on until the loop has ended. The case
// runs in a process of its own: the window is left to the server behind all that was sent.
TEST_F(WindowHostOnX, AClientThatNeverStopsSendingLeavesTheKeyAndTheEndTheirTurn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto flooded = [this] {
        TermHeard term;
        auto key = std::make_shared<KeyEndsTheLoop>();
        host->setEventSink(key);
        const auto [x, y, w, h] = placed();
        EndlessSender sender(xwindow, w, h, ConnectionNumber(display));
        // The window is let go while the sender still sends: its teardown, which would wait for the
        // server behind all the flood left, asks the server for nothing.
        const auto [status, ended, flooded, askedNothing] = runBeside(sender, host, display, other, xwindow);
        const auto pressed = sender.keyPressed();
        sender.stop();
        const double keyTook = pressed && key->heard ? secondsBetween(*pressed, *key->heard) : -1;
        const double endTook = key->heard ? secondsBetween(*key->heard, ended) : -1;
        std::fprintf(
            stderr, "sent %ld; the key taken after %.2f s, the loop ended %.2f s after; flooded %d, asked nothing %d\n",
            sender.sent(), keyTook, endTook, flooded, askedNothing);
        ::_exit(status == 0 && keyTook >= 0 && keyTook < kKeyWithin && endTook >= 0 && endTook < kEndWithin &&
                        flooded && askedNothing
                    ? 0
                    : 1);
    };
    EXPECT_EXIT(flooded(), ::testing::ExitedWithCode(0), "");
}

// A storm of the window's state changes another client makes (the window does not ask to hear
// them, so the server sends it nothing): the key pressed while it lasts is taken within a few
// seconds; a key the server has just before the end is asked is taken before the loop ends; the
// end comes within its grace whatever the storm; and a window still flooded is let go asking the
// server for nothing.
TEST_F(WindowHostOnX, AStormTheServerSendsLeavesTheKeyAndTheEndTheirTurn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (bool endAfterKey : {false, true}) {
        SCOPED_TRACE(endAfterKey ? "the end asked right after the key" : "the end asked at the key");
        auto stormed = [this, endAfterKey] {
            TermHeard term;
            auto key = std::make_shared<KeyHeard>();
            auto keyEnds = std::make_shared<KeyEndsTheLoop>();
            if (endAfterKey)
                host->setEventSink(key);
            else
                host->setEventSink(keyEnds);
            PropertyStorm storm(xwindow, endAfterKey);
            const auto [status, ended, flooded, askedNothing] = runBeside(storm, host, display, other, xwindow);
            const auto pressed = storm.keyPressed();
            storm.stop();
            const auto heard = endAfterKey ? key->heard : keyEnds->heard;
            const double keyTook = pressed && heard ? secondsBetween(*pressed, *heard) : -1;
            const double endTook = pressed ? secondsBetween(*pressed, ended) : -1;
            std::fprintf(stderr, "made %ld; the key taken after %.2f s, the loop ended %.2f s after the key\n",
                         storm.made(), keyTook, endTook);
            ::_exit(status == 0 && keyTook >= 0 && keyTook < kKeyWithin && endTook >= 0 &&
                            endTook < kKeyWithin + kEndWithin && (!flooded || askedNothing)
                        ? 0
                        : 1);
        };
        EXPECT_EXIT(stormed(), ::testing::ExitedWithCode(0), "");
    }
}
