// A burst already waiting on the display as a turn begins (the server's own changes to the window's
// properties, each another, then tens of thousands of exposures and moves another client sent): no
// turn hands the video system more than its share, the server's events all reach it over the turns
// after (the newest change of each property), and the
// window is flooded from the turn that read past its share until the quiet turns after, its
// drawing asking the server for nothing meanwhile. A state waits while the display holds more. The
// last turn reads to its mark behind a burst, and waits for it while another client holds the server
// and the keys kept past a share wait in the X library's queue.
#include <gtest/gtest.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "platform/runtime/log.h"
#include "tests/platform/host/window_host_on_x.h"

// Last: the X headers define plain names as macros.
#include <X11/Xatom.h>

namespace {

constexpr int kServersChanges = 2000;
constexpr int kSent = 30'000;
// What the last turn says when it ends without its mark.
constexpr const char* kMarkMissed = "the display still held events from before the end";

// What the video system is handed, heard in front of the watch's own filter.
SDL_EventFilter gScreen = nullptr;
void* gScreenData = nullptr;
std::unordered_set<Atom> gMarks;
long gHanded = 0;
long gMarksHanded = 0;

int heardHanded(void*, SDL_Event* event) {
    if (event->type == SDL_SYSWMEVENT) {
        ++gHanded;
        const XEvent& x = event->syswm.msg->msg.x11.event;
        if (x.type == PropertyNotify && gMarks.count(x.xproperty.atom)) ++gMarksHanded;
    }
    return gScreen(gScreenData, event);
}

struct DisplayBurst : WindowHostOnX {
    void SetUp() override {
        WindowHostOnX::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The window hears its properties' changes here, as a window that follows them would: they
        // are the server's events the burst is made of.
        XWindowAttributes attributes{};
        ASSERT_TRUE(XGetWindowAttributes(display, xwindow, &attributes));
        XSelectInput(display, xwindow, attributes.your_event_mask | PropertyChangeMask);
        ASSERT_TRUE(SDL_GetEventFilter(&gScreen, &gScreenData));
        SDL_SetEventFilter(heardHanded, nullptr);
        std::vector<std::string> names;
        for (int i = 0; i < kServersChanges; ++i) names.push_back("KORVA_MARK_" + std::to_string(i));
        std::vector<char*> pointers;
        for (auto& name : names) pointers.push_back(name.data());
        marks.resize(names.size());
        ASSERT_TRUE(XInternAtoms(other, pointers.data(), kServersChanges, False, marks.data()));
        gMarks = {marks.begin(), marks.end()};
        gMarksHanded = 0;
        // The window's first events (its mapping, its first exposure) are behind it.
        for (int turns = 0; turns < 100 && turn() > 0; ++turns) {
        }
    }
    // The window closes as one no longer flooded does.
    void TearDown() override {
        for (int turns = 0; turns < 1000 && xdisplay::flooded(); ++turns) turn();
        WindowHostOnX::TearDown();
    }
    // The server's changes of a property on the window, then another client's exposures and moves
    // (at the window's own size); all in the server's hands once this is back.
    void burst() {
        for (long i = 0; i < kServersChanges; ++i)
            XChangeProperty(other, xwindow, marks[i], XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&i), 1);
        const auto [x, y, w, h] = placed();
        XEvent expose{}, configure{};
        expose.xexpose = {Expose, 0, True, other, xwindow, 0, 0, w, h, 0};
        configure.xconfigure = {ConfigureNotify, 0, True, other, xwindow, xwindow, x, y, w, h, 0, 0, False};
        for (int i = 0; i < kSent; ++i) XSendEvent(other, xwindow, False, NoEventMask, i % 2 ? &expose : &configure);
        XSync(other, False);
    }
    std::vector<Atom> marks;
    // A turn as the loop makes it, the burst's first: its start, a request that waits for the
    // server's answer (the display reads all that came before the answer), and the video system's
    // reading. What the turn handed the video system.
    long turn(bool roundTrip = false) {
        gHanded = 0;
        xdisplay::beginTurn();
        if (roundTrip) XSync(display, False);
        SDL_PumpEvents();
        SDL_PumpEvents();
        return gHanded;
    }
};

}  // namespace

TEST_F(DisplayBurst, NoTurnHandsTheVideoSystemMoreThanItsShare) {
    burst();
    long most = turn(true);
    for (int turns = 0; turns < 1000 && gMarksHanded < kServersChanges; ++turns) most = std::max(most, turn());
    EXPECT_LE(most, xdisplay::kReadATurn);
    EXPECT_EQ(gMarksHanded, kServersChanges);
}

TEST_F(DisplayBurst, TheTurnThatReadsPastItsShareIsFloodedAndDrawsNothingUntilTheQuietTurns) {
    burst();
    turn(true);
    EXPECT_TRUE(xdisplay::flooded());
    // The frame is made; showing it would wait for the server behind all the display held.
    const unsigned long requests = NextRequest(display);
    EXPECT_TRUE(host->renderFrame());
    EXPECT_EQ(NextRequest(display), requests);
    EXPECT_EQ(host->picturesShown(), 0);
    int flooded = 1;
    while (flooded < 1000 && (turn(), xdisplay::flooded())) ++flooded;
    EXPECT_GT(flooded, 2);
    EXPECT_LT(flooded, 1000);
}

