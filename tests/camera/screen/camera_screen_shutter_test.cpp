// The shutter road on the synthetic camera and a temporary library: the self-timer's countdown and
// its cancel (by a second press or by leaving the foreground), the tap that waits for focus and
// exposure with its delays and its 2 s fallback, exactly one photo per trigger (a press during a
// restart's photo dropped without a word), the photo as the host saved it, a library that cannot
// be written (logged even once the screen has gone), and the library button with the new photo's
// flight.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <regex>
#include <set>

#include "camera/overlays/focus_view.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/text/attributed_string.h"
#include "tests/camera/screen/camera_screen_test_support.h"
#include "ui/popup/pop_message_view.h"

namespace {

// The time at which the library's photo count first goes above `count`, stepping at most `limit`.
template <class Fixture>
double timeOfNextPhoto(Fixture& f, std::size_t count, double limit) {
    double start = Clock::now();
    if (!f.stepUntil([&] { return f.libraryPhotos().size() > count; }, limit)) return -1;
    return Clock::now() - start;
}

}  // namespace

struct CameraScreenShutterTest : CameraScreenTest {
    // A back camera with scripted focus and exposure capabilities.
    void useCamera(bool autoFocus, bool autoExposure, double focusSettle, bool neverSettles = false) {
        auto caps = syntheticBackCameraCapabilities();
        if (!autoFocus) caps.focusModes = {AVCaptureFocusMode::Locked};
        if (!autoExposure) caps.exposureModes = {AVCaptureExposureMode::Locked, AVCaptureExposureMode::Custom};
        SyntheticCameraScript script = still();
        script.focusSettleTime = focusSettle;
        script.focusNeverSettles = neverSettles;
        useCameras(caps, syntheticFrontCameraCapabilities(), script);
    }
    CGPoint previewCentre() {
        auto f = screen->previewIfMade()->frame();
        return {f.origin.x + f.size.width * 0.25, f.origin.y + f.size.height * 0.5};
    }
};

TEST_F(CameraScreenShutterTest, TheSelfTimerCountsDownAndShootsOnceOrIsCancelledByASecondPress) {
    Global::shared()->setTimerShot(3);
    showScreen();
    screen->onShot();
    EXPECT_EQ(screen->messages, (std::vector<std::string>{"3"}));
    step(2.5);
    EXPECT_EQ(screen->messages, (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_TRUE(libraryPhotos().empty());
    double t = timeOfNextPhoto(*this, 0, 1.5);
    EXPECT_GT(t, 0.3);
    step(3);
    EXPECT_EQ(libraryPhotos().size(), 1u);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);

    asAssistantDelegate(*screen).onCameraAssistantVolumeButton(screen->assist());
    step(1.5);
    screen->onShot();
    EXPECT_EQ(screen->count("CANCELED"), 1);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    step(4);
    EXPECT_EQ(libraryPhotos().size(), 1u);
}

TEST_F(CameraScreenShutterTest, EverySecondTriggerDuringTheCountdownShowsCanceled) {
    Global::shared()->setTimerShot(3);
    showScreen();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        screen->onShot();
        step(1.5);
        screen->onShot();
        step(0.3);
        auto pop = screen->message();
        ASSERT_TRUE(pop);
        ASSERT_TRUE(pop->attributedText());
        EXPECT_EQ(pop->attributedText()->string(), "CANCELED");
        EXPECT_FALSE(pop->hidden());
        step(3);
    }
    EXPECT_TRUE(libraryPhotos().empty());
}

TEST_F(CameraScreenShutterTest, LeavingTheForegroundCancelsTheSelfTimerAndTheStoppedCameraNeverShoots) {
    auto app = UIApplication::sharedApplication();
    app->finishLaunching();
    Global::shared()->setTimerShot(3);
    showScreen();
    asAssistantDelegate(*screen).onCameraAssistantVolumeButton(screen->assist());
    ASSERT_EQ(screen->shotPhase(), ShotPhase::CountingDown);
    step(1.2);
    app->toggleBackground();  // to the background, as the window host's Escape
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    EXPECT_EQ(screen->count("CANCELED"), 1);
    step(4);
    EXPECT_EQ(screen->hosts().state(), ViewController::CaptureState::Idle);
    EXPECT_TRUE(libraryPhotos().empty()) << "the countdown shot after capture had stopped";
    // Whatever still reaches the road in the background finds no camera to shoot from.
    screen->shots().shoot();
    step(1);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    EXPECT_TRUE(libraryPhotos().empty()) << "a photo came from the stopped camera";

    // Back in the foreground the countdown stays cancelled; a new one gives a whole photo.
    app->toggleBackground();
    ASSERT_TRUE(stepUntil([&] { return screen->previewRoad()->readyScreenRect(); }));
    step(3);
    EXPECT_TRUE(libraryPhotos().empty());
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    auto props = readImagePropertiesFromFile(libraryPhotos()[0]->filePath());
    ASSERT_TRUE(props);
    const Value& p = *props;
    EXPECT_EQ(p["{TIFF}"]["Model"].stringValue(), back()->localizedName());
    EXPECT_FALSE(p["{Exif}"]["DateTimeOriginal"].stringValue().empty());
    EXPECT_GT(p["{Exif}"]["ExposureTime"].doubleValue(), 0);
}

