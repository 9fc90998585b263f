// The side menu's preparation before its first frame moves (a snapshot of the content and five
// box-blur passes over it) against the host's composite of one frame of the same screen, in the
// same run, on the notched screen at its scale.
#include <cstdio>

#include "app/sidebar/side_bar_controller.h"
#include "app/sidebar/side_bar_depth_style.h"
#include "app/sidebar/side_bar_image.h"
#include "bench/bench_host.h"
#include "bench/bench_timing.h"
#include "platform/dispatch/clock.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "ui/ui_services.h"

namespace {

constexpr int kRuns = 20;

// A screen with detail everywhere: colour bands and a column of labels.
std::shared_ptr<UIViewController> busyScreen(CGSize points) {
    auto screen = UIViewController::make();
    UIGraphicsBeginImageContextWithOptions(points, true, 1);
    auto context = UIGraphicsGetCurrentContext();
    for (int band = 0; band < 64; ++band) {
        double f = band / 63.0;
        context->setFillColorWithColor(CGColor::rgb(0.2 + 0.6 * f, 0.5 - 0.3 * f, 0.8 - 0.5 * f, 1));
        context->fillRect(CGRectMake(0, points.height * f, points.width, points.height / 63 + 1));
    }
    auto picture = UIImageView::make(CGRect{{0, 0}, points});
    picture->setImage(UIGraphicsGetImageFromCurrentImageContext());
    UIGraphicsEndImageContext();
    screen->view()->addSubview(picture);
    for (int i = 0; i < 12; ++i) {
        auto label = UILabel::make(CGRectMake(20, 40 + i * 50, points.width - 40, 30));
        label->setText("Row " + std::to_string(i + 1) + " of the screen under the menu");
        label->setTextColor(UIColor::whiteColor());
        screen->view()->addSubview(label);
    }
    return screen;
}

}  // namespace

int main() {
    Clock::useVirtual();
    registerUIServices();
    HeadlessHost host(notchedHeadlessScreen());
    const CGSize points = host.screen()->bounds().size;

    auto bar = SideBarController::make();
    auto style = SideBarDepthStyle::make();
    bar->setMenuViewController(UIViewController::make(), SideBarDirection::Left);
    bar->setSideBarStyle(style, SideBarDirection::Left);
    bar->setContentViewController(busyScreen(points));
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    window->setRootViewController(bar);
    host.step(0.1);

    const double frame = best(kRuns, [&] {
        host.compositor().invalidate();
        host.renderFrame();
    });
    const double prepare = best(kRuns, [&] { style->prepareForShowingMenuViewController(); });
    // Its two stages, for the record.
    auto content = bar->contentViewController()->view();
    const CGSize tall{points.width, points.height * (3 - 2 * style->closedScale())};
    std::shared_ptr<UIImage> snapshot;
    const double snap = best(kRuns, [&] { snapshot = imageFromView(*content, tall); });
    const double blur = best(kRuns, [&] {
        blurredImage(snapshot, style->blurRadius(), SideBarDepthStyle::kBlurIterations, UIColor::clearColor());
    });

    std::printf("Korva side-bar benchmark (%gx%g points at %gx)\n", points.width, points.height,
                host.screen()->scale());
    std::printf(
        "  menu preparation %.2f ms (snapshot %.2f ms, 5 blur passes %.2f ms), composite of one frame %.2f ms\n",
        prepare * 1e3, snap * 1e3, blur * 1e3, frame * 1e3);
    verdict("side-menu preparation / composite of one frame", prepare / frame, 2.0);
    return 0;
}
