// The side-bar root: set-up order, the menu's reload and did-show, and the events passed on.
#include "app/sidebar/root_controller_base.h"

#include "app/shell/root_controller.h"
#include "app/sidebar/side_bar_depth_style.h"
#include "app/sidebar/side_menu.h"
#include "platform/dispatch/notification_center.h"
#include "platform/runtime/log.h"
#include "platform/ui/view/ui_appearance.h"
#include "ui/controller/view_controller_navigation.h"

std::shared_ptr<UIViewController> RootControllerBase::left() {
    if (!left_) left_ = ::storyboard(self<UIViewController>(), kMenuID);
    return left_;
}

std::shared_ptr<MainController> RootControllerBase::main() {
    if (!main_) main_ = std::dynamic_pointer_cast<MainController>(::storyboard(self<UIViewController>(), kContentID));
    return main_;
}

void RootControllerBase::awakeFromStoryboard() {
    SideBarController::awakeFromStoryboard();
    auto style = SideBarDepthStyle::make();
    style->setMenuWidth(kMenuWidth);
    setPanGestureEnabled(true);
    setDelegate(std::dynamic_pointer_cast<SideBarControllerDelegate>(self<RootControllerBase>()));
    if (!left()) Log::warning("sidebar", std::string("no side menu \"") + kMenuID + "\" in the storyboard");
    setMenuViewController(left(), SideBarDirection::Left);
    setSideBarStyle(style, SideBarDirection::Left);
    setContentViewController(main());
}

void RootControllerBase::viewDidLoad() {
    SideBarController::viewDidLoad();
    // Laid out left to right whatever the language.
    UIAppearance::appearance(UIAppearanceClass::of<UIView>("UIView"))
        .setValue(UIAppearanceProperty::semanticContentAttribute,
                  Value(static_cast<std::int64_t>(UISemanticContentAttribute::ForceLeftToRight)));
}

bool RootControllerBase::shouldAutorotate() const {
    return contentViewController() ? contentViewController()->shouldAutorotate() : true;
}

bool RootControllerBase::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const {
    return contentViewController() ? contentViewController()->shouldAutorotateToInterfaceOrientation(orientation)
                                   : SideBarController::shouldAutorotateToInterfaceOrientation(orientation);
}

UIInterfaceOrientationMask RootControllerBase::supportedInterfaceOrientations() const {
    return contentViewController() ? contentViewController()->supportedInterfaceOrientations()
                                   : SideBarController::supportedInterfaceOrientations();
}

void RootControllerBase::remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& event) {
    NSNotificationCenter::defaultCenter()->post(kRemoteControlReceivedNotification, event);
}

std::shared_ptr<SideBarControllerDelegate> RootControllerBase::listeningScreen() const {
    return main_ ? std::dynamic_pointer_cast<SideBarControllerDelegate>(main_->vc()) : nullptr;
}

void RootControllerBase::sideBarControllerWillShowMenuViewController(SideBarController& bar, UIViewController& menu) {
    statusBarHidden_ = true;
    setNeedsStatusBarAppearanceUpdate();
    if (auto* side = dynamic_cast<SideMenu*>(&menu)) side->reload();
    if (auto screen = listeningScreen()) screen->sideBarControllerWillShowMenuViewController(bar, menu);
}

void RootControllerBase::sideBarControllerDidShowMenuViewController(SideBarController& bar, UIViewController& menu) {
    if (auto* side = dynamic_cast<SideMenu*>(&menu)) side->onDidShow();
    if (auto screen = listeningScreen()) screen->sideBarControllerDidShowMenuViewController(bar, menu);
}

void RootControllerBase::sideBarControllerWillHideMenuViewController(SideBarController& bar, UIViewController& menu) {
    statusBarHidden_ = false;
    setNeedsStatusBarAppearanceUpdate();
    if (auto screen = listeningScreen()) screen->sideBarControllerWillHideMenuViewController(bar, menu);
}

void RootControllerBase::sideBarControllerDidHideMenuViewController(SideBarController& bar, UIViewController& menu) {
    if (auto screen = listeningScreen()) screen->sideBarControllerDidHideMenuViewController(bar, menu);
}