TEST_F(CameraScreenShutterTest, ATapWithSettledControlsShootsAtOnce) {
    useCamera(false, false, 0.3);
    showScreen();
    tap(previewCentre());
    // Waits only for the device to take its modes: nothing is left to settle.
    double t = timeOfNextPhoto(*this, 0, 3);
    EXPECT_GE(t, 0);
    EXPECT_LT(t, 0.1);
    EXPECT_NEAR(screen->lastFocused().x, 0.25, 0.01);
    EXPECT_NEAR(screen->lastFocused().y, 0.5, 0.01);
}

TEST_F(CameraScreenShutterTest, ATapWaitsTenTimesTheSettleTimeCappedAtOneSecondAndFallsBackAfterTwo) {
    struct Case {
        double settle;
        bool never;
        double expected;
    };
    for (Case c : {Case{0.05, false, 0.05 + 0.5}, Case{0.3, false, 0.3 + 1.0}, Case{0.3, true, 2.0}}) {
        SCOPED_TRACE(c.settle);
        useCamera(true, false, c.settle, c.never);
        if (screen) window->setRootViewController(nullptr), settleAll(), screen = nullptr;
        showScreen();
        // The motion sensor's first reading asks for a refocus; let it settle first, so that the
        // wait measured is the tap's own.
        step(0.5);
        auto before = libraryPhotos().size();
        screen->shots().focusThenShoot();
        EXPECT_EQ(screen->shotPhase(), ShotPhase::WaitingForFocus);
        // When the wait ends and the shot starts; the photo's save then runs off the main thread,
        // at whatever pace the machine allows.
        double start = Clock::now();
        ASSERT_TRUE(stepUntil([&] { return screen->shotPhase() != ShotPhase::WaitingForFocus; }, 3));
        // Within a few frames: the camera reports the end of its adjusting with its next frame.
        EXPECT_NEAR(Clock::now() - start, c.expected, 0.12);
        step(2.5);
        EXPECT_EQ(libraryPhotos().size(), before + 1) << "exactly one photo";
        EXPECT_FALSE(screen->observingCamera());
    }
}

TEST_F(CameraScreenShutterTest, AShutterPressDuringTheFocusWaitShootsOnceAndLeavingTheScreenEndsTheWait) {
    useCamera(true, false, 0.3, true);
    showScreen();
    screen->shots().focusThenShoot();
    step(0.2);
    ASSERT_EQ(screen->shotPhase(), ShotPhase::WaitingForFocus);
    screen->onShot();
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Shooting);
    EXPECT_FALSE(screen->observingCamera());
    step(3);  // past the wait's fallback
    EXPECT_EQ(libraryPhotos().size(), 1u) << "the press took the photo; the wait no longer shoots";

    screen->shots().focusThenShoot();
    step(0.2);
    ASSERT_EQ(screen->shotPhase(), ShotPhase::WaitingForFocus);
    screen->viewWillDisappear(false);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    EXPECT_FALSE(screen->observingCamera());
    step(3);
    EXPECT_EQ(libraryPhotos().size(), 1u);
}

TEST_F(CameraScreenShutterTest, ATapWhileTheCameraIsDeniedOnlyAlerts) {
    showScreen();
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Denied);
    tap(previewCentre());
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Camera Authorization Required");
    EXPECT_EQ(screen->lastFocused(), (CGPoint{0.5, 0.5}));
    step(2.5);
    EXPECT_TRUE(libraryPhotos().empty());
}

