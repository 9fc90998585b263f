// A drag on a manual-control ruler runs on the main thread beside the live preview: one ruler
// scroll step (the scroll event, the settle-timer restart and the label update, layout and the
// host's redraw of the exposure pop-up) against benchmark 3's preview render (the preset chain
// drawn 750x1000 out of a 3840x2160 frame), both in the same run.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_host.h"
#include "bench/bench_scenes.h"
#include "bench/bench_timing.h"
#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_view.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/host/headless_host.h"
#include "platform/image/ci_context.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/ui_services.h"

namespace {

constexpr int kRuns = 30;
constexpr double kFrame = 1.0 / 60;
constexpr int kW = 3840, kH = 2160, kDim = 20;

struct Host : PopManualViewDelegate {
    std::shared_ptr<DispatchQueue> queue = DispatchQueue::serial("CameraHost");
    std::shared_ptr<AVCaptureDevice> device = makeSyntheticCamera(syntheticBackCameraCapabilities());
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase&) override { return queue; }
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase&) override { return device; }
    void onPopManualBaseChanged(PopManualBase&, bool) override {}
    void onPopManualBaseDidHide(PopManualBase&) override {}
    void onPopManualViewDidShow(PopManualView&) override {}
};

double rulerStep(HeadlessHost& host, double& idle) {
    auto vc = UIViewController::make();
    auto window = UIWindow::make();
    window->makeKeyAndVisible();
    window->setRootViewController(vc);
    auto sender = UIView::make(CGRectMake(170, 700, 50, 50));
    vc->view()->addSubview(sender);
    auto delegate = std::make_shared<Host>();
    auto menu = PopManualView::make(vc);
    menu->setDelegate(delegate);
    auto pop = menu->popExp();
    pop->show(sender, [] {});
    host.step(0.5);
    auto ruler = pop->sldShutterSpeed();
    auto& scroll = *ruler->scroll();
    ruler->scrollViewWillBeginDragging(scroll);
    double value = 10;
    const double step = best(kRuns, [&] {
        value += 0.7;
        scroll.setContentOffset({ruler->valueToScroll(value), 0});
        host.step(kFrame);
    });
    idle = best(kRuns, [&] { host.step(kFrame); });
    // KORVA_RULER_PROFILE=N: N more steps back and forth over the scale, for a profiler.
    if (const char* n = std::getenv("KORVA_RULER_PROFILE")) {
        double dir = 0.7;
        for (int i = std::atoi(n); i > 0; --i) {
            if (value > 90 || value < 10) dir = -dir;
            value += dir;
            scroll.setContentOffset({ruler->valueToScroll(value), 0});
            host.step(kFrame);
        }
    }
    CGPoint target = scroll.contentOffset();
    ruler->scrollViewWillEndDragging(scroll, {0, 0}, &target);
    menu->resetTimer();
    window->setHidden(true);
    return step;
}

double previewRender() {
    PresetChain chain(cubeData(lookCube(kDim, 0)), kDim);
    auto frame = frameImage(syntheticFrame(kW, kH, 1), kW, kH);
    auto gpu = CIContext::gpuContextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    std::vector<std::uint8_t> pixels(750 * 1000 * 4);
    CIBitmapSurface surface{pixels.data(), 750, 1000, 750 * 4, CIFormat::BGRA8};
    return best(20, [&] {
        auto image = chain.apply(shutterGeometry(frame));
        gpu->drawImage(image, CGRectMake(0, 0, 750, 1000), image->extent(), surface);
    });
}

}  // namespace

int main() {
    Clock::useVirtual();
    registerUIServices();
    HeadlessHost host(notchedHeadlessScreen());

    const double preview = previewRender();
    double idle = 0;
    const double step = rulerStep(host, idle);
    std::printf("Korva ruler benchmark\n");
    std::printf(
        "  ruler scroll step with the pop-up's redraw %.2f ms (a frame with nothing moving %.2f ms),"
        " preview render 750x1000 %.2f ms\n",
        step * 1e3, idle * 1e3, preview * 1e3);
    verdict("ruler scroll step / preview render (benchmark 3)", step / preview, 1.0);
    // The pop-up's last settings still reach the camera on its queue: they finish before the
    // process tears down what their completions use.
    DispatchQueue::waitUntilBackgroundIdle();
    return 0;
}
