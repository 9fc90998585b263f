// One full-screen image paint, the reference the frame benchmarks are measured against.
#include "bench/screen_paint.h"

#include "bench/bench_timing.h"
#include "platform/host/headless_host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/graphics.h"

namespace {

// A photograph-sized picture with detail everywhere, so that painting it is real work.
std::shared_ptr<UIImage> screenImage(CGSize points, CGFloat scale) {
    UIGraphicsBeginImageContextWithOptions(points, true, scale);
    auto context = UIGraphicsGetCurrentContext();
    for (int band = 0; band < 64; ++band) {
        double f = band / 63.0;
        context->setFillColorWithColor(CGColor::rgb(0.2 + 0.6 * f, 0.5 - 0.3 * f, 0.8 - 0.5 * f, 1));
        context->fillRect(CGRectMake(0, points.height * f, points.width, points.height / 63 + 1));
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

}  // namespace

double fullScreenImagePaint(HeadlessHost& host, int runs) {
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    auto imageView = UIImageView::make(window->bounds());
    imageView->setImage(screenImage(host.screen()->bounds().size, host.screen()->scale()));
    window->addSubview(imageView);
    host.renderFrame();
    const double paint = best(runs, [&] {
        host.compositor().invalidate();
        host.renderFrame();
    });
    window->setHidden(true);
    UIApplication::resetSharedApplication();
    return paint;
}