TEST_F(CameraScreenShutterTest, ATriggerDuringAShotIsDroppedAndTheDelayedShotNeverOverlaps) {
    showScreen();
    screen->onShot();
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Shooting);
    screen->onShot();
    asAssistantDelegate(*screen).onCameraAssistantVolumeButton(screen->assist());
    screen->shots().shoot();  // a late shot landing during this one
    step(1);
    EXPECT_EQ(libraryPhotos().size(), 1u);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
}

TEST_F(CameraScreenShutterTest, AShutterPressWhileTheCameraRestartsIsDroppedWithoutAnAlert) {
    // The photo holds the shot for half a frame before encoding it; the restart's new session
    // comes within that time, while the photo is still under way.
    showScreen();
    screen->onShot();
    screen->restartCamera(true);
    settleAll();
    ASSERT_EQ(screen->hosts().state(), ViewController::CaptureState::Running);
    screen->onShot();
    step(1);
    EXPECT_FALSE(screen->presentedViewController()) << "a refused press was said as a photo not saved";
    EXPECT_EQ(libraryPhotos().size(), 1u);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    // The camera takes the next press as usual.
    screen->onShot();
    EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == 2; }));
}

TEST_F(CameraScreenShutterTest, ThePhotoIsSavedAsAFilteredJpegInTheRatioAndOrientationAsShot) {
    showScreen();
    screen->setScreenElement(FilterMyElement::withDesc(Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"value", Value::dictionary({{"inputSaturation", Value::dictionary({{"value", Value(0.0)}})}})}})));
    screen->updateOrientation(1);
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    auto asset = libraryPhotos()[0];
    auto decoded = decodeImageFile(asset->filePath());
    ASSERT_TRUE(decoded);
    const auto& r = decoded->raster;
    EXPECT_NEAR(double(r.width) / r.height, 0.75, 0.01);
    // Grey: every channel alike.
    const std::uint8_t* p = r.pixels.data() + (std::size_t(r.height / 2) * r.width + r.width / 2) * 4;
    EXPECT_NEAR(p[0], p[1], 3);
    EXPECT_NEAR(p[1], p[2], 3);
    auto props = readImagePropertiesFromFile(asset->filePath());
    ASSERT_TRUE(props);
    EXPECT_EQ((*props)["{TIFF}"]["Software"].stringValue(), Global::shared()->appMetadataName());

    // Held sideways: the photo is wider than tall.
    screen->setScreenElement(nullptr);
    screen->updateOrientation(3);
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 2; }));
    auto side = decodeImageFile(libraryPhotos()[1]->filePath());
    ASSERT_TRUE(side);
    EXPECT_NEAR(double(side->raster.width) / side->raster.height, 4.0 / 3.0, 0.01);
}

TEST_F(CameraScreenShutterTest, TheShutterShowsTheNewestFrameAtOnceAndHoldsItWhileTheShotIsUnderWay) {
    showScreen();
    step(0.3);
    auto preview = screen->previewIfMade();
    ASSERT_TRUE(preview);
    const auto drawn = preview->presentCount();
    screen->onShot();
    // Drawn in the tap's own turn of the run loop, before any timer or queued block.
    EXPECT_EQ(preview->presentCount(), drawn + 1);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Shooting);
    // The drawing tick leaves the held frame alone until the shot is done.
    screen->previewRoad()->onTimerScreen();
    EXPECT_EQ(preview->presentCount(), drawn + 1);
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    step(0.3);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    EXPECT_GT(preview->presentCount(), drawn + 1);
}

TEST_F(CameraScreenShutterTest, ALibraryThatCannotBeWrittenGivesThePreviewBackAndLeavesNothingBehind) {
    showScreen();
    writeFile("blocked", "a file where the library folder would go");
    PHPhotoLibrary::setLibraryDirectory((tempRoot / "blocked" / "library").string());
    auto preview = screen->previewIfMade();
    screen->onShot();
    step(1);
    EXPECT_EQ(screen->shotPhase(), ShotPhase::Idle);
    auto drawn = preview->presentCount();
    step(0.3);
    EXPECT_GT(preview->presentCount(), drawn);
    EXPECT_FALSE(std::filesystem::exists(tempRoot / "blocked" / "library"));
    // The next shot into a working library goes through.
    PHPhotoLibrary::setLibraryDirectory(libraryDir().string());
    screen->onShot();
    EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
}

