// The window manager's close is heard behind a flood of another client's events and while input
// waits in the video system's queue, and only the close is taken as one; keys the window reads
// together carry the times they were made.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "tests/platform/host/window_host_on_x.h"

namespace {

// The volume key's presses and when each was made, and the loop's end at the second.
struct PressesMade : HostEventSink {
    std::vector<std::optional<double>> made;
    void buttonEvent(HostButton button, bool pressed, std::optional<double> madeAt) override {
        if (button != HostButton::VolumeUp || !pressed) return;
        made.push_back(madeAt);
        if (made.size() == 2) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }
};

// Counts the clicks the host hands on, and those it had handed on when the end was first asked.
struct ClicksTaken : HostEventSink {
    long touches = 0;
    std::optional<long> beforeTheEnd;
    void touchEvent(const HostTouchEvent& e) override {
        if (!beforeTheEnd && ProgramEnding::requested()) beforeTheEnd = touches;
        touches += static_cast<long>(e.touches.size());
    }
};

}  // namespace

// Thousands of exposures another client sent, far past a turn's share, then the window manager's
// close: the close is what ends the loop, as a quit.
TEST_F(WindowHostOnX, TheWindowManagersCloseIsHeardBehindAFloodOfExposures) {
    const auto [x, y, w, h] = placed();
    for (int i = 0; i < 5000; ++i) {
        XEvent expose{};
        expose.xexpose = {Expose, 0, True, other, xwindow, 0, 0, w, h, 0};
        sendFromOther(expose);
    }
    const Atom deleteWindow = XInternAtom(other, "WM_DELETE_WINDOW", False);
    sendFromOther(clientMessage("WM_PROTOCOLS", static_cast<long>(deleteWindow), CurrentTime, 0, 0, 0));
    XSync(other, False);
    EXPECT_EQ(endAfterRunning(), "the window was closed");
    ASSERT_TRUE(ProgramEnding::requested());
    EXPECT_EQ(ProgramEnding::requested()->status, 0);
}

// The window manager's other words on its protocols (a ping, the focus offered) are not a close.
TEST_F(WindowHostOnX, OnlyTheWindowManagersCloseIsTakenAsOne) {
    for (const char* word : {"_NET_WM_PING", "WM_TAKE_FOCUS"})
        sendFromOther(clientMessage("WM_PROTOCOLS", static_cast<long>(XInternAtom(other, word, False)), CurrentTime,
                                    static_cast<long>(xwindow), 0, 0));
    XSync(other, False);
    EXPECT_EQ(endAfterRunning(), std::nullopt);
}

// Twenty thousand clicks wait in the video system's queue, which the passes take a few hundred at a
// time; the display is read each pass all the same, so the window manager's close sent a turn in is
// heard after a pass or two, not once the clicks are through.
TEST_F(WindowHostOnX, TheDisplayIsReadEachPassWhileInputWaitsInTheQueue) {
    auto clicks = std::make_shared<ClicksTaken>();
    host->setEventSink(clicks);
    constexpr int kClicks = 20'000;
    for (int i = 0; i < kClicks; ++i) {
        SDL_Event click{};
        click.type = i % 2 ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.x = click.button.y = 20;
        ASSERT_EQ(SDL_PushEvent(&click), 1);
    }
    const Atom deleteWindow = XInternAtom(other, "WM_DELETE_WINDOW", False);
    bool sent = false;
    auto observer = RunLoop::main().addBeforeWaitingObserver([&] {
        if (sent) return;
        sent = true;
        sendFromOther(clientMessage("WM_PROTOCOLS", static_cast<long>(deleteWindow), CurrentTime, 0, 0, 0));
        XSync(other, False);
    });
    EXPECT_EQ(host->run(), 0);
    RunLoop::main().removeBeforeWaitingObserver(observer);
    EXPECT_EQ(ProgramEnding::requested() ? ProgramEnding::requested()->why : "", "the window was closed");
    ASSERT_TRUE(clicks->beforeTheEnd) << "the close was heard only once the clicks were through";
    EXPECT_LT(*clicks->beforeTheEnd, kClicks / 4);
    EXPECT_EQ(clicks->touches, kClicks) << "input that came before the close is taken";
}

// Two presses 0.7 s apart on the server's clock (the second held back by the server), read in one
// go: each carries when it was made, so they are two presses, not a double one.
TEST_F(WindowHostOnX, KeysReadTogetherCarryWhenTheyWereMade) {
    auto presses = std::make_shared<PressesMade>();
    host->setEventSink(presses);
    XSetInputFocus(other, xwindow, RevertToPointerRoot, CurrentTime);
    const KeyCode code = XKeysymToKeycode(other, XK_KP_Add);
    XTestFakeKeyEvent(other, code, True, CurrentTime);
    XTestFakeKeyEvent(other, code, False, CurrentTime);
    XTestFakeKeyEvent(other, code, True, 700);
    XTestFakeKeyEvent(other, code, False, CurrentTime);
    // Both are in before the window reads either.
    XSync(other, False);
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    ASSERT_EQ(presses->made.size(), 2u);
    ASSERT_TRUE(presses->made[0] && presses->made[1]);
    EXPECT_NEAR(*presses->made[1] - *presses->made[0], 0.7, 0.1);
}
