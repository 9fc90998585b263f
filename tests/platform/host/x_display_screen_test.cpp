// What another client may send the window beyond the core events: extension events of every type
// with bytes of its own making, and the screen's outputs said to come and go, are taken by no
// library (nor is the screen put behind one that puts its converter in later, while the server's
// own events of that extension still reach it); the server's events past a turn's share wait for
// the turns after, none lost, and are all taken when the end is asked.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include "tests/platform/host/window_host_on_x.h"

// Last: the X headers define plain names as macros.
#include <X11/XKBlib.h>
#include <X11/Xlibint.h>
#include <X11/extensions/Xrandr.h>

namespace {

using Wire = std::array<std::uint8_t, 32>;

// Another client that sends events of any type as bytes (the X library sends only the types it
// knows); each is in the server's hands once the call is back.
struct ByteSender {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    ~ByteSender() { xcb_disconnect(connection); }
    void send(Window to, const Wire& bytes) {
        xcb_send_event(connection, 0, static_cast<xcb_window_t>(to), 0, reinterpret_cast<const char*>(bytes.data()));
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
};

template <typename T>
void put(Wire& bytes, std::size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// The clicks the host hands on; SIGTERM at the first press, or the loop's end at the volume key.
struct ClicksHeard : HostEventSink {
    std::vector<UITouchPhase> phases;
    bool endAtFirst = false;
    void touchEvent(const HostTouchEvent& e) override {
        for (const auto& t : e.touches) phases.push_back(t.phase);
        if (endAtFirst && phases.size() == 1) ::raise(SIGTERM);
    }
    void buttonEvent(HostButton, bool, std::optional<double>) override {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
};

}  // namespace

// Two thousand events of the extensions' types with random bytes, each type at least once: the key
// pressed after them is taken, and the window goes on and closes as it should.
TEST_F(WindowHostOnX, ExtensionEventsAnotherClientMadeUpAreTakenByNone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto buttons = std::make_shared<ButtonsHeard>();
            host->setEventSink(buttons);
            ByteSender sender;
            std::mt19937 random(96);
            for (int i = 0; i < 2000; ++i) {
                Wire bytes;
                for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
                bytes[0] = static_cast<std::uint8_t>(i < 64 ? 64 + i : 64 + random() % 64);
                sender.send(xwindow, bytes);
            }
            pressVolumeUpKey();
            const bool running = !endAfterRunning() && !xdisplay::gone();
            const bool taken = !buttons->heard.empty();
            host.reset();
            std::exit(running && taken ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The real output said to be gone and twenty made-up ones to have come: the video system's
// displays stay as they are, and its teardown finds them whole.
TEST_F(WindowHostOnX, OutputChangesAnotherClientSentChangeNoDisplay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int base = 0, errors = 0;
    ASSERT_TRUE(XRRQueryExtension(other, &base, &errors));
    XRRScreenResources* screen = XRRGetScreenResources(other, DefaultRootWindow(other));
    ASSERT_TRUE(screen && screen->noutput > 0);
    const RROutput real = screen->outputs[0];
    XRRFreeScreenResources(screen);
    const int displays = SDL_GetNumVideoDisplays();
    EXPECT_EXIT(
        {
            ByteSender sender;
            for (std::uint32_t output = 0; output <= 20; ++output) {
                Wire bytes{};
                bytes[0] = static_cast<std::uint8_t>(base + RRNotify);
                bytes[1] = RRNotify_OutputChange;
                put<std::uint32_t>(bytes, 12, static_cast<std::uint32_t>(xwindow));
                put<std::uint32_t>(bytes, 16, output == 0 ? static_cast<std::uint32_t>(real) : 0x7000 + output);
                bytes[30] = output == 0 ? RR_Disconnected : RR_Connected;
                sender.send(xwindow, bytes);
            }
            const bool running = !endAfterRunning() && SDL_GetNumVideoDisplays() == displays;
            host.reset();
            std::exit(running ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace {

// A library's converter for the keyboard extension's events, put in over the screen's where the
// case says, counting what it hears; and another client's made-up event of that type waiting on
// the display beside the server's own ones (the lock modifier set and cleared).
struct ConverterPutIn {
    static inline int sentHeard = 0, serverHeard = 0;
    int base = 0;
    explicit ConverterPutIn(Display* display) {
        int opcode = 0, errors = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        EXPECT_TRUE(XkbQueryExtension(display, &opcode, &base, &errors, &major, &minor));
        EXPECT_TRUE(XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                                          XkbAllStateComponentsMask));
        XSync(display, False);
        sentHeard = serverHeard = 0;
    }
    void putIn(Display* display) const {
        XESetWireToEvent(display, base, [](Display*, XEvent*, xEvent* wire) -> Bool {
            ++((wire->u.u.type & 0x80) ? sentHeard : serverHeard);
            return False;
        });
    }
    // Once the case's display has something to read (the server may pass them on a little later).
    void eventsWaiting(Display* display, Display* other, Window window) const {
        Wire made{};
        made[0] = static_cast<std::uint8_t>(base);
        made[1] = XkbStateNotify;
        ByteSender().send(window, made);
        XkbLockModifiers(other, XkbUseCoreKbd, LockMask, LockMask);
        XkbLockModifiers(other, XkbUseCoreKbd, LockMask, 0);
        XSync(other, False);
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        ::poll(&connection, 1, 10'000);
    }
    void putInWithEventsWaiting(Display* display, Display* other, Window window) const {
        putIn(display);
        eventsWaiting(display, other, window);
    }
    // The server's own events reached the converter, another client's made-up one did not.
    static bool heardTheServerAlone() { return sentHeard == 0 && serverHeard >= 1; }
};

}  // namespace

// A library that puts its converter in once the window is watched (as one does when it first uses
// its extension) is screened from then on too: it hears the server's own events, not another
// client's made up in its place.
TEST_F(WindowHostOnX, AConverterPutInLaterStaysBehindTheScreen) {
    TermHeard term;
    ConverterPutIn library(display);
    library.putInWithEventsWaiting(display, other, xwindow);
    // Read by the loop alone: the screen goes in front as a turn begins.
    auto quit = NSTimer::scheduledTimer(0.3, false, [](const std::shared_ptr<NSTimer>&) { ::raise(SIGTERM); });
    EXPECT_EQ(host->run(), 0);
    quit->invalidate();
    EXPECT_TRUE(ConverterPutIn::heardTheServerAlone());
}

// Fifteen hundred clicks' presses and releases the server made at once, far past a turn's share:
// each is taken, in order, over the turns after (the volume key behind them ends the loop); and all of them when
// SIGTERM asks for the end at the first.
TEST_F(WindowHostOnX, TheServersEventsPastATurnsShareAreAllTakenInOrder) {
    for (bool endAtFirst : {false, true}) {
        SCOPED_TRACE(endAtFirst ? "ended" : "running");
        TermHeard term;
        ProgramEnding::resetForTesting();
        ProgramEnding::loopRunning();
        constexpr std::size_t kClicks = 1500;
        auto clicks = std::make_shared<ClicksHeard>();
        clicks->endAtFirst = endAtFirst;
        host->setEventSink(clicks);
        int rootX = 0, rootY = 0;
        Window child = 0;
        const auto [x, y, w, h] = placed();
        XTranslateCoordinates(other, xwindow, DefaultRootWindow(other), w / 2, h / 2, &rootX, &rootY, &child);
        XTestFakeMotionEvent(other, -1, rootX, rootY, CurrentTime);
        for (std::size_t i = 0; i < kClicks; ++i) {
            XTestFakeButtonEvent(other, 1, True, CurrentTime);
            XTestFakeButtonEvent(other, 1, False, CurrentTime);
        }
        pressVolumeUpKey();
        auto giveUp = NSTimer::scheduledTimer(20, false, [](const std::shared_ptr<NSTimer>&) { ::raise(SIGTERM); });
        EXPECT_EQ(host->run(), 0);
        giveUp->invalidate();
        // The video system lets go of a click or so as it takes the pointer in (as many with no bound at all).
        ASSERT_GE(clicks->phases.size(), 2 * kClicks - 2);
        for (std::size_t i = 0; i < clicks->phases.size(); ++i)
            ASSERT_EQ(clicks->phases[i], i % 2 ? UITouchPhase::Ended : UITouchPhase::Began) << i;
    }
}

// A converter put in while the loop's timers run: the pass that reads after them puts the screen in
// front again first.
TEST_F(WindowHostOnX, AConverterPutInByATimerStaysBehindTheScreenInThePassAfterIt) {
    TermHeard term;
    ConverterPutIn library(display);
    auto putIn = NSTimer::scheduledTimer(
        0.1, false, [&](const std::shared_ptr<NSTimer>&) { library.putInWithEventsWaiting(display, other, xwindow); });
    auto quit = NSTimer::scheduledTimer(0.3, false, [](const std::shared_ptr<NSTimer>&) { ::raise(SIGTERM); });
    EXPECT_EQ(host->run(), 0);
    putIn->invalidate();
    quit->invalidate();
    EXPECT_TRUE(ConverterPutIn::heardTheServerAlone());
}

// Showing a frame reads the display (it waits for the server's word): the screen goes in front of a
// converter put in since the pass first. The server's own events reach the converter as they are
// read, or (kept while the display held more) as the turns after hand them on.
TEST_F(WindowHostOnX, AConverterPutInBeforeAFrameIsShownStaysBehindTheScreen) {
    ConverterPutIn library(display);
    library.putInWithEventsWaiting(display, other, xwindow);
    ASSERT_FALSE(xdisplay::flooded());
    EXPECT_TRUE(host->renderFrame());
    EXPECT_EQ(host->picturesShown(), 1);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    EXPECT_EQ(::poll(&connection, 1, 0), 0) << "showing the frame left the display unread";
    EXPECT_EQ(ConverterPutIn::sentHeard, 0);
    turnUntil([] { return ConverterPutIn::serverHeard >= 1; });
    EXPECT_TRUE(ConverterPutIn::heardTheServerAlone())
        << ConverterPutIn::sentHeard << " made up, " << ConverterPutIn::serverHeard << " the server's";
}

// The end's finish, after the loop, reads nothing off the display: no converter put in there hears
// anything before the teardown, which puts the screen in front again.
TEST_F(WindowHostOnX, TheEndsFinishReadsNothingOffTheDisplay) {
    ConverterPutIn library(display);
    library.putInWithEventsWaiting(display, other, xwindow);
    EXPECT_TRUE(ProgramEnding::finish(*host, 1));
    EXPECT_EQ(ConverterPutIn::sentHeard + ConverterPutIn::serverHeard, 0);
    // They were there to be read.
    XSync(display, False);
    EXPECT_GE(ConverterPutIn::serverHeard, 1);
}
