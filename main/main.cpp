// Program entry: the services that live above the foundation, the controller registry (the shell,
// then the camera screen in place of its stand-in), then the platform's application main with the
// delegate class "AppDelegate".
#include <cstdio>

#include "app/rate/rate_prompt.h"
#include "app/shell/app_registry.h"
#include "camera/screen/camera_registry.h"
#include "capture/capture_services.h"
#include "editor/photo/edit_controller.h"
#include "filter/filter_preset.h"
#include "foundation/net_services.h"
#include "language/language_services.h"
#include "platform/host/host_options.h"
#include "platform/host/ui_application_main.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/webengine/web_engine.h"
#include "settings/settings_controllers.h"
#include "ui/ui_services.h"
#include "widgets/flat/status_bar_flat_kit.h"

int main(int argc, char** argv) {
    // Services that Global makes on first use but that live above the foundation.
    registerFilterServices();
    registerPicsAndFilesHost();
    registerUIServices();
    registerCaptureServices();
    registerLanguageServices();
    // The status-bar rules are in place before any screen exists.
    installFlatKitStatusBarBehaviour();
    registerAppControllers(UIStoryboard::mainStoryboard());
    registerSettingsControllers(UIStoryboard::mainStoryboard());
    registerCameraControllers(UIStoryboard::mainStoryboard());
    UIStoryboard::mainStoryboard()->registerController(EditController::kStoryboardIdentifier,
                                                       [] { return EditController::make(); });
    // The rating prompt counts this launch once the main queue runs.
    RatePrompt::sharedInstance();
    // Web pages run on the page engine in a window; the headless host keeps their text form.
    if (HostOptions::fromEnvironment().kind == HostKind::Window) {
        if (auto why = webengine::installOnFirstUse())
            std::fprintf(stderr, "korva: web pages shown as text: %s\n", why->c_str());
    }
    return UIApplicationMain(argc, argv, "", "AppDelegate");
}
