// Writes a PNG of a small view tree rendered by the headless host (default korva-views.png).
#include <cstdio>

#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_window.h"
#include "sample_view_tree.h"

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "korva-views.png";
    HostOptions options = HostOptions::fromEnvironment();
    for (const auto& w : options.warnings) std::fprintf(stderr, "korva_ui_snapshot: %s\n", w.c_str());
    options.kind = HostKind::Headless;
    HeadlessHost host(options);
    auto window = UIWindow::make();
    buildSampleViewTree(window);
    window->makeKeyAndVisible();
    auto written = host.writeScreenPNG(path);
    if (!written.ok()) {
        std::fprintf(stderr, "korva_ui_snapshot: %s\n", written.error().c_str());
        return 1;
    }
    std::printf("wrote %s (%dx%d pixels, screen %s)\n", path, host.compositor().pixelWidth(),
                host.compositor().pixelHeight(), options.screen.name.c_str());
    return 0;
}
