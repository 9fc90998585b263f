// The side bar's fixture: a stand-in side menu registered as "LeftController", a screen that
// listens to the side bar, and fingers for drags.
#pragma once

#include <string>
#include <vector>

#include "app/shell/placeholder_controller.h"
#include "app/sidebar/side_bar_controller.h"
#include "app/sidebar/side_menu.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/app/app_test_support.h"

struct StandInMenu : UIViewController, SideMenu {
    std::vector<std::string> calls;
    void viewDidLoad() override { view()->setBackgroundColor(UIColor::systemTealColor()); }
    void reload() override { calls.push_back("reload"); }
    void onDidShow() override { calls.push_back("onDidShow"); }
};

struct ListeningScreen : PlaceholderController, SideBarControllerDelegate {
    std::vector<std::string> events;
    void sideBarControllerWillShowMenuViewController(SideBarController&, UIViewController&) override {
        events.push_back("willShow");
    }
    void sideBarControllerDidHideMenuViewController(SideBarController&, UIViewController&) override {
        events.push_back("didHide");
    }
};

struct SideBarTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        UIStoryboard::mainStoryboard()->registerController("LeftController", [] { return make<StandInMenu>(); });
        UIStoryboard::mainStoryboard()->registerController("ListeningScreen", [] { return make<ListeningScreen>(); });
    }
    static void send(CGPoint p, UITouchPhase phase) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{7, p, phase}}});
    }
    // A straight drag in ten moves over a third of a second; `end` moves last, after a pause.
    void drag(CGPoint from, CGPoint to, std::optional<CGPoint> end = std::nullopt) {
        send(from, UITouchPhase::Began);
        for (int i = 1; i <= 10; ++i) {
            RunLoop::main().advance(0.03);
            double f = i / 10.0;
            send({from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f}, UITouchPhase::Moved);
        }
        CGPoint last = to;
        if (end) {
            for (int i = 1; i <= 3; ++i) {
                RunLoop::main().advance(0.02);
                last = {to.x + (end->x - to.x) * i / 3.0, to.y + (end->y - to.y) * i / 3.0};
                send(last, UITouchPhase::Moved);
            }
        }
        send(last, UITouchPhase::Ended);
        settle();
    }
};
