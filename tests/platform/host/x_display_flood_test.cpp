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

double secondsSince(Steady::time_point from) {
    return std::chrono::duration<double>(Steady::now() - from).count();
}

// How long the sender goes on at most, and how many it sends: far past the bounds below, so that a
// loop that takes the key or the end only once the sender stops fails them, and yet always ends.
constexpr double kSendingLongest = 45;
constexpr long kSendingMost = 200'000'000;
// Sent before the key is pressed: many turns' share.
constexpr long kSentBeforeKey = 20'000;
constexpr double kKeyWithin = 15;
constexpr double kEndWithin = ProgramEnding::kGraceSeconds;

// Another client on a thread of its own that sends the window Expose and ConfigureNotify (with the
// window's size, somewhere else) without pause, and presses the volume key through the X test
// extension once a share of them is sent. Its connections are its own: the test's thread never
// waits on them but to join it, which stop() makes quick however far behind the server is.
class EndlessSender {
public:
    EndlessSender(Window window, int width, int height) : window_(window), width_(width), height_(height) {}
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
    // When the key was pressed; nothing while it was not.
    std::optional<Steady::time_point> keyPressed() const {
        std::lock_guard<std::mutex> hold(lock_);
        return keyPressed_;
    }
    long sent() const { return sent_; }

private:
    void send() {
        const Steady::time_point began = Steady::now();
        std::array<std::uint8_t, 32> expose{}, configure{};
        expose[0] = Expose;
        put<std::uint32_t>(expose, 4, static_cast<std::uint32_t>(window_));
        put<std::uint16_t>(expose, 12, static_cast<std::uint16_t>(width_));
        put<std::uint16_t>(expose, 14, static_cast<std::uint16_t>(height_));
        configure[0] = ConfigureNotify;
        put<std::uint32_t>(configure, 4, static_cast<std::uint32_t>(window_));
        put<std::uint32_t>(configure, 8, static_cast<std::uint32_t>(window_));
        put<std::int16_t>(configure, 16, 5);
        put<std::uint16_t>(configure, 20, static_cast<std::uint16_t>(width_));
        put<std::uint16_t>(configure, 22, static_cast<std::uint16_t>(height_));
        for (long n = 0; !stopping_ && n < kSendingMost; ++n) {
            const auto& bytes = n % 2 ? configure : expose;
            xcb_send_event(connection_, 0, static_cast<xcb_window_t>(window_), 0,
                           reinterpret_cast<const char*>(bytes.data()));
            sent_ = n + 1;
            if (n % 1000 != 999) continue;
            // Each thousand in the server's hands before the next: the sender goes as fast as the
            // server takes its requests.
            std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
            if (xcb_connection_has_error(connection_) || secondsSince(began) > kSendingLongest) break;
            if (n + 1 == kSentBeforeKey) pressKey();
        }
    }
    void pressKey() {
        Display* keyboard = XOpenDisplay(nullptr);
        if (!keyboard) return;
        {
            std::lock_guard<std::mutex> hold(lock_);
            keyPressed_ = Steady::now();
        }
        XSetInputFocus(keyboard, window_, RevertToPointerRoot, CurrentTime);
        const KeyCode code = XKeysymToKeycode(keyboard, XK_KP_Add);
        XTestFakeKeyEvent(keyboard, code, True, CurrentTime);
        XTestFakeKeyEvent(keyboard, code, False, CurrentTime);
        XCloseDisplay(keyboard);
    }
    template <typename T>
    static void put(std::array<std::uint8_t, 32>& bytes, std::size_t at, T value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }

    const Window window_;
    const int width_, height_;
    xcb_connection_t* connection_ = xcb_connect(nullptr, nullptr);
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<long> sent_{0};
    mutable std::mutex lock_;
    std::optional<Steady::time_point> keyPressed_;
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

// Ends the process with a word if the loop is still running after `seconds`: a loop that never
// returns fails the case instead of holding the test program.
class Watchdog {
public:
    explicit Watchdog(double seconds)
        : thread_([this, seconds] {
              std::unique_lock<std::mutex> hold(lock_);
              if (!done_.wait_for(hold, std::chrono::duration<double>(seconds), [this] { return finished_; })) {
                  std::fprintf(stderr, "the loop did not end within %.0f s\n", seconds);
                  ::_exit(3);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }

private:
    std::mutex lock_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace

// The sender starts once the loop has run a turn and goes on sending until the loop has ended. The
// case runs in a process of its own: the window is left to the server behind all that was sent.
TEST_F(WindowHostOnX, AClientThatNeverStopsSendingLeavesTheKeyAndTheEndTheirTurn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto flooded = [this] {
        TermHeard term;
        auto key = std::make_shared<KeyEndsTheLoop>();
        host->setEventSink(key);
        const auto [x, y, w, h] = placed();
        EndlessSender sender(xwindow, w, h);
        // The keyboard the key comes from, and the focus, taken before the sender starts: the video
        // system answers each change of them with a request that waits for the server's answer.
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
        const double keyTook =
            pressed && key->heard ? std::chrono::duration<double>(*key->heard - *pressed).count() : -1;
        const double endTook = key->heard ? std::chrono::duration<double>(ended - *key->heard).count() : -1;
        std::fprintf(stderr, "sent %ld; key taken after %.2f s, the loop ended %.2f s after\n", sender.sent(), keyTook,
                     endTook);
        const bool ok = status == 0 && pressed && key->heard && keyTook < kKeyWithin && endTook < kEndWithin;
        ::_exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(flooded(), ::testing::ExitedWithCode(0), "");
}
