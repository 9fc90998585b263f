// Capture devices: lookup, the configuration lock, control ranges, automatic-mode sequences on the
// virtual clock, torch and flash, subject-area change, permissions and the limit on opening a source.
#include <algorithm>
#include <cmath>

#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/dispatch/notification_center.h"

TEST_F(CaptureTest, DevicesAreFoundByPositionAndMediaType) {
    ASSERT_TRUE(back());
    ASSERT_TRUE(front());
    EXPECT_EQ(back()->position(), AVCaptureDevicePosition::Back);
    EXPECT_EQ(front()->position(), AVCaptureDevicePosition::Front);
    EXPECT_EQ(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video), back());
    auto mic = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Audio);
    ASSERT_TRUE(mic);
    EXPECT_TRUE(mic->hasMediaType(AVMediaType::Audio));
    EXPECT_FALSE(AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, AVMediaType::Audio,
                                                AVCaptureDevicePosition::Back));
    EXPECT_EQ(AVCaptureDevice::deviceWithUniqueID(back()->uniqueID()), back());

    // An unknown source lists no camera but keeps the microphone.
    EXPECT_FALSE(CaptureDeviceRegistry::configure("nonsense:1"));
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    EXPECT_TRUE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Audio));
}

TEST_F(CaptureTest, SettersNeedTheLockAndTheLockCanBeScriptedToFail) {
    auto d = back();
    EXPECT_FALSE(d->setVideoZoomFactor(2.0)) << "no lock held";
    EXPECT_EQ(d->videoZoomFactor(), 1.0);

    synthetic(d).editScript([](SyntheticCameraScript& s) { s.failNextLocks = 2; });
    EXPECT_FALSE(d->lockForConfiguration());
    EXPECT_FALSE(d->lockForConfiguration());
    ASSERT_TRUE(d->lockForConfiguration());
    EXPECT_TRUE(d->setVideoZoomFactor(2.0));
    d->unlockForConfiguration();
    EXPECT_FALSE(d->isLockedForConfiguration());

    synthetic(d).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = true; });
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(d->lockForConfiguration());
}

TEST_F(CaptureTest, ControlsRefuseUnsupportedModesAndValuesOutsideTheFormat) {
    auto d = back();
    ASSERT_TRUE(d->lockForConfiguration());
    auto format = d->activeFormat();
    ASSERT_TRUE(format);

    // Custom exposure within and outside the active format's ranges.
    EXPECT_TRUE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 100), 400));
    EXPECT_EQ(d->exposureMode(), AVCaptureExposureMode::Custom);
    EXPECT_DOUBLE_EQ(CMTimeGetSeconds(d->exposureDuration()), 0.01);
    EXPECT_FLOAT_EQ(d->ISO(), 400);
    EXPECT_FALSE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 1), 400)) << "longer than the maximum";
    EXPECT_FALSE(d->setExposureModeCustomWithDuration(CMTimeMake(1, 100), format->maxISO() + 1));
    EXPECT_FLOAT_EQ(d->ISO(), 400) << "a refused call changes nothing";
    EXPECT_TRUE(d->setExposureModeCustomWithDuration(AVCaptureExposureDurationCurrent, 800));
    EXPECT_DOUBLE_EQ(CMTimeGetSeconds(d->exposureDuration()), 0.01);
    EXPECT_FALSE(d->setExposureMode(AVCaptureExposureMode::Custom)) << "custom comes with its values only";

    // White-balance gains must lie in [1, max].
    EXPECT_TRUE(d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains({1.5f, 1.0f, 2.0f}));
    EXPECT_EQ(d->whiteBalanceMode(), AVCaptureWhiteBalanceMode::Locked);
    EXPECT_FALSE(d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains({0.9f, 1.0f, 1.0f}));
    EXPECT_FALSE(
        d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains({1.0f, d->maxWhiteBalanceGain() + 0.1f, 1.0f}));
    EXPECT_FALSE(d->setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains({NAN, 1.0f, 1.0f}));
    EXPECT_EQ(d->deviceWhiteBalanceGains(), (AVCaptureWhiteBalanceGains{1.5f, 1.0f, 2.0f}));

    // Lens position and zoom.
    EXPECT_TRUE(d->setFocusModeLockedWithLensPosition(0.25f));
    EXPECT_FLOAT_EQ(d->lensPosition(), 0.25f);
    EXPECT_EQ(d->focusMode(), AVCaptureFocusMode::Locked);
    EXPECT_FALSE(d->setFocusModeLockedWithLensPosition(1.5f));
    EXPECT_FALSE(d->setVideoZoomFactor(0.5));
    EXPECT_FALSE(d->setVideoZoomFactor(format->videoMaxZoomFactor() + 1));
    EXPECT_FALSE(d->setFocusPointOfInterest({1.2, 0.5}));
    d->unlockForConfiguration();

    // The front camera has a fixed focus and no torch or flash.
    auto f = front();
    ASSERT_TRUE(f->lockForConfiguration());
    EXPECT_FALSE(f->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus));
    EXPECT_FALSE(f->setFocusMode(AVCaptureFocusMode::AutoFocus));
    EXPECT_FALSE(f->setFocusPointOfInterest({0.5, 0.5}));
    EXPECT_FALSE(f->setTorchModeOnWithLevel(1.0f));
    EXPECT_FALSE(f->hasFlash());
    EXPECT_FALSE(f->setFlashMode(AVCaptureFlashMode::On));
    f->unlockForConfiguration();
}

