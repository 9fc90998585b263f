// A server that stops answering (held by another client's grab, as a stopped one is) holds neither
// the pictures' handing over, nor the main loop in the last turn, nor the window's teardown; the
// window manager's close is followed behind any flood of exposures; the last turn reads to its mark
// behind a storm; and a key carries when the server made it, however late it is read.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/host/x_presenter.h"
#include "platform/host/x_reader.h"
#include "tests/platform/host/window_host_on_x.h"

// Last: the X headers define plain names as macros.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

using Steady = std::chrono::steady_clock;

double since(Steady::time_point from) {
    return std::chrono::duration<double>(Steady::now() - from).count();
}

// Another client's grab of the server for as long as it lives: every other client's requests wait.
struct ServerGrab {
    explicit ServerGrab(Display* holder) : holder(holder) {
        XGrabServer(holder);
        XSync(holder, False);
    }
    ~ServerGrab() { release(); }
    void release() {
        if (!holder) return;
        XUngrabServer(holder);
        XSync(holder, False);
        holder = nullptr;
    }
    Display* holder;
};

// The pixel at (x, y) of a window, read back by another client.
unsigned long pixelAt(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0UL;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel;
}

}  // namespace

TEST_F(WindowHostOnX, ThePresenterShowsThePictureAndHoldsNothingWhileTheServerIsSilent) {
    std::string why;
    auto presenter = xdisplay::XPresenter::open(DisplayString(display), xwindow, why);
    ASSERT_TRUE(presenter) << why;
    // A red picture 8 by 6 at (10, 20) of a window 40 by 40: the rest is black.
    std::vector<std::uint8_t> red(8 * 6 * 4);
    for (std::size_t i = 0; i < red.size(); i += 4) red[i + 2] = 0xff;
    presenter->show(red.data(), 8 * 4, 8, 6, {10, 20, 8, 6}, 40, 40, {});
    ASSERT_TRUE(presenter->answers(10));
    EXPECT_EQ(presenter->shown(), 1);
    EXPECT_EQ(pixelAt(other, xwindow, 12, 22), 0xff0000UL);
    EXPECT_EQ(pixelAt(other, xwindow, 2, 2), 0UL) << "the bars are black";

    {
        ServerGrab grab(other);
        const auto began = Steady::now();
        // A green part redrawn: handed over at once, shown once the server answers again.
        for (std::size_t i = 0; i < red.size(); i += 4) red[i + 1] = 0xff, red[i + 2] = 0;
        presenter->show(red.data(), 8 * 4, 8, 6, {10, 20, 8, 6}, 40, 40, {{0, 0, 4, 3}});
        EXPECT_FALSE(presenter->answers(0.3)) << "the server holds the presenter's request";
        EXPECT_LT(since(began), 3.0);
        EXPECT_EQ(presenter->shown(), 1);
    }
    ASSERT_TRUE(presenter->answers(10));
    EXPECT_EQ(presenter->shown(), 2);
    EXPECT_EQ(pixelAt(other, xwindow, 10, 20), 0x00ff00UL);
    EXPECT_EQ(pixelAt(other, xwindow, 16, 24), 0xff0000UL) << "only the part redrawn is put in again";
    EXPECT_TRUE(presenter->stop(10));
}

