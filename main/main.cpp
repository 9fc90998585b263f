// Program entry: the allocator's setting for large blocks, every registration (registerProgram), the page engine once a
// window has opened, then the platform's application main with the delegate class "AppDelegate".
#include <cstdio>

#include "main/program_registry.h"
#include "platform/host/heap_trimmer.h"
#include "platform/host/ui_application_main.h"
#include "platform/host/window_host.h"
#include "platform/webengine/web_engine.h"

int main(int argc, char** argv) {
    // First, before the program starts threads of its own or allocates anything large: a photo's
    // pictures then go back to the system when freed, whichever worker decoded them.
    HeapTrimmer::mapLargeBlocks();
    registerProgram();
    // Web pages run on the page engine in a window, on the display the window reached; the
    // headless host keeps their text form.
    WindowHost::whenOpened([] {
        if (auto why = webengine::installOnFirstUse())
            std::fprintf(stderr, "korva: web pages shown as text: %s\n", why->c_str());
    });
    return UIApplicationMain(argc, argv, "", "AppDelegate");
}
