// Shared set-up for the controller, table, input and bar tests: a phone screen and a key window on
// the virtual clock, and a controller that records its life cycle.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "platform/ui/input/keyboard.h"

struct UIHarness : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        UIKeyboard::shared().reset();
        UIApplication::resetSharedApplication();
        screen = UIScreen::make(*DeviceModel::named(deviceName()));
        UIScreen::setMainScreen(screen);
        window = UIWindow::make();
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        UITouchDispatcher::shared()->cancelAll();
        window->setRootViewController(nullptr);
        UIKeyboard::shared().reset();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        UIScreen::setMainScreen(UIScreen::make());
    }
    virtual const char* deviceName() const { return "home-button"; }
    // Lets virtual time pass, running what falls due, then lays the window out.
    void advance(double seconds) {
        RunLoop::main().advance(seconds);
        window->layoutIfNeeded();
    }
    // A finger down and up at a window point, through touch delivery; whether it was a tap on the
    // status bar that nothing beneath took.
    bool tap(CGPoint p) {
        static long id = 1000;
        ++id;
        double t = Clock::now();
        UITouchDispatcher::shared()->touchEvent({t, {{id, p, UITouchPhase::Began}}});
        RunLoop::main().advance(0.05);
        const bool statusBar = UITouchDispatcher::shared()->touchEvent({t + 0.05, {{id, p, UITouchPhase::Ended}}});
        settle();
        return statusBar;
    }
    void settle() {
        RunLoop::main().runUntilIdle();
        window->layoutIfNeeded();
    }

    std::shared_ptr<UIScreen> screen;
    std::shared_ptr<UIWindow> window;
};

// Appends "<name> <event>" for each life-cycle call to a shared log.
struct RecordingController : UIViewController {
    KORVA_MAKE(RecordingController)
    std::string name;
    std::vector<std::string>* log = nullptr;
    void note(const std::string& e) {
        if (log) log->push_back(name + " " + e);
    }
    void viewDidLoad() override { note("load"); }
    void viewWillAppear(bool) override { note("willAppear"); }
    void viewDidAppear(bool) override { note("didAppear"); }
    void viewWillDisappear(bool) override { note("willDisappear"); }
    void viewDidDisappear(bool) override { note("didDisappear"); }
    void didMoveToParentViewController(const std::shared_ptr<UIViewController>& p) override {
        note(p ? "didMoveIn" : "didMoveOut");
    }

protected:
    RecordingController(std::string n, std::vector<std::string>* l) : name(std::move(n)), log(l) {}
};
