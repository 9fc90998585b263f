// The busiest widget frame (ten spinning rings over thumbnails, the HUD's indicator and a
// scrolling title, on the notched screen at its scale) against one full-screen paint of an image
// of the screen's size, in the same run.
#include <cstdio>

#include "bench/bench_host.h"
#include "bench/bench_timing.h"
#include "bench/screen_paint.h"
#include "platform/dispatch/clock.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "tests/widgets/widget_frame_scene.h"

namespace {

constexpr int kRuns = 30;
constexpr double kFrame = 1.0 / 60;

}  // namespace

int main() {
    Clock::useVirtual();
    HeadlessHost host(notchedHeadlessScreen());
    CGSize points = host.screen()->bounds().size;
    CGFloat scale = host.screen()->scale();

    // One full-screen paint of the image: the whole framebuffer composited again.
    const double paint = fullScreenImagePaint(host, kRuns);

    // The widget frame: the clock moves a frame on, the animations advance and the screen is drawn.
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    auto scene = buildWidgetFrameScene(window);
    host.step(2);
    double frame = best(kRuns, [&] { host.step(kFrame); });

    std::printf("Korva widget frame benchmark (%gx%g points at %gx)\n", points.width, points.height, scale);
    std::printf("  widget frame %.2f ms, full-screen image paint %.2f ms\n", frame * 1e3, paint * 1e3);
    verdict("widget frame / full-screen image paint", frame / paint, 3.0);
    return 0;
}
