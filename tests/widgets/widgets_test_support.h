// Shared helpers of the widget tests: colour components, a sandbox of their own for the user
// defaults, and pixel reads of rendered views.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/storage/sandbox.h"
#include "platform/storage/user_defaults.h"
#include "platform/ui/draw/color.h"

inline std::array<CGFloat, 4> rgbaOf(const std::shared_ptr<UIColor>& color) {
    std::array<CGFloat, 4> c{-1, -1, -1, -1};
    if (color) color->getRed(&c[0], &c[1], &c[2], &c[3]);
    return c;
}

inline std::array<CGFloat, 4> hsbaOf(const std::shared_ptr<UIColor>& color) {
    std::array<CGFloat, 4> c{-1, -1, -1, -1};
    if (color) color->getHue(&c[0], &c[1], &c[2], &c[3]);
    return c;
}

inline std::array<int, 3> bytesOf(const std::shared_ptr<UIColor>& color) {
    auto c = rgbaOf(color);
    return {int(std::lround(c[0] * 255)), int(std::lround(c[1] * 255)), int(std::lround(c[2] * 255))};
}

inline bool sameColor(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    return a && b && a->isEqual(*b);
}

// Points the sandbox (and so the standard user defaults) at a fresh temporary folder.
class SandboxedTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("korva-widgets-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        Sandbox::setRoot(folder_.string());
        NSUserDefaults::resetStandardUserDefaults();
    }
    void TearDown() override {
        NSUserDefaults::resetStandardUserDefaults();
        Sandbox::setRoot("");
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path folder_;
};

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/view/ui_appearance.h"

// A phone screen and a key window on the virtual clock; the appearance registry starts empty.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        UIApplication::resetSharedApplication();
        UIAppearance::reset();
        screen = UIScreen::make(*DeviceModel::named("notched"));
        UIScreen::setMainScreen(screen);
        window = UIWindow::make();
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        window->setRootViewController(nullptr);
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        UIAppearance::reset();
        UIScreen::setMainScreen(UIScreen::make());
    }
    void advance(double seconds) {
        RunLoop::main().advance(seconds);
        window->layoutIfNeeded();
    }

    std::shared_ptr<UIScreen> screen;
    std::shared_ptr<UIWindow> window;
};
