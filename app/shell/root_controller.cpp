// The root controller.
#include "app/shell/root_controller.h"

#include "foundation/global.h"
#include "platform/dispatch/notification_center.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/view/ui_appearance.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/theme/color.h"

std::shared_ptr<MainController> RootController::main() {
    if (!main_)
        main_ = std::dynamic_pointer_cast<MainController>(::storyboard(self<UIViewController>(), "MainController"));
    return main_;
}

void RootController::installAppearance() {
    // Laid out left to right whatever the language.
    UIAppearance::appearance(UIAppearanceClass::of<UIView>("UIView"))
        .setValue(UIAppearanceProperty::semanticContentAttribute,
                  Value(static_cast<std::int64_t>(UISemanticContentAttribute::ForceLeftToRight)));
    UIBarButtonItem::setAppearanceTintColor(Global::shared()->color()->barButton());
}

void RootController::viewDidLoad() {
    UIViewController::viewDidLoad();
    installAppearance();
    auto switcher = main();
    if (!switcher) return;
    addChild(self<UIViewController>(), switcher, view());
    switcher->setName("ViewController");
}

bool RootController::shouldAutorotate() const {
    return main_ ? main_->shouldAutorotate() : true;
}

bool RootController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const {
    return main_ ? main_->shouldAutorotateToInterfaceOrientation(orientation)
                 : UIViewController::shouldAutorotateToInterfaceOrientation(orientation);
}

UIInterfaceOrientationMask RootController::supportedInterfaceOrientations() const {
    return main_ ? main_->supportedInterfaceOrientations() : UIViewController::supportedInterfaceOrientations();
}

UIInterfaceOrientation RootController::preferredInterfaceOrientationForPresentation() const {
    return main_ ? main_->preferredInterfaceOrientationForPresentation()
                 : UIViewController::preferredInterfaceOrientationForPresentation();
}

void RootController::remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& event) {
    NSNotificationCenter::defaultCenter()->post(kRemoteControlReceivedNotification, event);
}
