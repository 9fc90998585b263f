// The camera's controls: the manual-control menu and its three control pop-ups (one mid-drag),
// "NOT SUPPORTED", the option pop-up with each of its choice pop-ups, the focus and exposure
// markers flying in and blinking, the level guide level and tilted, and the time bar either side
// of 15 s.
#include <mutex>
#include <string>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/options/pop_option_flash_view.h"
#include "camera/options/pop_option_ratio_view.h"
#include "camera/options/pop_option_timer_view.h"
#include "camera/options/pop_option_view.h"
#include "camera/overlays/focus_view.h"
#include "camera/overlays/guide_view.h"
#include "camera/overlays/time_progress_view.h"
#include "foundation/global.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

namespace {

// Answers the manual pop-ups with a synthetic camera and a serial queue.
struct Host : PopManualViewDelegate, PopOptionViewDelegate {
    std::shared_ptr<DispatchQueue> queue = DispatchQueue::serial("CameraHost");
    std::shared_ptr<AVCaptureDevice> device;
    std::mutex mutex;
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase&) override { return queue; }
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase&) override {
        std::lock_guard lock(mutex);
        return device;
    }
    void onPopManualBaseChanged(PopManualBase&, bool) override {}
    void onPopManualBaseDidHide(PopManualBase&) override {}
    void onPopManualViewDidShow(PopManualView&) override {}
    void onPopOptionViewFlash(PopOptionView&) override {}
    void onPopOptionViewSwap(PopOptionView&) override {}
    void onPopOptionViewTimer(PopOptionView&) override {}
    void onPopOptionViewGrid(PopOptionView&) override {}
    void onPopOptionViewImageRatio(PopOptionView&) override {}
    void onPopOptionViewShotMode(PopOptionView&) override {}
    void onPopOptionViewWillHide(PopOptionView&) override {}
};

// A camera screen stand-in over a photograph, with a button to anchor pop-ups on.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> sender = UIView::make();
    std::shared_ptr<Host> host = std::make_shared<Host>();
    Scene(GalleryPage& page, CGRect senderFrame, AVCaptureDeviceCapabilities caps = syntheticBackCameraCapabilities()) {
        registerUIServices();
        auto window = page.newWindow();
        window->setRootViewController(vc);
        vc->view()->addSubview(galleryPhotoBackdrop(vc->view()->bounds()));
        sender->setFrame(senderFrame);
        sender->setBackgroundColor(UIColor::colorWithWhite(0.2, 0.8));
        vc->view()->addSubview(sender);
        SyntheticCameraScript script;
        script.sceneMoves = false;
        host->device = makeSyntheticCamera(std::move(caps), script);
        page.step(0.05);
    }
    CGRect bounds() const { return vc->view()->bounds(); }
};

// Lets time pass with the capture queue's work and its replies in between.
void run(GalleryPage& page, double seconds) {
    for (double t = 0; t < seconds - 1e-9; t += 0.05) {
        DispatchQueue::waitUntilBackgroundIdle();
        page.step(0.05);
    }
    DispatchQueue::waitUntilBackgroundIdle();
    page.step(0);
}

void manualControls(GalleryPage& page) {
    const CGFloat h = page.host().screen()->bounds().size.height;
    {
        Scene scene(page, {{170, h - 120}, {50, 50}});
        auto menu = PopManualView::make(scene.vc);
        menu->setDelegate(scene.host);
        menu->setBgColor(UIColor::colorWithWhite(0, 0.7));
        menu->setShowAboveIfBothAvailable(true);
        menu->show(scene.sender, [] {});
        run(page, 0.6);

        // The user takes focus by hand: a drag to 35 that settles.
        menu->menu()->onLabel(*menu->menu()->buttons()[0]);  // a tap on the entry, as the program has it
        run(page, 0.6);
        auto focusRuler = menu->popFocus()->sldFocus();
        focusRuler->scrollViewWillBeginDragging(*focusRuler->scroll());
        focusRuler->scroll()->setContentOffset({focusRuler->valueToScroll(35), 0});
        CGPoint rest = focusRuler->scroll()->contentOffset();
        focusRuler->scrollViewWillEndDragging(*focusRuler->scroll(), {0, 0}, &rest);
        run(page, 1.5);
        page.shotScreen("manual-focus");
        menu->popFocus()->hide([] {});
        run(page, 1.2);
        page.shotScreen("manual-menu-focus-manual");

        menu->menu()->onLabel(*menu->menu()->buttons()[1]);
        run(page, 0.6);
        page.shotScreen("manual-exposure");
        // Mid-drag: the shutter ruler between two ticks, the finger still down.
        auto ruler = menu->popExp()->sldShutterSpeed();
        ruler->scrollViewWillBeginDragging(*ruler->scroll());
        ruler->scroll()->setContentOffset({ruler->valueToScroll(63.4), 0});
        page.step(0.05);
        page.shotScreen("manual-exposure-mid-drag");
        CGPoint target = ruler->scroll()->contentOffset();
        ruler->scrollViewWillEndDragging(*ruler->scroll(), {0, 0}, &target);
        run(page, 0.6);
        page.shotScreen("manual-exposure-settled");
        menu->popExp()->hide([] {});
        run(page, 0.5);

        menu->menu()->onLabel(*menu->menu()->buttons()[2]);
        run(page, 0.6);
        page.shotScreen("manual-white-balance");
        menu->resetTimer();
    }
    {
        auto caps = syntheticBackCameraCapabilities();
        caps.focusModes.erase(AVCaptureFocusMode::Locked);
        Scene scene(page, {{170, h - 120}, {50, 50}}, caps);
        auto menu = PopManualView::make(scene.vc);
        menu->setDelegate(scene.host);
        menu->setBgColor(UIColor::colorWithWhite(0, 0.7));
        menu->setShowAboveIfBothAvailable(true);
        menu->show(scene.sender, [] {});
        run(page, 0.5);
        menu->onMenuLabelViewLabelTap(*menu->menu(), 0, *menu->menu()->buttons()[0]);
        run(page, 0.5);
        page.shotScreen("manual-not-supported");
        menu->resetTimer();
    }
}