TEST_F(CameraScreenShutterTest, APhotoTheLibraryCannotTakeIsSaidOnScreenAndWhatWasSavedStays) {
    showScreen();
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    step(0.5);
    const auto kept = libraryPhotos()[0];
    const auto keptBytes = readFileData(kept->filePath());
    ASSERT_TRUE(keptBytes);
    auto filesNow = [&] {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(libraryDir()))
            names.insert(entry.path().filename().string());
        return names;
    };
    const auto before = filesNow();

    // The folder turns read-only. Permissions do not stop the superuser: for it a file size limit
    // makes the write fail as a full disk would.
    namespace fs = std::filesystem;
    fs::permissions(libraryDir(), fs::perms::owner_read | fs::perms::owner_exec);
    rlimit oldLimit{};
    const bool superuser = ::geteuid() == 0;
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (superuser) {
        ::getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = 512;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    screen->onShot();
    const bool finished = stepUntil([&] { return screen->shotPhase() == ShotPhase::Idle; });
    if (superuser) ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldSignal);
    fs::permissions(libraryDir(), fs::perms::owner_all);
    ASSERT_TRUE(finished);

    // Said on screen, as the photo editor says it, with the reason: the photo's file named once,
    // without the library's folder, and why the system refused it.
    auto alert = std::dynamic_pointer_cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    const std::string heading = "UNABLE TO SAVE THE PHOTO\n";
    ASSERT_EQ(alert->message().rfind(heading, 0), 0u) << alert->message();
    const std::string why = alert->message().substr(heading.size());
    EXPECT_TRUE(std::regex_match(why, std::regex("cannot write IMG_[0-9A-Za-z_-]+\\.JPG: [^/:]+"))) << why;
    EXPECT_EQ(why.substr(why.find(": ") + 2), std::strerror(superuser ? EFBIG : EACCES)) << why;
    // Nothing half-written; the photo already saved is as it was.
    EXPECT_EQ(filesNow(), before);
    ASSERT_EQ(libraryPhotos().size(), 1u);
    EXPECT_EQ(readFileData(kept->filePath()).value(), keptBytes.value());

    // Once the folder can be written again, the next shot goes through.
    screen->dismissViewControllerAnimated(false);
    settleAll();
    screen->onShot();
    EXPECT_TRUE(stepUntil([&] { return libraryPhotos().size() == 2; }));
}

TEST_F(CameraScreenShutterTest, TheLibraryButtonShowsTheNewestPhotoAfterItsFlight) {
    showScreen();
    EXPECT_FALSE(screen->views().btnAsset->imageForState(UIControlStateNormal));
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return libraryPhotos().size() == 1; }));
    // The library observer reports the change; the flight starts from the preview.
    ASSERT_TRUE(stepUntil([&] { return screen->views().btnAsset->imageForState(UIControlStateNormal) != nullptr; }));
    std::shared_ptr<UIImageView> flying;
    for (auto& v : screen->view()->subviews())
        if (auto iv = std::dynamic_pointer_cast<UIImageView>(v)) flying = iv;
    ASSERT_TRUE(flying);
    step(0.8);
    EXPECT_FALSE(flying->superview());
}

TEST_F(CameraScreenShutterTest, TheLibraryButtonKeepsItsImageWithoutLibraryAccess) {
    showScreen();
    screen->onShot();
    ASSERT_TRUE(stepUntil([&] { return screen->views().btnAsset->imageForState(UIControlStateNormal) != nullptr; }));
    step(1);
    const auto shown = screen->views().btnAsset->imageForState(UIControlStateNormal);

    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    LogCapture log;
    screen->onShot();  // this photo cannot reach the library
    step(3);
    EXPECT_TRUE(log.contains("the photo was not saved: the photo library is not authorized"));
    screen->updateAssetButtonImage();
    settleAll();
    EXPECT_EQ(screen->views().btnAsset->imageForState(UIControlStateNormal), shown);
}

TEST_F(CameraScreenShutterTest, APhotoThatFailsAfterItsScreenHasGoneIsStillLogged) {
    showScreen();
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    LogCapture log;
    screen->onShot();
    ASSERT_EQ(screen->shotPhase(), ShotPhase::Shooting);
    // The screen goes before the photo is encoded, so that no screen hears how the shot ended.
    std::weak_ptr<RecordingScreen> gone = screen;
    window->setRootViewController(nullptr);
    settleAll();
    screen = nullptr;
    ASSERT_TRUE(gone.expired()) << "the screen is still held";
    ASSERT_FALSE(log.contains("the photo was not saved"));
    step(1);
    EXPECT_TRUE(log.contains("the photo was not saved: the photo library is not authorized"));
}
