// Widgets on a fresh virtual clock with an empty run loop and animation engine, in a window.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/image/cg_image.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/layer/layer_renderer.h"
#include "tests/platform/ui/anim_test_support.h"
#include "tests/platform/ui/draw_test_support.h"

struct WidgetTest : AnimClockTest {
    void SetUp() override {
        AnimClockTest::SetUp();
        UITouchDispatcher::shared()->cancelAll();
        UIApplication::resetSharedApplication();
        window = UIWindow::make(CGRect{{0, 0}, {320, 480}});
        window->makeKeyAndVisible();
        controller = UIViewController::make();
        root = controller->view();
        root->setFrame(window->bounds());
        window->addSubview(root);
    }
    void TearDown() override {
        UITouchDispatcher::shared()->cancelAll();
        root.reset();
        controller.reset();
        window.reset();
        UIApplication::resetSharedApplication();
        AnimClockTest::TearDown();
    }
    static void send(long id, CGPoint p, UITouchPhase phase) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, p, phase}}});
    }
    static void tap(CGPoint p) {
        send(1, p, UITouchPhase::Began);
        advance(0.05);
        send(1, p, UITouchPhase::Ended);
    }
    std::shared_ptr<UIWindow> window;
    // A loaded controller's view in the window: what views that look for their controller need.
    std::shared_ptr<UIViewController> controller;
    std::shared_ptr<UIView> root;
};

// Straight-alpha RGBA of one pixel of a rendered image (row 0 at the top).
inline Rgba8 pixelOf(const CGImage& image, int x, int y) {
    return pixelAt(image, x, y);
}
