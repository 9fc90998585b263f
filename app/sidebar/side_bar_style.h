// How a side-bar menu comes in and goes out: the base of the side bar's styles, with the settings
// and the calls the container makes (all doing nothing here), and what a style tells its
// container. Main thread only.
#pragma once

#include <memory>

#include "platform/runtime/object.h"
#include "platform/ui/app/ui_screen.h"

class SideBarController;
class UIGestureRecognizer;
class UIPanGestureRecognizer;
class UIViewController;

class SideBarStyleDelegate {
public:
    virtual ~SideBarStyleDelegate() = default;
    virtual void sideBarStyleWillShowMenuViewController() = 0;
    virtual void sideBarStyleDidShowMenuViewController() = 0;
    virtual void sideBarStyleWillHideMenuViewController() = 0;
    virtual void sideBarStyleDidHideMenuViewController() = 0;
};

class SideBarStyle : public NSObject {
public:
    KORVA_MAKE(SideBarStyle)

    double menuWidth() const { return menuWidth_; }
    virtual void setMenuWidth(double width) { menuWidth_ = width; }
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds) { animationDuration_ = seconds; }
    std::shared_ptr<SideBarStyleDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<SideBarStyleDelegate>& d) { delegate_ = d; }
    // The container owns its styles, so a style only points back at it.
    std::shared_ptr<SideBarController> sideBarController() const { return sideBarController_.lock(); }
    void setSideBarController(const std::shared_ptr<SideBarController>& c) { sideBarController_ = c; }

    virtual void setContentViewController(const std::shared_ptr<UIViewController>& /*controller*/) {}
    virtual void showMenuViewController() {}
    virtual void hideMenuViewController(bool /*animated*/) {}
    virtual void handleTapGesture(UIGestureRecognizer& /*tap*/) {}
    virtual void handlePanGesture(UIPanGestureRecognizer& /*pan*/) {}
    virtual void willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation /*to*/, double /*duration*/) {}
    virtual void didRotateFromInterfaceOrientation(UIInterfaceOrientation /*from*/) {}

    std::string className() const override { return "SideBarStyle"; }

protected:
    SideBarStyle() = default;

private:
    double menuWidth_ = 0;
    double animationDuration_ = 0;
    std::weak_ptr<SideBarStyleDelegate> delegate_;
    std::weak_ptr<SideBarController> sideBarController_;
};
