// Navigation, bar items, the modal question, storyboard and children.
#include "ui/controller/view_controller_navigation.h"

#include <functional>

#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/controller/ui_tab_bar_controller.h"
#include "ui/controller/custom_containers.h"
#include "ui/theme/system_appearance.h"

namespace {

bool parentIsNavigation(const UIViewController& c) {
    return std::dynamic_pointer_cast<UINavigationController>(c.parentViewController()) != nullptr;
}

// The navigation controller a push or pop goes to: the receiver's, climbing first through every
// parent that is not one.
std::shared_ptr<UINavigationController> navigationFor(ControllerPtr c) {
    while (c) {
        auto parent = c->parentViewController();
        if (parent && !std::dynamic_pointer_cast<UINavigationController>(parent)) {
            c = parent;
            continue;
        }
        if (auto nav = c->navigationController()) return nav;
        return std::dynamic_pointer_cast<UINavigationController>(c);
    }
    return nullptr;
}

const CustomContainerHost* hostOf(const UIViewController& c) {
    return dynamic_cast<const CustomContainerHost*>(&c);
}

// The navigation item the bar setters write to; none when the title went to a segment instead.
std::shared_ptr<UINavigationItem> navigationItemFor(ControllerPtr c,
                                                    const std::function<bool(const ControllerPtr&)>& segment) {
    while (c) {
        if (auto host = hostOf(*c)) {
            if (auto tab = host->myTabBarCustomController()) return tab->navigationItem();
            if (segment && segment(c)) return nullptr;
        }
        auto parent = c->parentViewController();
        if (parent && !parentIsNavigation(*c)) {
            c = parent;
            continue;
        }
        if (auto tabs = c->tabBarController()) return tabs->navigationItem();
        return c->navigationItem();
    }
    return nullptr;
}

}  // namespace

void push(const ControllerPtr& receiver, const ControllerPtr& controller, bool animated) {
    if (auto nav = navigationFor(receiver); nav && controller) nav->pushViewController(controller, animated);
}

void pop(const ControllerPtr& receiver, bool animated) {
    if (auto nav = navigationFor(receiver)) nav->popViewControllerAnimated(animated);
}

void setNavLeft(const ControllerPtr& receiver, const BarItems& items) {
    if (auto item = navigationItemFor(receiver, nullptr)) item->setLeftBarButtonItems(items);
}

void setNavRight(const ControllerPtr& receiver, const BarItems& items) {
    if (auto item = navigationItemFor(receiver, nullptr)) item->setRightBarButtonItems(items);
}

void setNavTitle(const ControllerPtr& receiver, const std::string& title) {
    auto segment = [&title](const ControllerPtr& c) {
        auto segmented = hostOf(*c)->mySegmentedController();
        if (segmented) segmented->setSegText(*c, title);
        return segmented != nullptr;
    };
    if (auto item = navigationItemFor(receiver, segment)) item->setTitle(title);
}

void setNavView(const ControllerPtr& receiver, const std::shared_ptr<UIView>& view) {
    if (auto item = navigationItemFor(receiver, nullptr)) item->setTitleView(view);
}

bool isModal(const UIViewController& receiver) {
    auto nav = receiver.navigationController();
    auto tabs = receiver.tabBarController();
    const bool contained = receiver.parentViewController() || (nav && nav->parentViewController()) ||
                           (tabs && std::dynamic_pointer_cast<UITabBarController>(tabs->parentViewController())) ||
                           receiver.presentingViewController() || (nav && nav->presentingViewController()) ||
                           (tabs && std::dynamic_pointer_cast<UITabBarController>(tabs->presentingViewController()));
    return contained && nav && nav->viewControllers().size() == 1;
}

ControllerPtr storyboard(const ControllerPtr& receiver, const std::string& identifier) {
    std::shared_ptr<UIStoryboard> board = receiver ? receiver->storyboard() : nullptr;
    if (!board) {
        if (auto nav = std::dynamic_pointer_cast<UINavigationController>(receiver); nav && nav->topViewController())
            board = nav->topViewController()->storyboard();
    }
    if (!board) {
        if (auto r = root()) board = r->storyboard();
    }
    return board ? board->instantiateViewControllerWithIdentifier(identifier) : nullptr;
}

void addChild(const ControllerPtr& receiver, const ControllerPtr& child, const std::shared_ptr<UIView>& parentView) {
    if (!receiver || !child || !parentView) return;
    receiver->addChildViewController(child);
    parentView->addSubview(child->view());
    child->didMoveToParentViewController(receiver);
}

void removeChild(const ControllerPtr& child) {
    if (!child) return;
    child->willMoveToParentViewController(nullptr);
    if (auto v = child->viewIfLoaded()) v->removeFromSuperview();
    child->removeFromParentViewController();
}

std::shared_ptr<UIApplicationDelegate> app() {
    return UIApplication::sharedApplication()->delegate();
}

ControllerPtr root() {
    auto window = UIApplication::sharedApplication()->keyWindow();
    return window ? std::dynamic_pointer_cast<UIViewController>(window->rootViewController()) : nullptr;
}

void ignoreDarkMode(UIViewController& receiver) {
    if (hasSystemAppearance()) receiver.setOverrideUserInterfaceStyle(UIUserInterfaceStyle::Light);
}