TEST_F(CaptureTest, TorchSwitchesOnAtALevelAndCanFail) {
    auto d = back();
    EXPECT_FALSE(d->setTorchModeOnWithLevel(1.0f)) << "no lock";
    ASSERT_TRUE(d->lockForConfiguration());
    EXPECT_FALSE(d->setTorchModeOnWithLevel(0.0f));
    EXPECT_FALSE(d->setTorchModeOnWithLevel(1.5f));
    ASSERT_TRUE(d->setTorchModeOnWithLevel(AVCaptureMaxAvailableTorchLevel));
    EXPECT_TRUE(d->isTorchActive());
    EXPECT_EQ(d->torchMode(), AVCaptureTorchMode::On);
    EXPECT_FLOAT_EQ(d->torchLevel(), 1.0f);
    EXPECT_TRUE(d->setTorchMode(AVCaptureTorchMode::Off));
    EXPECT_FALSE(d->isTorchActive());

    synthetic(d).editScript([](SyntheticCameraScript& s) { s.torchFails = true; });
    auto r = d->setTorchModeOnWithLevel(0.5f);
    EXPECT_FALSE(r);
    EXPECT_FALSE(d->isTorchActive());
    EXPECT_EQ(d->torchMode(), AVCaptureTorchMode::Off);
    EXPECT_TRUE(d->setFlashMode(AVCaptureFlashMode::Auto));
    d->unlockForConfiguration();
}

TEST_F(CaptureTest, AutomaticFocusAndExposureReportTheirAdjustingSequenceOnTheClock) {
    auto d = back();
    synthetic(d).editScript([](SyntheticCameraScript& s) {
        s.focusSettleTime = 0.3;
        s.exposureSettleTime = 0.1;
        s.sceneBrightness = 0.25;
    });
    Recorder<std::string> events;
    auto focusToken = d->addObserver("adjustingFocus", [&](const std::string& k, const Value& v) {
        events.add(k + "=" + (v.boolValue() ? "YES" : "NO"));
    });
    auto exposureToken = d->addObserver("adjustingExposure", [&](const std::string& k, const Value& v) {
        events.add(k + "=" + (v.boolValue() ? "YES" : "NO"));
    });

    ASSERT_TRUE(d->lockForConfiguration());
    ASSERT_TRUE(d->setFocusPointOfInterest({0.2, 0.7}));
    ASSERT_TRUE(d->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus));
    ASSERT_TRUE(d->setExposurePointOfInterest({0.2, 0.7}));
    ASSERT_TRUE(d->setExposureMode(AVCaptureExposureMode::AutoExpose));
    d->unlockForConfiguration();
    settle();
    EXPECT_EQ(events.items(), (std::vector<std::string>{"adjustingFocus=YES", "adjustingExposure=YES"}));
    EXPECT_TRUE(d->isAdjustingFocus());

    advance(0.15);
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(events.items().back(), "adjustingExposure=NO");
    // A scene at a quarter of the light needs four times the exposure.
    EXPECT_NEAR(d->ISO() * CMTimeGetSeconds(d->exposureDuration()), 4 * 100.0 / 60, 0.05);
    EXPECT_TRUE(d->isAdjustingFocus());

    advance(0.2);
    EXPECT_EQ(events.items().back(), "adjustingFocus=NO");
    EXPECT_FLOAT_EQ(d->lensPosition(), synthetic(d).script().sceneFocusPosition);

    // A removed observer hears nothing more; a newer request supersedes a pending one.
    d->removeObserver(exposureToken);
    ASSERT_TRUE(d->lockForConfiguration());
    d->setFocusMode(AVCaptureFocusMode::AutoFocus);
    advance(0.2);
    d->setFocusMode(AVCaptureFocusMode::AutoFocus);
    d->setExposureMode(AVCaptureExposureMode::ContinuousAutoExposure);
    d->unlockForConfiguration();
    advance(0.2);
    EXPECT_TRUE(d->isAdjustingFocus()) << "the first request's end was superseded";
    advance(0.15);
    EXPECT_FALSE(d->isAdjustingFocus());
    auto all = events.items();
    EXPECT_EQ(std::count(all.begin(), all.end(), "adjustingExposure=YES"), 1);
    d->removeObserver(focusToken);
    EXPECT_EQ(d->observerCount("adjustingFocus"), 0u);
}

