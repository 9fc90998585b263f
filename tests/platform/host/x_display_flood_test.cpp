// A client that never stops sending the window exposures and moves: the key the user presses while
// it sends is taken within a few seconds, and the end asked then ends the loop within its grace, not
// when the sender stops.
#include <gtest/gtest.h>
#include <signal.h>
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
// How fast the sender sends: many times a turn's share each turn, yet within what the window reads
// and drops in a sanitized build on a busy machine (a sender faster than the reading can drop is
// one the reading never gets to the end of, the program's limit and not what this case is about).
constexpr double kSentASecond = 100'000;
constexpr double kKeyWithin = 15;
constexpr double kEndWithin = ProgramEnding::kGraceSeconds;

// Another client, on a thread of its own, that sends the window Expose and ConfigureNotify (the
// window's size, somewhere else) without end at a steady rate, each thousand once the server has
// the last, and
// presses the volume key through the X test extension once some are sent. Its connections are its
// own: the test's thread waits on it only to join it, which stop() makes quick however far behind
// the server is.
class EndlessSender {
public:
    EndlessSender(Window window, int width, int height) : window_(window) {
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
        }
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
    Wire expose_{}, configure_{};
    xcb_connection_t* connection_ = xcb_connect(nullptr, nullptr);
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<long> sent_{0};
    std::atomic<Steady::rep> keyPressed_{0};
};

// The volume key's press, when it was heard, and the end asked at it as SIGTERM asks.
struct KeyEndsTheLoop : HostEventSink {
    std::optional<Steady::time_point> heard;
    void buttonEvent(HostButton button, bool pressed) override {
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
        EndlessSender sender(xwindow, w, h);
        // The focus, and the keyboard the key comes from, taken before the sender starts: the video
        // system answers a change of either with a request that waits for the server's answer.
        XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
        const KeyCode shift = XKeysymToKeycode(other, XK_Shift_L);
        XTestFakeKeyEvent(other, shift, True, CurrentTime);
        XTestFakeKeyEvent(other, shift, False, CurrentTime);
        XSync(other, False);
        auto start = NSTimer::scheduledTimer(0, false, [&sender](const std::shared_ptr<NSTimer>&) { sender.start(); });
        int status = -1;
        {
            Watchdog watchdog(kSendingLongest + 3 * kEndWithin);
            status = host->run();
        }
        const Steady::time_point ended = Steady::now();
        start->invalidate();
        const auto pressed = sender.keyPressed();
        sender.stop();
        const double keyTook = pressed && key->heard ? secondsBetween(*pressed, *key->heard) : -1;
        const double endTook = key->heard ? secondsBetween(*key->heard, ended) : -1;
        std::fprintf(stderr, "sent %ld; the key taken after %.2f s, the loop ended %.2f s after\n", sender.sent(),
                     keyTook, endTook);
        ::_exit(status == 0 && keyTook >= 0 && keyTook < kKeyWithin && endTook >= 0 && endTook < kEndWithin ? 0 : 1);
    };
    EXPECT_EXIT(flooded(), ::testing::ExitedWithCode(0), "");
}
