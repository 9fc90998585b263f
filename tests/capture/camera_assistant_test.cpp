// The camera assistant: orientation from gravity, refocus requests, the volume-button shutter,
// permission steps with their alerts, the location fix and photo-library change notices.
#include "capture/camera_assistant.h"

#include <cmath>
#include <thread>

#include "foundation/data_custom_photos.h"
#include "platform/image/codec/jpeg.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/sensors/mp_volume_view.h"
#include "platform/sensors/system_volume.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "tests/capture/capture_engine_test_support.h"

namespace {

class AssistantRecorder : public CameraAssistantDelegate, public CameraAssistantPresenter {
public:
    void onCameraAssistantMotionOrientation(const std::shared_ptr<CameraAssistant>&, std::int64_t o) override {
        events.add("orientation " + std::to_string(o));
    }
    void onCameraAssistantMotionGravity(const std::shared_ptr<CameraAssistant>&, double, double, double) override {
        ++gravity;
    }
    void onCameraAssistantMotionRequestFocusUpdate(const std::shared_ptr<CameraAssistant>&, bool bigMove) override {
        events.add(bigMove ? "refocus big" : "refocus small");
    }
    void onCameraAssistantCameraAuthDenied(const std::shared_ptr<CameraAssistant>&) override {
        events.add("camera denied");
    }
    void onCameraAssistantCameraAuthApproved(const std::shared_ptr<CameraAssistant>&) override {
        events.add("camera approved");
    }
    void onCameraAssistantMicrophoneAuthDenied(const std::shared_ptr<CameraAssistant>&) override {
        events.add("microphone denied");
    }
    void onCameraAssistantMicrophoneAuthApproved(const std::shared_ptr<CameraAssistant>&) override {
        events.add("microphone approved");
    }
    void onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) override { events.add("photos"); }
    void onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) override {
        EXPECT_TRUE(RunLoop::isMainThread());
        events.add("volume");
    }
    void onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) override { events.add("volume x2"); }
    void onCameraAssistantLocationAuthChanged(const std::shared_ptr<CameraAssistant>&) override {
        events.add("location changed");
    }
    bool onCameraAssistantLocationGetUserSetting(const std::shared_ptr<CameraAssistant>&) override { return geotag; }
    void onCameraAssistantLocationSetUserSetting(const std::shared_ptr<CameraAssistant>&, bool b) override {
        events.add(b ? "geotag on" : "geotag off");
    }

    void alert(const std::string& message, std::function<void()> onOK) override {
        events.add("alert " + message);
        if (pressOK && onOK) onOK();
    }
    void confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) override {
        events.add("confirm " + message);
        auto choice = answerYes ? onYes : onNo;
        if (choice) choice();
    }
    void openDeviceSettings() override { events.add("settings"); }

    std::vector<std::string> named(const std::string& prefix) const {
        std::vector<std::string> out;
        for (auto& e : events.items())
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        return out;
    }

    Recorder<std::string> events;
    int gravity = 0;
    bool geotag = false, pressOK = false, answerYes = false;
};

}  // namespace

class CameraAssistantTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        UIApplication::resetSharedApplication();
        SystemVolume::reset();
        CLLocationManager::resetForTesting();
        CMMotionManager::setDeviceGravity({0, -1, 0});
    }
    void TearDown() override {
        if (assistant) assistant->stop();
        settle();
        assistant = nullptr;
        window = nullptr;
        UIApplication::resetSharedApplication();
        CLLocationManager::resetForTesting();
        CaptureEngineTest::TearDown();
    }
    void startWith(std::int64_t options) {
        assistant = CameraAssistant::make(options);
        assistant->setDelegate(recorder);
        assistant->start(recorder);
        settle();
    }

    std::shared_ptr<AssistantRecorder> recorder = std::make_shared<AssistantRecorder>();
    std::shared_ptr<CameraAssistant> assistant;
    std::shared_ptr<UIWindow> window;
};

TEST(CameraAssistantOrientation, ComesFromTheLargerGravityComponentXFirst) {
    EXPECT_EQ(CameraAssistant::calcDeviceOrientation(0.6, -0.7, 0), 4);
    EXPECT_EQ(CameraAssistant::calcDeviceOrientation(-0.5, 0.9, 0), 3);
    EXPECT_EQ(CameraAssistant::calcDeviceOrientation(0.1, 0.5, 0), 2);
    EXPECT_EQ(CameraAssistant::calcDeviceOrientation(0.1, -0.5, 0), 1);
    EXPECT_EQ(CameraAssistant::calcDeviceOrientation(0.2, -0.3, -0.9), 0);
}

