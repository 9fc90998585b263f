// The camera's controllers in the application's registry.
#include "camera/screen/camera_registry.h"

#include "camera/screen/view_controller.h"
#include "platform/ui/controller/ui_storyboard.h"

void registerCameraControllers(const std::shared_ptr<UIStoryboard>& storyboard) {
    storyboard->registerController("ViewController", [] { return ViewController::make(); });
}
