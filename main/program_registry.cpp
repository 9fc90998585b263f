// The composition root's registrations: services first, then the rules screens are drawn by, then
// the controller registry (the shell, the settings screens, the camera screen in place of the
// shell's stand-in, the photo editor).
#include "main/program_registry.h"

#include "app/rate/rate_prompt.h"
#include "app/shell/app_registry.h"
#include "camera/screen/camera_registry.h"
#include "capture/capture_services.h"
#include "editor/photo/edit_controller.h"
#include "filter/filter_preset.h"
#include "foundation/net_services.h"
#include "language/language_services.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "settings/settings_controllers.h"
#include "ui/ui_services.h"
#include "widgets/flat/status_bar_flat_kit.h"

void registerProgram() {
    // Services that Global makes on first use but that live above the foundation.
    registerFilterServices();
    registerPicsAndFilesHost();
    registerUIServices();
    registerCaptureServices();
    registerLanguageServices();
    // The status-bar rules are in place before any screen exists.
    installFlatKitStatusBarBehaviour();
    auto storyboard = UIStoryboard::mainStoryboard();
    registerAppControllers(storyboard);
    registerSettingsControllers(storyboard);
    registerCameraControllers(storyboard);
    storyboard->registerController(EditController::kStoryboardIdentifier, [] { return EditController::make(); });
    // The rating prompt counts this launch once the main queue runs.
    RatePrompt::sharedInstance();
}