TEST_F(CameraAssistantTest, OneVolumePressIsOneShutterPressHalfASecondLater) {
    startWith(CameraAssistant::kVolumeButtons);
    // The press comes on another thread, as the system posts it.
    std::thread([] { SystemVolume::press(VolumeButton::Up); }).join();
    advance(0.4);
    EXPECT_TRUE(recorder->named("volume").empty());
    // The press not yet told apart is held for the program's end, until it is a shutter press.
    EXPECT_EQ(ExitHold::pending(), (std::vector<std::string>{"the photo"}));
    advance(0.15);
    EXPECT_EQ(recorder->named("volume"), (std::vector<std::string>{"volume"}));
    EXPECT_FALSE(ExitHold::any());
    advance(1.0);
    EXPECT_EQ(recorder->named("volume").size(), 1u);

    // Two presses 0.3 s apart: a double press at the second one, no single press.
    SystemVolume::press(VolumeButton::Down);
    advance(0.3);
    SystemVolume::press(VolumeButton::Down);
    settle();
    EXPECT_EQ(recorder->named("volume"), (std::vector<std::string>{"volume", "volume x2"}));
    EXPECT_FALSE(ExitHold::any());
    advance(1.0);
    EXPECT_EQ(recorder->named("volume").size(), 2u);

    // A change the user did not make with the buttons is not a press.
    SystemVolume::change(0.2f);
    advance(1.0);
    EXPECT_EQ(recorder->named("volume").size(), 2u);

    // After stop the buttons are just volume buttons again.
    assistant->stop();
    SystemVolume::press(VolumeButton::Up);
    advance(1.0);
    EXPECT_EQ(recorder->named("volume").size(), 2u);
}

// The program may read its input late (a busy machine): presses are judged by when they were made.
TEST_F(CameraAssistantTest, VolumePressesAreToldApartByWhenTheyWereMadeNotWhenRead) {
    startWith(CameraAssistant::kVolumeButtons);
    // The presses decided since the last look.
    std::size_t seen = 0;
    auto decided = [&] {
        auto all = recorder->named("volume");
        std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
        seen = all.size();
        return fresh;
    };
    // Made 0.7 s apart, read together: two shots, the first at once, the second after its window.
    double now = Clock::now();
    SystemVolume::press(VolumeButton::Up, now - 0.8);
    SystemVolume::press(VolumeButton::Up, now - 0.1);
    settle();
    EXPECT_EQ(decided(), (std::vector<std::string>{"volume"}));
    EXPECT_EQ(ExitHold::pending(), (std::vector<std::string>{"the photo"})) << "the second press holds the end";
    advance(0.45);
    EXPECT_TRUE(decided().empty());
    advance(0.1);
    EXPECT_EQ(decided(), (std::vector<std::string>{"volume"}));
    EXPECT_FALSE(ExitHold::any());

    // Made 0.3 s apart, read together: one double press, and nothing after it.
    now = Clock::now();
    SystemVolume::press(VolumeButton::Up, now - 0.6);
    SystemVolume::press(VolumeButton::Up, now - 0.3);
    settle();
    advance(1.0);
    EXPECT_EQ(decided(), (std::vector<std::string>{"volume x2"}));
    EXPECT_FALSE(ExitHold::any());

    // Three read together: a press of its own, then a pair 0.3 s apart.
    now = Clock::now();
    SystemVolume::press(VolumeButton::Down, now - 1.2);
    SystemVolume::press(VolumeButton::Down, now - 0.5);
    SystemVolume::press(VolumeButton::Down, now - 0.2);
    settle();
    advance(1.0);
    EXPECT_EQ(decided(), (std::vector<std::string>{"volume", "volume x2"}));

    // A press read late still waits 0.5 s from its reading, for a partner that is later still.
    SystemVolume::press(VolumeButton::Up, Clock::now() - 2.0);
    advance(0.4);
    SystemVolume::press(VolumeButton::Up, Clock::now() - 2.1);
    advance(1.0);
    EXPECT_EQ(decided(), (std::vector<std::string>{"volume x2"}));
}

