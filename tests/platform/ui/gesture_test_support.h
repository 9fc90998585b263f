// A window on a virtual clock, and fingers that send synthetic touches to the touch dispatcher.
#pragma once

#include <vector>

#include "anim_test_support.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"

struct GestureTouchTest : AnimClockTest {
    void SetUp() override {
        AnimClockTest::SetUp();
        UITouchDispatcher::shared()->cancelAll();  // nothing left over from other suites
        UIApplication::resetSharedApplication();
        window = UIWindow::make(CGRect{{0, 0}, {320, 480}});
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        UITouchDispatcher::shared()->cancelAll();
        window.reset();
        UIApplication::resetSharedApplication();
        AnimClockTest::TearDown();
    }
    static void send(long id, CGPoint p, UITouchPhase phase) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, p, phase}}});
    }
    static void send2(CGPoint a, CGPoint b, UITouchPhase phase) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{1, a, phase}, {2, b, phase}}});
    }
    static void tap(CGPoint p) {
        send(1, p, UITouchPhase::Began);
        advance(0.05);
        send(1, p, UITouchPhase::Ended);
    }
    // A straight drag in `steps` moves over `duration` seconds.
    static void drag(CGPoint from, CGPoint to, double duration = 0.3, int steps = 10, bool lift = true) {
        send(1, from, UITouchPhase::Began);
        for (int i = 1; i <= steps; ++i) {
            advance(duration / steps);
            double f = double(i) / steps;
            send(1, {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f}, UITouchPhase::Moved);
        }
        if (lift) send(1, to, UITouchPhase::Ended);
    }
    std::shared_ptr<UIWindow> window;
};
