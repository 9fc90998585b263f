// The camera screen on the synthetic camera: with a preset and the grid on, with each of its
// pop-ups open, during the self-timer's countdown, a photo just taken flying into the library
// button, and that photo as the library holds it.
#include <filesystem>
#include <random>

#include "app/shell/app_registry.h"
#include "camera/options/pop_option_flash_view.h"
#include "camera/options/pop_option_ratio_view.h"
#include "camera/options/pop_option_timer_view.h"
#include "camera/screen/camera_popups.h"
#include "camera/screen/camera_registry.h"
#include "camera/screen/view_controller.h"
#include "capture/capture_services.h"
#include "filter/filter_my_element.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "tests/support/camera_screen_world.h"
#include "tools/gallery/gallery.h"
#include "ui/controls/anim_button.h"
#include "ui/ui_services.h"

namespace {

std::shared_ptr<UIWindow> currentWindow;

// Lets time pass in small slices with the capture queues drained and the window laid out in
// between; the screen is drawn only for the pictures.
void run(GalleryPage&, double seconds) {
    double end = Clock::now() + seconds;
    while (Clock::now() + 1e-9 < end) {
        RunLoop::main().advance(std::min(0.01, end - Clock::now()));
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        if (currentWindow) currentWindow->layoutIfNeeded();
    }
}

bool runUntil(GalleryPage& page, const std::function<bool()>& done, double limit) {
    double end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= end) return false;
        run(page, 0.02);
    }
    return true;
}

std::vector<std::shared_ptr<PHAsset>> photos() {
    auto options = PHFetchOptions::make();
    options->sortDescriptors = {{"creationDate", true}};
    auto result = PHAsset::fetchAssetsWithOptions(options);
    return result ? result->assets() : std::vector<std::shared_ptr<PHAsset>>{};
}

// The synthetic cameras at the photo preset's own size (1440 x 1080), without the 4K preset the
// screen tries first, so that the pictures are drawn in reasonable time.
void useSyntheticCameras() {
    auto backCaps = syntheticBackCameraCapabilities();
    auto frontCaps = syntheticFrontCameraCapabilities();
    backCaps.presets.erase(AVCaptureSessionPreset::P3840x2160);
    SyntheticCameraScript script;
    script.sceneMoves = false;
    CaptureDeviceRegistry::setDevices({makeSyntheticCamera(backCaps, script), makeSyntheticCamera(frontCaps, script)});
}

std::shared_ptr<ViewController> showScreen(GalleryPage& page) {
    auto window = page.newWindow();
    currentWindow = window;
    auto screen = std::dynamic_pointer_cast<ViewController>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("ViewController"));
    window->setRootViewController(screen);
    runUntil(
        page, [&] { return screen->previewRoad()->readyScreenRect(); }, 5);
    run(page, 0.5);
    return screen;
}

}  // namespace

void galleryCameraScreen(GalleryPage& page) {
    std::random_device random;
    auto dir = std::filesystem::temp_directory_path() / ("korva-gallery-camera-" + std::to_string(random()));
    useSyntheticCameras();
    prepareCameraScreenWorld(dir);

    Global::shared()->setGridMode(true);
    Global::shared()->setTimerShot(0);
    auto screen = showScreen(page);
    auto warm = Global::shared()->filterPreset()->descYellow();
    if (warm.count() > 2) screen->setScreenElement(FilterMyElement::withDesc(warm[2]));
    screen->updateView();
    run(page, 0.3);
    page.shotScreen("preset-and-grid");

    screen->popups().onFilter(std::static_pointer_cast<UIView>(screen->views().btnFilter));
    run(page, 1.0);
    runUntil(
        page, [&] { return screen->previewRoad()->readyScreenRect(); }, 5);
    run(page, 0.5);
    page.shotScreen("filter-popup");
    screen->popups().hideFilter();
    run(page, 0.5);

    screen->popups().onOption();
    run(page, 0.5);
    page.shotScreen("option-popup");
    screen->popups().option()->onFlash();
    run(page, 0.5);
    page.shotScreen("option-flash");
    screen->popups().option()->popFlash()->hide([] {});
    run(page, 0.5);
    screen->popups().option()->onTimerShot();
    run(page, 0.5);
    page.shotScreen("option-timer");
    screen->popups().option()->popTimer()->hide([] {});
    run(page, 0.5);
    screen->popups().option()->onRatio();
    run(page, 0.5);
    page.shotScreen("option-ratio");
    screen->popups().option()->popRatio()->hide([] {});
    run(page, 0.5);
    screen->popups().option()->hide([] {});
    runUntil(
        page, [&] { return screen->previewRoad()->readyScreenRect(); }, 5);
    run(page, 0.5);

    screen->popups().onManual(std::static_pointer_cast<UIView>(screen->views().btnManual));
    run(page, 0.5);
    page.shotScreen("manual-popup");
    if (auto menu = screen->popups().manual()->menu()) {
        screen->popups().manual()->onMenuLabelViewLabelTap(*menu, 1, *screen->views().btnManual);
        run(page, 0.5);
        page.shotScreen("manual-exposure");
    }
    screen->popups().hideManual();
    run(page, 0.5);

    Global::shared()->setTimerShot(3);
    screen->onShot();
    run(page, 1.6);
    page.shotScreen("self-timer-countdown");
    runUntil(
        page, [] { return photos().size() == 1; }, 5);
    run(page, 1.0);
    Global::shared()->setTimerShot(0);

    screen->onShot();
    runUntil(
        page, [] { return photos().size() == 2; }, 5);
    run(page, 0.42);
    page.shotScreen("photo-flight");
    run(page, 1.0);
    page.shotScreen("photo-in-library-button");

    auto all = photos();
    if (!all.empty()) {
        auto window = page.newWindow();
        currentWindow = window;
        auto image = UIImage::imageWithContentsOfFile(all.back()->filePath());
        auto view = UIImageView::make(image);
        view->setContentMode(UIViewContentMode::ScaleAspectFit);
        view->setBackgroundColor(UIColor::darkGrayColor());
        view->setFrame(window->bounds());
        window->addSubview(view);
        page.step(0.1);
        page.shotScreen("saved-photo");
    }

    currentWindow = nullptr;
    UIStoryboard::resetMainStoryboard();
    PHPhotoLibrary::setLibraryDirectory("");
    CaptureDeviceRegistry::reset();
    Global::resetSharedForTesting();
    Sandbox::setRoot("");
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}