TEST_F(CameraAssistantTest, AFirstPressDecidedEarlyDoesNotDecideTheNextOneWithItsOwnTimer) {
    startWith(CameraAssistant::kVolumeButtons);
    // A, made long ago, is read now; its decision is due in 0.5 s.
    SystemVolume::press(VolumeButton::Up, Clock::now() - 0.9);
    advance(0.3);
    // B, made long after A, decides A at once and waits for 0.5 s itself.
    SystemVolume::press(VolumeButton::Up, Clock::now() - 0.05);
    settle();
    EXPECT_EQ(recorder->named("volume"), (std::vector<std::string>{"volume"}));
    // A's delayed call comes and passes B by.
    advance(0.25);
    EXPECT_EQ(recorder->named("volume").size(), 1u);
    EXPECT_EQ(ExitHold::pending(), (std::vector<std::string>{"the photo"}));
    // So C, made 0.3 s after B, makes a double press with it.
    SystemVolume::press(VolumeButton::Up, Clock::now());
    advance(1.0);
    EXPECT_EQ(recorder->named("volume"), (std::vector<std::string>{"volume", "volume x2"}));
    EXPECT_FALSE(ExitHold::any());
}

TEST_F(CameraAssistantTest, AVolumePressTimeFromTheFutureOrNotANumberCountsAsRead) {
    startWith(CameraAssistant::kVolumeButtons);
    SystemVolume::press(VolumeButton::Up, Clock::now() + 5.0);
    advance(0.3);
    SystemVolume::press(VolumeButton::Up);
    settle();
    SystemVolume::press(VolumeButton::Up, std::nan(""));
    advance(0.3);
    SystemVolume::press(VolumeButton::Up);
    advance(1.0);
    EXPECT_EQ(recorder->named("volume"), (std::vector<std::string>{"volume x2", "volume x2"}));
}

TEST_F(CameraAssistantTest, TheHiddenVolumeViewIsMadeOnceAndLeavesWithStop) {
    window = UIWindow::make(CGRectMake(0, 0, 100, 200));
    window->makeKeyAndVisible();
    int before = MPVolumeView::liveCount();
    startWith(CameraAssistant::kVolumeButtons);
    EXPECT_EQ(window->subviews().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        assistant->stop();
        EXPECT_TRUE(window->subviews().empty());
        assistant->start(recorder);
        EXPECT_EQ(window->subviews().size(), 1u);
    }
    EXPECT_EQ(MPVolumeView::liveCount(), before + 1);
    EXPECT_LT(window->subviews().front()->frame().origin.y, 0);
}

TEST_F(CameraAssistantTest, MotionReportsOrientationAndAsksToRefocusAfterAMove) {
    startWith(CameraAssistant::kMotion);
    advance(0.25);
    // The first sample always asks for a big refocus (the extremes start at zero).
    EXPECT_EQ(recorder->named("orientation"), (std::vector<std::string>{"orientation 1"}));
    EXPECT_EQ(recorder->named("refocus"), (std::vector<std::string>{"refocus big"}));
    EXPECT_GT(recorder->gravity, 0);
    // Held still: nothing more.
    advance(4.5);
    EXPECT_EQ(recorder->named("refocus").size(), 1u);
    // Turned to landscape: a big move at the next check.
    CMMotionManager::setDeviceGravity({1, 0, 0});
    advance(2.5);
    EXPECT_EQ(recorder->named("orientation"), (std::vector<std::string>{"orientation 1", "orientation 4"}));
    EXPECT_EQ(recorder->named("refocus"), (std::vector<std::string>{"refocus big", "refocus big"}));
    // A small tilt within a window: a small move.
    advance(2.5);
    CMMotionManager::setDeviceGravity({0.9, 0.0, -0.436});
    advance(2.5);
    EXPECT_EQ(recorder->named("refocus").back(), "refocus small");
    int samples = recorder->gravity;
    assistant->stop();
    EXPECT_FALSE(assistant->motManager());
    advance(1.0);
    EXPECT_EQ(recorder->gravity, samples);
}

TEST_F(CameraAssistantTest, PermissionStepsAskFirstAndRecheckLater) {
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::NotDetermined);
    CaptureAuthorization::setRequestAnswer(AVMediaType::Video, true);
    CaptureAuthorization::setStatus(AVMediaType::Audio, AVAuthorizationStatus::NotDetermined);
    CaptureAuthorization::setRequestAnswer(AVMediaType::Audio, false);
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::NotDetermined);
    PhotoLibraryAuthorization::setRequestAnswer(PHAuthorizationStatus::Authorized);
    startWith(CameraAssistant::kCamera | CameraAssistant::kMicrophone | CameraAssistant::kPhotoLibrary);
    EXPECT_EQ(recorder->named("camera"), (std::vector<std::string>{"camera denied", "camera approved"}));
    // A refused microphone request sends nothing more.
    EXPECT_EQ(recorder->named("microphone"), (std::vector<std::string>{"microphone denied"}));
    EXPECT_EQ(recorder->named("photos"), (std::vector<std::string>{"photos"}));
    EXPECT_TRUE(recorder->named("alert").empty());

    // Later starts only re-check: the refused microphone is reported with its alert, whose OK
    // opens the settings.
    assistant->stop();
    recorder->pressOK = true;
    assistant->start(recorder);
    settle();
    EXPECT_EQ(recorder->named("microphone"), (std::vector<std::string>{"microphone denied", "microphone denied"}));
    EXPECT_EQ(recorder->named("alert"), (std::vector<std::string>{"alert Microphone Authorization Required"}));
    EXPECT_EQ(recorder->named("settings").size(), 1u);
    EXPECT_EQ(CaptureAuthorization::requestCount(AVMediaType::Video), 1);
}

