// The camera screen's fixture: the app shell's fixture (phone screen, key window, virtual clock,
// fresh data folder) with the synthetic cameras, a temporary photo library with access granted,
// and a camera screen that records the messages it shows instead of animating them.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "camera/screen/camera_popups.h"
#include "camera/screen/camera_registry.h"
#include "camera/screen/library_road.h"
#include "camera/screen/view_controller.h"
#include "filter/filter_preset.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "tests/app/app_test_support.h"
#include "tests/support/synthetic_camera_access.h"

// The screen's answers to its hosts and its assistant, as they call them.
inline CameraAssistantDelegate& asAssistantDelegate(ViewController& screen) {
    return screen;
}
inline CameraHostDelegate& asHostDelegate(ViewController& screen) {
    return screen;
}

// The screen with its messages recorded (they are still shown).
struct RecordingScreen : ViewController {
    KORVA_MAKE(RecordingScreen)
    std::vector<std::string> messages;
    void showMessage0(const std::string& text, const std::shared_ptr<UIFont>& font) override {
        messages.push_back(text);
        ViewController::showMessage0(text, font);
    }
    int count(const std::string& text) const { return int(std::count(messages.begin(), messages.end(), text)); }
    // While set, the photo host's completions of shots wait for releaseShots.
    bool holdShots = false;
    std::vector<Result<void>> heldShots;
    void onShotFinished(Result<void> saved) override {
        if (holdShots) {
            heldShots.push_back(std::move(saved));
            return;
        }
        ViewController::onShotFinished(std::move(saved));
    }
    void releaseShots() {
        holdShots = false;
        for (auto& saved : std::exchange(heldShots, {})) ViewController::onShotFinished(std::move(saved));
    }

protected:
    RecordingScreen() = default;
};

struct CameraScreenTest : AppTest, SyntheticCameraAccess {
    void SetUp() override {
        AppTest::SetUp();
        registerFilterServices();
        PhotoLibraryAuthorization::reset();
        PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
        PHPhotoLibrary::setLibraryDirectory(libraryDir().string());
        CaptureDeviceRegistry::reset();
        CaptureAuthorization::reset();
        CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Authorized);
        useCameras(syntheticBackCameraCapabilities(), syntheticFrontCameraCapabilities());
        registerCameraControllers(UIStoryboard::mainStoryboard());
        // The screen comes from the registry, as the content switcher makes it, so that it finds
        // the other screens by their identifiers.
        UIStoryboard::mainStoryboard()->registerController("ViewController", [] { return RecordingScreen::make(); });
        ViewController::resetMessageMemory();
    }
    void TearDown() override {
        if (screen) {
            window->setRootViewController(nullptr);
            settleAll();
            screen = nullptr;
        }
        settleAll();
        PHPhotoLibrary::setLibraryDirectory("");
        CaptureDeviceRegistry::reset();
        CaptureAuthorization::reset();
        PhotoLibraryAuthorization::reset();
        AppTest::TearDown();
    }

    // The synthetic cameras at a small picture size (the photo preset at 640 x 480), so that the
    // tests draw and save quickly; the scene stands still unless a test moves it.
    static AVCaptureDeviceCapabilities small(AVCaptureDeviceCapabilities caps) {
        caps.presets.erase(AVCaptureSessionPreset::P3840x2160);
        caps.presets[AVCaptureSessionPreset::Photo] = caps.presets[AVCaptureSessionPreset::P640x480];
        return caps;
    }
    static void useCameras(AVCaptureDeviceCapabilities backCaps, AVCaptureDeviceCapabilities frontCaps,
                           SyntheticCameraScript script = still(),
                           std::unique_ptr<CaptureDeviceDriver> backDriver = nullptr) {
        if (!backDriver) backDriver = std::make_unique<SyntheticCameraDriver>(script);
        CaptureDeviceRegistry::setDevices(
            {make<AVCaptureDevice>(small(std::move(backCaps)), std::move(backDriver)),
             make<AVCaptureDevice>(small(std::move(frontCaps)), std::make_unique<SyntheticCameraDriver>(script))});
    }
    static SyntheticCameraScript still() {
        SyntheticCameraScript s;
        s.sceneMoves = false;
        return s;
    }
    std::filesystem::path libraryDir() const { return tempRoot / "library"; }

    // Background work and main-queue blocks run; no clock time passes.
    void settleAll() {
        for (int i = 0; i < 3; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            settle();
        }
    }
    // The clock moves in small slices, so timers, frames and delayed work come in order.
    void step(double seconds) {
        double end = Clock::now() + seconds;
        while (Clock::now() + 1e-9 < end) {
            advance(std::min(0.01, end - Clock::now()));
            settleAll();
        }
    }
    bool stepUntil(const std::function<bool()>& done, double limit = 5.0) {
        settleAll();
        double end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() >= end) return false;
            step(0.01);
        }
        return true;
    }

    // The camera screen on the window, appeared and showing frames.
    std::shared_ptr<RecordingScreen> showScreen() {
        screen = std::dynamic_pointer_cast<RecordingScreen>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("ViewController"));
        show(screen);
        EXPECT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); })) << "no frame was laid out";
        return screen;
    }

    std::shared_ptr<RecordingScreen> screen;
};