// The end asked while another client holds the server: the loop's last turn waits for its mark
// only to its limit, with the main loop turning meanwhile (a shot under way goes on), and the
// window is let go asking the window's connection nothing.
TEST_F(WindowHostOnX, AServerThatDoesNotAnswerHoldsNeitherTheLastTurnNorTheTeardown) {
    // The window's first states (its mapping, its place) are taken first: the video system asks
    // the server about them.
    ASSERT_FALSE(endAfterRunning());
    TermHeard term;
    bool turned = false;
    auto end = NSTimer::scheduledTimer(0.05, false, [&turned](const std::shared_ptr<NSTimer>&) {
        // A shot's next step, due while the last turn waits.
        RunLoop::main().performAfterDelay(0.2, [&turned] { turned = true; });
        ::raise(SIGTERM);
    });
    XSync(display, False);
    ServerGrab grab(other);
    const auto began = Steady::now();
    EXPECT_EQ(host->run(), 0);
    const double loopTook = since(began);
    EXPECT_TRUE(turned) << "the main loop turned while the last turn waited";
    EXPECT_LT(loopTook, ProgramEnding::kGraceSeconds);
    const unsigned long requests = NextRequest(display);
    const auto teardown = Steady::now();
    host.reset();
    EXPECT_LT(since(teardown), 3.0) << "the teardown waited on the silent server";
    EXPECT_EQ(NextRequest(display), requests) << "the teardown asked the silent server";
    end->invalidate();
    grab.release();
    // The reading left behind goes once the server answers again; then what the skipped teardown
    // left to the video system.
    while (xdisplay::XReader::leftBehind() > 0) std::this_thread::yield();
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    window = nullptr;
}

// Exposures another client causes by the thousand are kept past the turns' shares, in order; the
// window manager's close, sent behind them, still ends the loop.
TEST_F(WindowHostOnX, TheWindowManagersCloseIsFollowedBehindAFloodOfExposures) {
    for (int i = 0; i < 4000; ++i) XClearArea(other, xwindow, 0, 0, 1, 1, True);
    const Atom close = XInternAtom(other, "WM_DELETE_WINDOW", False);
    sendFromOther(clientMessage("WM_PROTOCOLS", static_cast<long>(close), CurrentTime, 0, 0, 0));
    XSync(other, False);
    const auto why = endAfterRunning();
    EXPECT_FALSE(why) << *why;
    EXPECT_TRUE(xdisplay::closeAsked()) << "the close was dropped behind the exposures";
}

// The last turn's mark comes in behind a storm the server sends: it is read, not dropped past the
// turn's share.
TEST_F(WindowHostOnX, TheLastTurnReadsToItsMarkBehindAStorm) {
    const Atom state = XInternAtom(other, "_NET_WM_STATE", False);
    // The display is held while the server sends the storm, so that the reading takes it up only
    // in the last turn, ahead of the mark.
    XLockDisplay(display);
    for (long n = 0; n < 20'000; ++n)
        XChangeProperty(other, xwindow, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&n),
                        n % 2);
    XSync(other, False);
    bool letGo = false;
    const bool read = xdisplay::lastTurn(ProgramEnding::kGraceSeconds, [&] {
        if (!letGo) XUnlockDisplay(display);
        letGo = true;
    });
    EXPECT_TRUE(letGo);
    EXPECT_TRUE(read) << "the mark was not read within the limit";
}

// Two presses the server made 0.7 s apart, read in one pass of the loop: each carries when it was
// made.
TEST_F(WindowHostOnX, AKeyCarriesWhenTheServerMadeItHoweverLateItIsRead) {
    struct PressesHeard : HostEventSink {
        std::vector<double> made;
        void buttonEvent(HostButton, bool pressed, std::optional<double> madeAt) override {
            if (!pressed || !madeAt) return;
            made.push_back(*madeAt);
            if (made.size() < 2) return;
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    };
    auto heard = std::make_shared<PressesHeard>();
    host->setEventSink(heard);
    XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
    const KeyCode code = XKeysymToKeycode(other, XK_KP_Add);
    XTestFakeKeyEvent(other, code, True, CurrentTime);
    XTestFakeKeyEvent(other, code, False, CurrentTime);
    // The server makes the second press 0.7 s after the first (it waits; the test does not).
    XTestFakeKeyEvent(other, code, True, 700);
    XTestFakeKeyEvent(other, code, False, CurrentTime);
    XSync(other, False);
    XSync(display, False);
    EXPECT_EQ(host->run(), 0);
    ASSERT_EQ(heard->made.size(), 2u);
    const double apart = heard->made[1] - heard->made[0];
    EXPECT_GT(apart, 0.6) << "the presses carry when they were read, not made";
    EXPECT_LT(apart, 1.5);
}
