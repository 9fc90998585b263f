// The application's controller registry.
#include "app/shell/app_registry.h"

#include "app/app_delegate.h"
#include "app/shell/placeholder_controller.h"
#include "app/shell/root_controller.h"
#include "app/sidebar/root_controller_base.h"
#include "app/web/my_web_controller.h"
#include "platform/host/ui_application_main.h"
#include "platform/ui/controller/ui_storyboard.h"

void registerAppControllers(const std::shared_ptr<UIStoryboard>& storyboard) {
    storyboard->registerController("RootController", [] { return RootController::make(); });
    storyboard->registerController("MainController", [] { return MainController::make(); });
    storyboard->registerController("ViewController", [] { return PlaceholderController::make(); });
    storyboard->registerController(MyWebController::kStoryboardID, [] { return MyWebController::make(); });
    storyboard->registerController(RootControllerBase::kStoryboardID, [] { return RootControllerBase::make(); });
    storyboard->setInitialIdentifier("RootController");
    UIApplicationDelegateClasses::registerClass("AppDelegate", [] { return AppDelegate::make(); });
}
