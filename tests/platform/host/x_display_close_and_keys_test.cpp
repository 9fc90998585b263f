// The window manager's close is heard behind a flood of another client's events, and keys the
// window reads together carry the times they were made.
#include <gtest/gtest.h>

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