TEST_F(CaptureTest, AFocusThatNeverSettlesStaysAdjusting) {
    auto d = back();
    synthetic(d).editScript([](SyntheticCameraScript& s) { s.focusNeverSettles = true; });
    ASSERT_TRUE(d->lockForConfiguration());
    d->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus);
    d->unlockForConfiguration();
    advance(3.0);
    EXPECT_TRUE(d->isAdjustingFocus());
    // Locking the focus ends it.
    ASSERT_TRUE(d->lockForConfiguration());
    d->setFocusMode(AVCaptureFocusMode::Locked);
    d->unlockForConfiguration();
    settle();
    EXPECT_FALSE(d->isAdjustingFocus());
}

TEST_F(CaptureTest, SubjectAreaChangeIsPostedOnlyWhileMonitoring) {
    auto d = back();
    Recorder<std::string> posted;
    auto token = NSNotificationCenter::defaultCenter()->addObserver(
        AVCaptureDeviceSubjectAreaDidChangeNotification, d, nullptr,
        [&](const std::shared_ptr<NSNotification>& n) { posted.add(n->name()); });
    synthetic(d).changeSubjectArea();
    EXPECT_EQ(posted.size(), 0u);
    EXPECT_FALSE(d->setSubjectAreaChangeMonitoringEnabled(true)) << "needs the lock";
    ASSERT_TRUE(d->lockForConfiguration());
    EXPECT_TRUE(d->setSubjectAreaChangeMonitoringEnabled(true));
    d->unlockForConfiguration();
    synthetic(d).changeSubjectArea();
    settle();
    EXPECT_EQ(posted.size(), 1u);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(CaptureTest, AuthorizationIsConfigurableAndRequestsAnswerOnce) {
    EXPECT_EQ(AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video), AVAuthorizationStatus::Authorized);
    CaptureAuthorization::setStatus(AVMediaType::Audio, AVAuthorizationStatus::NotDetermined);
    CaptureAuthorization::setRequestAnswer(AVMediaType::Audio, false);
    Recorder<bool> answers;
    AVCaptureDevice::requestAccessForMediaType(AVMediaType::Audio, [&](bool granted) { answers.add(granted); });
    settle();
    EXPECT_EQ(answers.items(), (std::vector<bool>{false}));
    EXPECT_EQ(AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Audio), AVAuthorizationStatus::Denied);
    // Once decided, a request answers from the status without asking again.
    CaptureAuthorization::setRequestAnswer(AVMediaType::Audio, true);
    AVCaptureDevice::requestAccessForMediaType(AVMediaType::Audio, [&](bool granted) { answers.add(granted); });
    settle();
    EXPECT_EQ(answers.items(), (std::vector<bool>{false, false}));
    // A denied camera cannot become an input.
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Denied);
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(back()));
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(nullptr));
}

TEST_F(CaptureTest, WhiteBalanceConversionsUseTheSensorAndIgnoreOverallGain) {
    auto d = back();
    // The camera screen's temperature bounds: gains all 1 and all at the maximum name one light.
    auto low = d->temperatureAndTintValuesForDeviceWhiteBalanceGains({1, 1, 1});
    float g = d->maxWhiteBalanceGain();
    auto high = d->temperatureAndTintValuesForDeviceWhiteBalanceGains({g, g, g});
    EXPECT_FLOAT_EQ(low.temperature, high.temperature);
    EXPECT_FLOAT_EQ(low.tint, high.tint);
    // Tungsten light needs the blue channel raised against red; the camera's own daylight
    // neutral converts back to daylight.
    auto tungsten = d->deviceWhiteBalanceGainsForTemperatureAndTintValues({3000, 0});
    auto daylight = d->deviceWhiteBalanceGainsForTemperatureAndTintValues({6500, 0});
    EXPECT_GT(tungsten.blueGain / tungsten.redGain, daylight.blueGain / daylight.redGain);
    EXPECT_NEAR(d->temperatureAndTintValuesForDeviceWhiteBalanceGains(daylight).temperature, 6500, 15);
    // The camera starts balanced for its scene.
    auto scene = d->deviceWhiteBalanceGainsForTemperatureAndTintValues({synthetic(d).script().sceneTemperature, 0});
    EXPECT_NEAR(d->deviceWhiteBalanceGains().redGain, std::min(scene.redGain, g), 1e-4);
}