// A key the server gave behind a burst and read in the last turn goes to the video system at once:
// no turn comes after to hand it on.
TEST_F(DisplayBurst, TheLastTurnTakesAKeyBehindABurst) {
    xdisplay::lastTurn();
    burst();
    pressVolumeUpKey();
    // The round trip reads all the server sent before its answer.
    XSync(display, False);
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 1);
}

// A burst that comes after the loop's last turn (while the end's work ran, or once a quit ended
// it): the window's teardown, which waits for the server's word that the window is unmapped, gets
// it behind the burst.
TEST_F(DisplayBurst, ABurstAfterTheLastTurnLeavesTheTeardownItsAnswer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // A teardown that waits for ever fails the case.
            ::alarm(30);
            burst();
            host.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The last turn reads all the server made before it, however little the display was read before:
// a key pressed just before the end is in the display's queue once the turn has begun.
TEST_F(DisplayBurst, TheLastTurnReadsAllTheServerMadeBeforeIt) {
    pressVolumeUpKey();
    ASSERT_EQ(XEventsQueued(display, QueuedAlready), 0);
    xdisplay::lastTurn();
    EXPECT_GE(XEventsQueued(display, QueuedAlready), 1);
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 1);
}

// A window manager's word on the window's state, given in a storm of other changes, is followed
// once the storm is over: its newest value is handed on, and the video system reads it.
TEST_F(DisplayBurst, TheWindowsStateGivenInABurstIsFollowedAfterIt) {
    const Atom state = XInternAtom(other, "_NET_WM_STATE", False);
    const Atom hidden = XInternAtom(other, "_NET_WM_STATE_HIDDEN", False);
    burst();
    XChangeProperty(other, xwindow, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&hidden), 1);
    XSync(other, False);
    turn(true);
    EXPECT_TRUE(xdisplay::flooded());
    for (int turns = 0; turns < 1000 && !(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED); ++turns) turn();
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

// The server's changes come first in the burst: the first turn reads a few of them with the rest of
// the burst still on the connection, and hands none on (the video system would ask the server
// about each, and the answer waits behind all the display holds).
TEST_F(DisplayBurst, AStateWaitsWhileTheDisplayHoldsMore) {
    burst();
    turn();
    EXPECT_EQ(gMarksHanded, 0);
}

// The last turn's mark comes back behind a burst far past a turn's share, with an event already
// waiting in the X library's queue: the mark is not counted in the share, and the turn reads the
// connection whatever the queue holds, so it reads to the mark and ends there without waiting out
// its time.
TEST_F(DisplayBurst, TheLastTurnEndsAtItsMarkBehindABurst) {
    LogCapture log;
    const auto [x, y, w, h] = placed();
    XEvent expose{};
    expose.xexpose = {Expose, 0, True, other, xwindow, 0, 0, w, h, 0};
    XSendEvent(other, xwindow, False, NoEventMask, &expose);
    XSync(other, False);
    XSync(display, False);
    ASSERT_GT(XEventsQueued(display, QueuedAlready), 0);
    for (int i = 0; i < 4 * xdisplay::kReadATurn; ++i) XSendEvent(other, xwindow, False, NoEventMask, &expose);
    XSync(other, False);
    xdisplay::lastTurn();
    EXPECT_FALSE(log.contains(kMarkMissed)) << ::testing::PrintToString(log.lines());
}

// Another client holds the server as the last turn begins, and lets it go a few tenths of a second
// after the turn's mark reached the server: the turn waits for its mark that long, and reads the
// connection though the keys a turn kept past its share are in the X library's queue by then.
TEST_F(DisplayBurst, TheLastTurnWaitsForItsMarkWhileAnotherClientHoldsTheServer) {
    LogCapture log;
    XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
    const KeyCode code = XKeysymToKeycode(other, XK_KP_Add);
    for (int i = 0; i < xdisplay::kReadATurn; ++i) {
        XTestFakeKeyEvent(other, code, True, CurrentTime);
        XTestFakeKeyEvent(other, code, False, CurrentTime);
    }
    XSync(other, False);
    xdisplay::beginTurn();
    XSync(display, False);
    ASSERT_TRUE(xdisplay::flooded());
    // Only what the last turn hands on is in the library's queue as its reading starts.
    for (XEvent taken; XEventsQueued(display, QueuedAlready) > 0;) XNextEvent(display, &taken);
    XGrabServer(other);
    XSync(other, False);
    const int connection = ConnectionNumber(display);
    std::thread release([this, connection] {
        // The mark waits, unread, on the window's connection while the server is held.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int unread = 0;
        while (::ioctl(connection, SIOCOUTQ, &unread) == 0 && unread == 0 && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XUngrabServer(other);
        XFlush(other);
    });
    xdisplay::lastTurn();
    release.join();
    XSync(other, False);
    EXPECT_FALSE(log.contains(kMarkMissed)) << ::testing::PrintToString(log.lines());
}