TEST_F(CameraAssistantTest, ARefusedCameraOrLibraryShowsItsAlert) {
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::NotDetermined);
    CaptureAuthorization::setRequestAnswer(AVMediaType::Video, false);
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    startWith(CameraAssistant::kCamera | CameraAssistant::kPhotoLibrary);
    EXPECT_EQ(recorder->named("camera"), (std::vector<std::string>{"camera denied"}));
    EXPECT_EQ(recorder->named("photos"), (std::vector<std::string>{"photos"}));
    auto alerts = recorder->named("alert");
    std::sort(alerts.begin(), alerts.end());
    EXPECT_EQ(alerts,
              (std::vector<std::string>{"alert Camera Authorization Required", "alert Photos Authorization Required"}));
}

TEST_F(CameraAssistantTest, LocationIsFixedOnceAMinuteWhileAllowed) {
    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::AuthorizedWhenInUse);
    CLLocationManager::setDevicePosition(CLLocation::withLatitude(60.17, 24.94));
    startWith(CameraAssistant::kLocation);
    ASSERT_TRUE(assistant->location());
    EXPECT_NEAR(assistant->location()->coordinate().latitude, 60.17, 1e-9);
    EXPECT_FALSE(assistant->locManager()->isUpdating());
    // The device moves: the next fix comes with the minute.
    CLLocationManager::setDevicePosition(CLLocation::withLatitude(61.5, 23.8));
    advance(30);
    EXPECT_NEAR(assistant->location()->coordinate().latitude, 60.17, 1e-9);
    advance(31);
    EXPECT_NEAR(assistant->location()->coordinate().latitude, 61.5, 1e-9);
    assistant->stop();
    EXPECT_FALSE(assistant->locManager());
    EXPECT_FALSE(assistant->timerLocation());
}

TEST_F(CameraAssistantTest, ARefusedLocationAsksWhetherToOpenTheSettings) {
    CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus::Denied);
    settle();
    recorder->geotag = true;
    startWith(CameraAssistant::kLocation);
    // First start: the status is decided, so it is the re-check; the answer is no.
    EXPECT_EQ(recorder->named("confirm"),
              (std::vector<std::string>{"confirm Location Service Authorization Required.\nOpen Settings Now?"}));
    EXPECT_EQ(recorder->named("geotag"), (std::vector<std::string>{"geotag off"}));
    EXPECT_EQ(recorder->named("location"), (std::vector<std::string>{"location changed"}));
    EXPECT_FALSE(assistant->locManager());
    // Yes opens the settings.
    assistant->stop();
    recorder->answerYes = true;
    assistant->start(recorder);
    EXPECT_EQ(recorder->named("settings").size(), 1u);
}

TEST_F(CameraAssistantTest, TheCameraScreensOptionsLeaveLocationAloneAndReportLibraryChanges) {
    CLLocationManager::setDevicePosition(CLLocation::withLatitude(60.17, 24.94));
    startWith(27);
    advance(1.0);
    EXPECT_FALSE(assistant->locManager());
    EXPECT_FALSE(assistant->location());
    auto before = recorder->named("photos").size();
    bool saved = false;
    Bytes jpeg;
    {
        RasterRGBA8 r = makeRaster(8, 8);
        for (auto& v : r.pixels) v = 255;
        jpeg = *encodeJpeg(r);
    }
    saveToPhotos(jpeg, [&](bool ok) { saved = ok; });
    ASSERT_TRUE(advanceUntil([&] { return saved; }));
    settle();
    EXPECT_EQ(recorder->named("photos").size(), before + 1);
    assistant->stop();
    saved = false;
    saveToPhotos(jpeg, [&](bool ok) { saved = ok; });
    ASSERT_TRUE(advanceUntil([&] { return saved; }));
    settle();
    EXPECT_EQ(recorder->named("photos").size(), before + 1);
}
