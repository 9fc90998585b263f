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

struct WidgetTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        CATransaction::reset();
        UIViewAnimation::reset();
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
        CAAnimationEngine::reset();
        CATransaction::reset();
        RunLoop::main().reset();
        Clock::useReal();
    }
    static void advance(double seconds) { RunLoop::main().advance(seconds); }
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
struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
};

inline Pixel pixelOf(const CGImage& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
    int r = p[bgra ? 2 : 0], g = p[1], b = p[bgra ? 0 : 2], a = p[3];
    auto un = [a](int c) { return a == 0 ? 0 : (c * 255 + a / 2) / a; };
    return {un(r), un(g), un(b), a};
}
