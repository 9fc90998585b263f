// The camera tests' fixture: the toolkit's phone screen on the virtual clock with a plain screen
// controller as root, and helpers that let the capture queue and the main queue run.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "foundation/system_services.h"
#include "platform/dispatch/queue.h"
#include "tests/ui/ui_test_support.h"

struct CameraTest : ToolkitTest {
    std::shared_ptr<UIViewController> screenVC = UIViewController::make();

    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(screenVC);
        settle();
        SystemServices::shared()->clearRequests();
    }
    void TearDown() override {
        drain();
        ToolkitTest::TearDown();
    }
    std::shared_ptr<UIView> root() { return screenVC->view(); }
    // Lets queued background work and the main-queue blocks it posts run; no time passes.
    void drain() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    // Steps the clock in small slices, draining the queues after each.
    void step(double seconds) {
        const double end = Clock::now() + seconds;
        while (Clock::now() + 1e-9 < end) {
            advance(std::min(0.01, end - Clock::now()));
            drain();
        }
    }
    // Haptic impacts played so far.
    static long impacts() {
        const auto& r = SystemServices::shared()->requests();
        return std::count(r.begin(), r.end(), std::string("impact"));
    }
};
