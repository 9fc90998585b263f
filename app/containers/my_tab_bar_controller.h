// The platform tab bar container, telling its children which of them the tapped item selects.
// Main thread only.
#pragma once

#include "app/containers/container_children.h"
#include "platform/ui/controller/ui_tab_bar_controller.h"
#include "ui/controls/badge_host.h"

// Told when its tab item is selected or another one is.
class MyTabBarControllerChild {
public:
    virtual ~MyTabBarControllerChild() = default;
    virtual void onMyTabBarControllerSelectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
    virtual void onMyTabBarControllerUnselectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
};

// The animated buttons inside it put their badges on its view.
class MyTabBarController : public SelectedChildAnswers<UITabBarController>, public BadgeHostController {
public:
    KORVA_MAKE(MyTabBarController)
    std::shared_ptr<UIViewController> selectedChild() const override { return selectedViewController(); }
    void viewDidLoad() override;
    void didSelectItem(UITabBar& bar, const std::shared_ptr<UITabBarItem>& item) override;
    std::string className() const override { return "MyTabBarController"; }

protected:
    MyTabBarController() = default;
};