TEST_F(CaptureTest, ACameraWithScriptedCapabilitiesReplacesTheBuiltInOnes) {
    // A fixed camera: no automatic modes, a format that zooms to 10x, photos of 640x480.
    auto caps = syntheticBackCameraCapabilities();
    caps.uniqueID = "scripted";
    caps.focusModes = {AVCaptureFocusMode::Locked};
    caps.focusPointOfInterestSupported = false;
    caps.exposureModes = {AVCaptureExposureMode::Locked, AVCaptureExposureMode::Custom};
    caps.hasTorch = false;
    caps.torchModes = {AVCaptureTorchMode::Off};
    AVCaptureDeviceFormat::Description d;
    d.dimensions = {640, 480};
    d.highResolutionStillImageDimensions = {640, 480};
    d.videoMaxZoomFactor = 10;
    d.minISO = 50;
    d.maxISO = 400;
    caps.formats = {AVCaptureDeviceFormat::make(d)};
    caps.presets = {{AVCaptureSessionPreset::Photo, {0, {640, 480}}}};
    SyntheticCameraScript script;
    script.failNextLocks = 1;
    auto camera = makeSyntheticCamera(caps, script);
    CaptureDeviceRegistry::setDevices({camera, makeMicrophone()});

    EXPECT_EQ(back(), camera);
    EXPECT_FALSE(front());
    EXPECT_FALSE(camera->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::High));
    EXPECT_FALSE(camera->isExposureModeSupported(AVCaptureExposureMode::AutoExpose));
    EXPECT_EQ(camera->focusMode(), AVCaptureFocusMode::Locked);
    EXPECT_EQ(camera->exposureMode(), AVCaptureExposureMode::Locked) << "starts locked, not custom";
    EXPECT_FALSE(camera->lockForConfiguration()) << "the scripted first lock fails";
    ASSERT_TRUE(camera->lockForConfiguration());
    EXPECT_FALSE(camera->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus));
    EXPECT_FALSE(camera->setFocusPointOfInterest({0.5, 0.5}));
    EXPECT_TRUE(camera->setVideoZoomFactor(10.0));
    EXPECT_FALSE(camera->setVideoZoomFactor(10.5));
    EXPECT_FALSE(camera->setExposureModeCustomWithDuration(CMTimeMake(1, 100), 800)) << "above this format's ISO";
    EXPECT_TRUE(camera->setExposureModeCustomWithDuration(CMTimeMake(1, 100), 400));
    camera->unlockForConfiguration();
}

// A source whose opening never returns (a driver or device that does not answer) is given up after
// the limit and named; the program goes on without a camera, and what the opening gives later is
// let go unused.
TEST_F(CaptureTest, ASourceThatDoesNotAnswerWithinTheLimitIsGivenUp) {
    struct Gate {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
        bool finished = false;
    };
    auto gate = std::make_shared<Gate>();
    CaptureDeviceRegistry::registerBackend("stuck", [gate](const CameraSource&) {
        std::unique_lock lock(gate->mutex);
        gate->opened.wait(lock, [&] { return gate->open; });
        gate->finished = true;
        gate->opened.notify_all();
        return Result<std::vector<std::shared_ptr<AVCaptureDevice>>>(makeSyntheticCameras());
    });
    auto configured = CaptureDeviceRegistry::configure("stuck:camera", 0.2);
    ASSERT_FALSE(configured);
    EXPECT_EQ(configured.error(), "the source did not answer within 0.2 s");
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    EXPECT_EQ(AVCaptureDevice::devicesWithMediaType(AVMediaType::Audio).size(), 1u) << "the microphone stays";

    std::unique_lock lock(gate->mutex);
    gate->open = true;
    gate->opened.notify_all();
    gate->opened.wait(lock, [&] { return gate->finished; });
    lock.unlock();
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty()) << "the late cameras are not taken";
    ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic"));
    EXPECT_TRUE(back());
}
