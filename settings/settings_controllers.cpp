// The storyboard identifiers of the settings screens.
#include "settings/settings_controllers.h"

#include "platform/ui/controller/ui_storyboard.h"
#include "settings/dict/settings_dict_controller.h"
#include "settings/left/left_controller.h"
#include "settings/lists/language_controller.h"
#include "settings/lists/value_table_basic_controller.h"
#include "settings/lists/value_table_controller.h"

void registerSettingsControllers(const std::shared_ptr<UIStoryboard>& storyboard) {
    storyboard->registerController(LeftController::kStoryboardID, [] { return LeftController::make(); });
    storyboard->registerController(ValueTableBasicController::kStoryboardID,
                                   [] { return ValueTableBasicController::make(); });
    // Scenes a presenter may ask for by their class name.
    storyboard->registerController("ValueTableController", [] { return ValueTableController::make(); });
    storyboard->registerController("LanguageController", [] { return LanguageController::make(); });
    storyboard->registerController(SettingsDictController::kStoryboardIdentifier,
                                   [] { return SettingsDictController::make(); });
}
