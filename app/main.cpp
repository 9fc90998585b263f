// Program entry: starts the host that plays the part of the device, with an empty window.
#include <cstdio>
#include <string>

#include "filter/filter_preset.h"
#include "foundation/net_services.h"
#include "platform/host/host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/color.h"
#include "widgets/flat/status_bar_flat_kit.h"

int main() {
    HostOptions options = HostOptions::fromEnvironment();
    for (const auto& warning : options.warnings) std::fprintf(stderr, "korva: %s\n", warning.c_str());

    std::string fallback;
    auto host = Host::create(options, &fallback);
    if (!fallback.empty()) std::printf("korva: no window (%s); running headless\n", fallback.c_str());

    // Services that Global makes on first use but that live above the foundation.
    registerFilterServices();
    registerPicsAndFilesHost();
    // The status-bar rules are in place before any screen exists.
    installFlatKitStatusBarBehaviour();

    auto app = UIApplication::sharedApplication();
    auto window = UIWindow::make();
    auto root = UIView::make(window->bounds());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    root->setBackgroundColor(UIColor::blackColor());
    window->addSubview(root);
    window->makeKeyAndVisible();
    app->finishLaunching();

    std::printf("korva: started the %s\n", host->options().summary().c_str());
    std::fflush(stdout);
    int code = host->run();
    if (host->kind() == HostKind::Headless)
        std::printf("korva: headless host drew one %dx%d frame; exiting\n", host->compositor().pixelWidth(),
                    host->compositor().pixelHeight());
    return code;
}
