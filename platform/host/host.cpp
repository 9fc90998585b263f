// What both hosts share: the screen, frames, clock steps and synthetic input.
#include "platform/host/host.h"

#include <cstdio>
#include <cstdlib>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/device_input.h"
#include "platform/host/headless_host.h"
#include "platform/host/pinch_player.h"
#include "platform/host/window_host.h"
#include "platform/runtime/log.h"
#include "platform/runtime/printable_text.h"
#include "platform/sensors/cm_motion_manager.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/view/ui_view.h"

Host::Host(HostOptions options) : options_(std::move(options)) {
    screen_ = UIScreen::make(options_.screen);
    if (options_.landscape) screen_->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    UIScreen::setMainScreen(screen_);
    compositor_ = std::make_unique<Compositor>(screen_);
    deviceInput_ = std::make_shared<DeviceInput>();
    sink_ = deviceInput_;
}

Host::~Host() = default;

std::unique_ptr<Host> Host::create(const HostOptions& asked, std::string* fallbackReason) {
    if (asked.time == HostTimeMode::Virtual) Clock::useVirtual();
    HostOptions options = asked;
    if (auto configured = configureDeviceServices(options); !configured) {
        // Said once, where the person who started the program sees it; the platform then lists no
        // camera and the application takes its own road for a device without one. The host's
        // options (and so the start line) name no camera.
        std::fprintf(stderr, "korva: cannot open the camera source \"%s\": %s; running without a camera\n",
                     printableText(options.camera).c_str(), printableText(configured.error()).c_str());
        std::fflush(stderr);
        options.camera = "none";
    }
    if (options.kind == HostKind::Window) {
        std::string reason;
        if (auto host = WindowHost::open(options, reason)) return host;
        if (fallbackReason) *fallbackReason = reason;
    }
    HostOptions headless = options;
    headless.kind = HostKind::Headless;
    return std::make_unique<HeadlessHost>(headless);
}

bool Host::renderFrame() {
    return compositor_->update();
}

void Host::step(double seconds) {
    if (seconds > 0)
        RunLoop::main().advance(seconds);
    else
        RunLoop::main().runUntilIdle();
    renderFrame();
}

void Host::sendTouches(const HostTouchEvent& event) {
    if (auto s = sink()) s->touchEvent(event);
}

void Host::tap(CGPoint point) {
    long id = nextTouchId_++;
    sendTouches({Clock::now(), {{id, point, UITouchPhase::Began}}});
    step(0.05);
    sendTouches({Clock::now(), {{id, point, UITouchPhase::Ended}}});
    step(0);
}

void Host::drag(CGPoint from, CGPoint to, double duration, int steps) {
    steps = std::max(1, steps);
    long id = nextTouchId_++;
    sendTouches({Clock::now(), {{id, from, UITouchPhase::Began}}});
    for (int i = 1; i <= steps; ++i) {
        step(duration / steps);
        double t = static_cast<double>(i) / steps;
        CGPoint p{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
        sendTouches({Clock::now(), {{id, p, UITouchPhase::Moved}}});
    }
    sendTouches({Clock::now(), {{id, to, UITouchPhase::Ended}}});
    step(0);
}

void Host::longPress(CGPoint point, double duration) {
    long id = nextTouchId_++;
    sendTouches({Clock::now(), {{id, point, UITouchPhase::Began}}});
    step(duration);
    sendTouches({Clock::now(), {{id, point, UITouchPhase::Ended}}});
    step(0);
}

void Host::pinch(CGPoint center, CGFloat startDistance, CGFloat endDistance, double duration, int steps) {
    steps = std::max(1, steps);
    long a = nextTouchId_++, b = nextTouchId_++;
    auto fingers = [&](CGFloat d, UITouchPhase phase) {
        return HostTouchEvent{Clock::now(),
                              {{a, {center.x - d / 2, center.y}, phase}, {b, {center.x + d / 2, center.y}, phase}}};
    };
    sendTouches(fingers(startDistance, UITouchPhase::Began));
    for (int i = 1; i <= steps; ++i) {
        step(duration / steps);
        sendTouches(fingers(startDistance + (endDistance - startDistance) * i / steps, UITouchPhase::Moved));
    }
    sendTouches(fingers(endDistance, UITouchPhase::Ended));
    step(0);
}

void Host::pinchNotch(CGPoint center, CGFloat change) {
    if (!pinchPlayer_) {
        // Touch identifiers of their own, apart from the host's other synthetic touches.
        constexpr long kPinchTouchIdBase = 1L << 40;
        pinchPlayer_ =
            std::make_unique<PinchPlayer>([this](const HostTouchEvent& e) { sendTouches(e); }, kPinchTouchIdBase);
    }
    pinchPlayer_->push(center, change);
}

bool Host::turnDevice() {
    turned_ = !turned_;
    // Gravity along the device's x axis turned, along -y as it starts. A landscape model starts on
    // its long side, so turned it stands on its short side.
    CMMotionManager::setDeviceGravity(turned_ ? CMAcceleration{-1, 0, 0} : CMAcceleration{0, -1, 0});
    const bool onItsLongSide = turned_ != options_.landscape;
    auto wanted = onItsLongSide ? UIInterfaceOrientation::LandscapeLeft : UIInterfaceOrientation::Portrait;
    UIInterfaceOrientationMask mask = UIInterfaceOrientationMaskAll;
    if (auto window = UIApplication::sharedApplication()->keyWindow())
        if (auto root = std::dynamic_pointer_cast<UIViewController>(window->rootViewController())) {
            // A controller that does not autorotate keeps the interface as it is, whichever way
            // it stands, as the camera screen does on a landscape model: only its icons turn.
            if (!root->shouldAutorotate()) return false;
            mask = root->supportedInterfaceOrientations();
        }
    const UIInterfaceOrientationMask bit = 1u << static_cast<unsigned>(wanted);
    if (!(mask & bit) || screen_->orientation() == wanted) return false;
    screen_->setOrientation(wanted);
    return true;
}

bool Host::tapStatusBar() {
    if (UIApplication::sharedApplication()->isStatusBarHidden()) return false;
    // The bar hears the tap when the finger lifts, as long after it went down as a view's tap.
    step(0.05);
    if (auto s = sink()) s->statusBarTap();
    step(0);
    return true;
}

void Host::pressButton(HostButton button) {
    // The headless host's input is never late: a press is made as it is sent.
    if (auto s = sink()) s->buttonEvent(button, true, Clock::now());
    step(0.05);
    if (auto s = sink()) s->buttonEvent(button, false, Clock::now());
    step(0);
}

void Host::tilt(double dx, double dy) {
    if (auto s = sink()) s->tilt(dx, dy);
}

Result<void> Host::writeScreenPNG(const std::string& path) {
    renderFrame();
    return compositor_->writePNG(path);
}

Result<void> Host::writeViewPNG(UIView& view, const std::string& path) {
    view.layoutIfNeeded();
    return LayerRenderer::writePNG(*view.layer(), screen_->scale(), path);
}
