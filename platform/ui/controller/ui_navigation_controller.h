// The navigation controller: a stack of controllers, the top one shown under a navigation bar,
// pushed and popped with a slide; an optional toolbar at the bottom.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_transitioning.h"

class UINavigationController;
enum class UINavigationControllerOperation { None, Push, Pop };

class UINavigationControllerDelegate {
public:
    virtual ~UINavigationControllerDelegate() = default;
    virtual void willShowViewController(UINavigationController&, const std::shared_ptr<UIViewController>&, bool) {}
    virtual void didShowViewController(UINavigationController&, const std::shared_ptr<UIViewController>&, bool) {}
    virtual std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForOperation(
        UINavigationController&, UINavigationControllerOperation, const std::shared_ptr<UIViewController>& /*from*/,
        const std::shared_ptr<UIViewController>& /*to*/) {
        return nullptr;
    }
};

class UINavigationController : public UIViewController {
public:
    KORVA_MAKE(UINavigationController)
    static std::shared_ptr<UINavigationController> withRoot(const std::shared_ptr<UIViewController>& root);

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return stack_; }
    // Replaces the stack; controllers listed twice or already in another container are dropped.
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers, bool animated);
    // Refused (false) for a controller already in a stack or container, or presented.
    bool pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated);
    // None when only the root is left.
    std::shared_ptr<UIViewController> popViewControllerAnimated(bool animated);
    // The controllers popped (empty when `controller` is not in the stack or already on top).
    std::vector<std::shared_ptr<UIViewController>> popToViewController(
        const std::shared_ptr<UIViewController>& controller, bool animated);
    std::vector<std::shared_ptr<UIViewController>> popToRootViewControllerAnimated(bool animated);
    std::shared_ptr<UIViewController> topViewController() const { return stack_.empty() ? nullptr : stack_.back(); }
    // The top controller, or what it presents.
    std::shared_ptr<UIViewController> visibleViewController() const;
    // True while a push or pop animates; stack changes made meanwhile finish it first.
    bool isTransitioning() const { return transition_ != nullptr; }

    std::shared_ptr<UINavigationBar> navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    std::shared_ptr<UIToolbar> toolbar();
    bool isToolbarHidden() const { return toolbarHidden_; }
    void setToolbarHidden(bool hidden, bool animated = false);

    std::shared_ptr<UINavigationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UINavigationControllerDelegate>& d) { delegate_ = d; }

    // The content area below the bar (in the controller's view).
    CGRect contentFrame() const;

    void loadView() override;
    void viewDidLayoutSubviews() override;
    bool prefersStatusBarHidden() const override;
    // The top controller's answer, unless a provider replaces it.
    UIStatusBarStyle preferredStatusBarStyle() const override;
    using NavigationStatusBarStyleProvider = std::function<UIStatusBarStyle(const UINavigationController&)>;
    static void setNavigationStatusBarStyleProvider(NavigationStatusBarStyleProvider provider);
    // Runs after every navigation controller's viewDidLoad (installed once at start-up).
    static void setViewDidLoadHook(std::function<void(UINavigationController&)> hook);
    bool shouldAutorotate() const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    std::string className() const override { return "UINavigationController"; }

protected:
    UINavigationController() = default;

private:
    class Transition;
    void viewDidLoadFinished() override;
    void showTop(const std::shared_ptr<UIViewController>& from, UINavigationControllerOperation op, bool animated);
    void finishTransitionNow();
    void syncBarItems();
    bool canAdopt(const std::shared_ptr<UIViewController>& c) const;

    std::vector<std::shared_ptr<UIViewController>> stack_;
    std::shared_ptr<UINavigationBar> bar_;
    std::shared_ptr<UIToolbar> toolbar_;
    std::shared_ptr<UIView> content_;
    bool barHidden_ = false;
    bool toolbarHidden_ = true;
    std::weak_ptr<UINavigationControllerDelegate> delegate_;
    std::shared_ptr<Transition> transition_;
};