void options(GalleryPage& page) {
    const CGFloat h = page.host().screen()->bounds().size.height;
    Global::shared()->setFlashMode(FlashMode::Auto);
    Global::shared()->setTimerShot(5);
    Global::shared()->setImageRatio(ImageRatio::Ratio9x16);
    Global::shared()->setGridMode(true);
    Scene scene(page, {{40, h - 120}, {50, 50}});
    auto pop = PopOptionView::make(scene.vc);
    pop->setDelegate(scene.host);
    pop->setShowAboveIfBothAvailable(true);
    pop->show(
        scene.sender, [] {}, [] {});
    run(page, 0.5);
    page.shotScreen("option");
    pop->onFlash();
    run(page, 0.5);
    page.shotScreen("option-flash-auto");
    pop->popFlash()->hide([] {});
    pop->onTimerShot();
    run(page, 0.5);
    page.shotScreen("option-timer-5s");
    pop->popTimer()->hide([] {});
    pop->onRatio();
    run(page, 0.5);
    page.shotScreen("option-ratio-9-16");
    pop->popRatio()->choose(3);
    run(page, 0.6);
    page.shotScreen("option-after-choosing-1-1");
}

void overlays(GalleryPage& page) {
    {
        Scene scene(page, {{0, 0}, {0, 0}});
        auto focus = FocusView::make(UIColor::redColor(), std::string("FOCUS"), std::nullopt);
        auto exposure = FocusView::make(UIColor::blueColor(), std::string("EXPOSURE"), std::string("EXPOSURE"));
        for (const auto& marker : {focus, exposure}) {
            marker->setFrame(scene.bounds());
            scene.vc->view()->addSubview(marker);
        }
        page.step(0.05);
        focus->take_at({0.35, 0.6});
        exposure->take_at({0.65, 0.4});
        page.step(0.1);
        page.shotScreen("markers-mid-fly-in");
        page.step(0.2);
        page.step(0.05);
        page.shotScreen("markers-blinking");
        focus->focusByUser({0.5, 0.5});
        page.step(0.05);
        page.shotScreen("marker-focus-by-user");
    }
    {
        Scene scene(page, {{0, 0}, {0, 0}});
        auto guide = GuideView::make();
        guide->setFrame(scene.bounds());
        scene.vc->view()->addSubview(guide);
        guide->updateGravity(0, -1, 0);
        run(page, 0.5);
        page.shotScreen("guide-level");
        guide->updateGravity(-0.3, -0.95, 0);
        run(page, 0.5);
        page.shotScreen("guide-tilted");
    }
    {
        Scene scene(page, {{0, 0}, {0, 0}});
        auto bar = TimeProgressView::make();
        bar->setFrame({{20, 120}, {scene.bounds().size.width - 40, 60}});
        scene.vc->view()->addSubview(bar);
        bar->setDuration(60);
        page.step(0.05);
        bar->setCurrent(9);
        bar->startAnimating();
        run(page, 0.4);
        page.shotScreen("time-bar-before-15s");
        bar->setCurrent(27);
        run(page, 0.5);
        page.shotScreen("time-bar-after-15s");
    }
}

}  // namespace

void galleryCameraControls(GalleryPage& page) {
    Global::resetSharedForTesting();
    manualControls(page);
    options(page);
    overlays(page);
}
