// The settings screens in the controller registry.
#include "settings/dict/settings_registry.h"

#include "platform/ui/controller/ui_storyboard.h"
#include "settings/dict/settings_dict_controller.h"

void registerSettingsControllers(const std::shared_ptr<UIStoryboard>& storyboard) {
    storyboard->registerController(SettingsDictController::kStoryboardIdentifier, [] { return SettingsDictController::make(); });
}
