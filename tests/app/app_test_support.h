// The app shell's fixture: the toolkit fixture (phone screen, key window, virtual clock, fresh
// data folder and Global) with a fresh controller registry holding the shell's controllers.
#pragma once

#include <string>
#include <vector>

#include "app/base/my_view_controller.h"
#include "app/rate/rate_prompt.h"
#include "app/shell/app_registry.h"
#include "platform/dispatch/queue.h"
#include "platform/host/ui_application_main.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/view/ui_appearance.h"
#include "tests/ui/ui_test_support.h"

struct AppTest : ToolkitTest {
    void SetUp() override {
        ToolkitTest::SetUp();
        UIStoryboard::resetMainStoryboard();
        UIAppearance::reset();
        registerAppControllers(UIStoryboard::mainStoryboard());
    }
    void TearDown() override {
        DispatchQueue::waitUntilBackgroundIdle();
        RatePrompt::resetSharedInstance();
        UIStoryboard::resetMainStoryboard();
        UIApplicationDelegateClasses::clear();
        UIAppearance::reset();
        ToolkitTest::TearDown();
    }
    // Puts a controller on screen as the window's root and lets it appear.
    template <class T>
    std::shared_ptr<T> show(std::shared_ptr<T> controller) {
        window->setRootViewController(controller);
        settle();
        return controller;
    }
};

// A screen that records the hooks of the controller chain.
struct HookScreen : MyViewController {
    KORVA_MAKE(HookScreen)
    std::vector<std::string> hooks;
    void updateFontSize() override {
        MyViewController::updateFontSize();
        hooks.push_back("font");
    }
    void updateView() override {
        MyViewController::updateView();
        hooks.push_back("view");
    }
    void updateDarkMode() override {
        MyViewController::updateDarkMode();
        hooks.push_back("dark");
    }
    void didRotateOrResizeInterface() override {
        MyViewController::didRotateOrResizeInterface();
        hooks.push_back("rotate");
    }
    int count(const std::string& hook) const { return static_cast<int>(std::count(hooks.begin(), hooks.end(), hook)); }

protected:
    HookScreen() = default;
};
