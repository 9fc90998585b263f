// The camera screen's preview tick on the main thread: the screen's own drawing of its newest
// camera frame through the chosen look into the preview (the engine's render, the drawable's
// binding and clearing and its hand-over to the layer), against the engine's render of the same
// recipe into a bitmap of the same size, in the same run. The screen runs on the synthetic camera
// at the sizes the camera host asks for, headless, on the notched screen at its scale.
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "app/shell/app_registry.h"
#include "bench/bench_host.h"
#include "bench/bench_timing.h"
#include "bench/camera_bench_screen.h"
#include "camera/screen/camera_registry.h"
#include "camera/screen/view_controller.h"
#include "capture/camera_host.h"
#include "capture/capture_services.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "filter/glk_view.h"
#include "filter/preview_geometry.h"
#include "foundation/global.h"
#include "platform/capture/capture_authorization.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/image/ci_context.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "ui/ui_services.h"

namespace {

constexpr int kRuns = 20;

}  // namespace

int main() {
    CameraBenchScreen bench("preview-bench");
    auto& host = *bench.host;
    auto& window = bench.window;
    auto& screen = bench.screen;
    const auto& dir = bench.dir;
    auto maker = screen->hosts().stored();
    auto frame = screen->previewRoad()->lastScreen();
    auto view = screen->preview();
    if (!screen->previewRoad()->readyScreenRect() || !maker || !frame || view->drawableWidth() < 1) {
        std::fprintf(stderr, "the camera screen did not show a picture (ready %d, host %d, frame %d, preview %d)\n",
                     int(screen->previewRoad()->readyScreenRect()), int(bool(maker)), int(bool(frame)),
                     view->drawableWidth());
        return 1;
    }
    // Every tick draws the same frame: the camera's next frame would only change the numbers.
    const double tick = best(kRuns, [&] { screen->updateScreen(); });
    const double tickAndFrame = best(kRuns, [&] {
        screen->updateScreen();
        host.renderFrame();
    });

    auto image = screen->screenElement() ? screen->screenElement()->make(frame) : frame;
    const int W = view->drawableWidth(), H = view->drawableHeight();
    PreviewRects rects = previewRects(image->extent(), W, H, view->contentMode());
    std::vector<std::uint8_t> pixels(std::size_t(W) * H * 4);
    CIBitmapSurface surface{pixels.data(), W, H, std::size_t(W) * 4, CIFormat::BGRA8};
    auto gpu = maker->context()->ciGPU();
    const double render = best(kRuns, [&] { gpu->drawImage(image, rects.target, rects.source, surface); });

    std::printf("Korva camera preview benchmark (frame %gx%g, preview %dx%d pixels)\n", frame->extent().size.width,
                frame->extent().size.height, W, H);
    std::printf(
        "  preview tick %.2f ms (with the screen's composite %.2f ms), engine render of the same frame %.2f ms\n",
        tick * 1e3, tickAndFrame * 1e3, render * 1e3);
    verdict("preview tick / engine render of the same frame", tick / render, 2.0);
    window->setHidden(true);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
