// What the window asks the server to tell it: another client's storm of pointer warps and property
// changes makes the server send it nothing, while a click is still placed where the server placed
// it and a drag still moves its touch.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <cmath>
#include <memory>
#include <vector>

#include "tests/platform/host/window_host_on_x.h"

// Last: the X headers define plain names as macros.
#include <X11/Xatom.h>

namespace {

// Each touch heard, and the loop's end at the volume key.
struct TouchesHeard : ButtonsHeard {
    std::vector<HostTouch> touches;
    void touchEvent(const HostTouchEvent& e) override {
        for (const auto& t : e.touches) touches.push_back(t);
    }
};

}  // namespace

TEST_F(WindowHostOnX, AnotherClientsWarpsAndPropertyChangesReachTheWindowAsNothing) {
    const auto [x, y, w, h] = placed();
    const Atom madeUp = XInternAtom(other, "KORVA_MADE_UP", False);
    // The pointer comes in first (the window hears that), then the storm.
    XWarpPointer(other, None, xwindow, 0, 0, 0, 0, w / 2, h / 2);
    XSync(other, False);
    XSync(display, False);
    for (long i = 0; i < 20'000; ++i) {
        XWarpPointer(other, None, xwindow, 0, 0, 0, 0, 10 + static_cast<int>(i % 50), 10 + static_cast<int>(i % 40));
        XChangeProperty(other, xwindow, madeUp, XA_INTEGER, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&i),
                        1);
    }
    XSync(other, False);
    // All the server sent the window for it is on the window's connection now (a few events at
    // most; the storm's forty thousand would fill it).
    int waiting = 0;
    ASSERT_EQ(::ioctl(ConnectionNumber(display), FIONREAD, &waiting), 0);
    EXPECT_LT(waiting, 100 * 32);
}

// The pointer moved over the window with no button held (the window does not hear it), then a
// click; then elsewhere, a drag: each touch is where the server placed the pointer.
TEST_F(WindowHostOnX, AClickAndADragArePlacedWhereTheServerPlacedThePointer) {
    auto heard = std::make_shared<TouchesHeard>();
    host->setEventSink(heard);
    const auto [x, y, w, h] = placed();
    auto moveTo = [&](int wx, int wy) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(other, xwindow, DefaultRootWindow(other), wx, wy, &rootX, &rootY, &child);
        XTestFakeMotionEvent(other, -1, rootX, rootY, CurrentTime);
    };
    // The pointer comes in and the window takes the focus first: the video system lets a click go
    // that comes at once after it.
    moveTo(w / 2, h / 2);
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    moveTo(w / 4, h / 2);
    XTestFakeButtonEvent(other, 1, True, CurrentTime);
    XTestFakeButtonEvent(other, 1, False, CurrentTime);
    moveTo(3 * w / 4, h / 2);
    XTestFakeButtonEvent(other, 1, True, CurrentTime);
    moveTo(3 * w / 4, 3 * h / 4);
    XTestFakeButtonEvent(other, 1, False, CurrentTime);
    pressVolumeUpKey();
    EXPECT_EQ(endAfterRunning(), std::nullopt);
    ASSERT_GE(heard->touches.size(), 5u);
    const auto& click = heard->touches[0];
    const auto& clickUp = heard->touches[1];
    const auto& drag = heard->touches[2];
    const auto& dragEnd = heard->touches.back();
    EXPECT_EQ(click.phase, UITouchPhase::Began);
    EXPECT_EQ(drag.phase, UITouchPhase::Began);
    EXPECT_EQ(dragEnd.phase, UITouchPhase::Ended);
    EXPECT_NEAR(clickUp.location.x, click.location.x, 1);
    // Half the window's width apart, and the drag a quarter of its height down.
    const CGRect screen = UIScreen::mainScreen()->bounds();
    EXPECT_NEAR(drag.location.x - click.location.x, screen.size.width / 2, screen.size.width / 20);
    EXPECT_NEAR(dragEnd.location.y - drag.location.y, screen.size.height / 4, screen.size.height / 20);
    bool moved = false;
    for (std::size_t i = 3; i + 1 < heard->touches.size(); ++i) moved |= heard->touches[i].phase == UITouchPhase::Moved;
    EXPECT_TRUE(moved) << "the drag moved its touch";
}
