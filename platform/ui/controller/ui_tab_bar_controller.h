// The tab bar controller: one child shown at a time above a tab bar made of the children's tab
// bar items.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/controller/ui_view_controller.h"

class UITabBarController;

class UITabBarControllerDelegate {
public:
    virtual ~UITabBarControllerDelegate() = default;
    virtual bool shouldSelectViewController(UITabBarController&, const std::shared_ptr<UIViewController>&) {
        return true;
    }
    virtual void didSelectViewController(UITabBarController&, const std::shared_ptr<UIViewController>&) {}
};

class UITabBarController : public UIViewController, public UITabBarDelegate {
public:
    KORVA_MAKE(UITabBarController)

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return children_; }
    // Controllers already in another container are left out. The selection moves to the first
    // tab unless the selected controller stays.
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers, bool animated = false);
    std::size_t selectedIndex() const { return selected_; }
    // An index past the end is ignored.
    void setSelectedIndex(std::size_t index);
    std::shared_ptr<UIViewController> selectedViewController() const;
    void setSelectedViewController(const std::shared_ptr<UIViewController>& controller);
    std::shared_ptr<UITabBar> tabBar();
    std::shared_ptr<UITabBarControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UITabBarControllerDelegate>& d) { delegate_ = d; }

    // The tab bar's tap: asks the delegate, selects, reports.
    void didSelectItem(UITabBar& bar, const std::shared_ptr<UITabBarItem>& item) override;

    void loadView() override;
    void viewDidLayoutSubviews() override;
    std::shared_ptr<UIViewController> childViewControllerForStatusBarStyle() const override {
        return selectedViewController();
    }
    std::shared_ptr<UIViewController> childViewControllerForStatusBarHidden() const override {
        return selectedViewController();
    }
    bool shouldAutorotate() const override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override;
    std::string className() const override { return "UITabBarController"; }

protected:
    UITabBarController() = default;

private:
    void show(std::size_t index);

    std::vector<std::shared_ptr<UIViewController>> children_;
    std::size_t selected_ = 0;
    std::shared_ptr<UIViewController> shown_;
    std::shared_ptr<UITabBar> tabBar_;
    std::shared_ptr<UIView> content_;
    std::weak_ptr<UITabBarControllerDelegate> delegate_;
};
