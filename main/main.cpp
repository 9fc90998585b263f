// Program entry: every registration (registerProgram), the page engine when there is a window,
// then the platform's application main with the delegate class "AppDelegate".
#include <cstdio>

#include "main/program_registry.h"
#include "platform/host/host_options.h"
#include "platform/host/ui_application_main.h"
#include "platform/webengine/web_engine.h"

int main(int argc, char** argv) {
    registerProgram();
    // Web pages run on the page engine in a window; the headless host keeps their text form.
    if (HostOptions::fromEnvironment().kind == HostKind::Window) {
        if (auto why = webengine::installOnFirstUse())
            std::fprintf(stderr, "korva: web pages shown as text: %s\n", why->c_str());
    }
    return UIApplicationMain(argc, argv, "", "AppDelegate");
}
