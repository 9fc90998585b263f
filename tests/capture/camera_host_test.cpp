// The capture host: session life cycle and its events, presets, the microphone, camera switch,
// focus and exposure sequences, lock failures, zoom and torch, connection orientation and names.
#include "capture/camera_host.h"

#include "capture/capture_device_custom.h"
#include "capture/string_custom_capture.h"
#include "platform/capture/av_capture_session.h"
#include "platform/runtime/error.h"
#include "platform/ui/app/ui_application.h"
#include "tests/capture/capture_engine_test_support.h"

namespace {

class RecordingDelegate : public CameraHostDelegate {
public:
    void onCameraHostWillFocus(const std::shared_ptr<CameraHost>&, CGPoint pt) override {
        events.add("willFocus");
        focusPoint = pt;
    }
    void onCameraHostDidFocus(const std::shared_ptr<CameraHost>&) override { events.add("didFocus"); }
    void onCameraHostDidTorchChange(const std::shared_ptr<CameraHost>&, bool b) override {
        events.add(b ? "torchOn" : "torchOff");
    }
    void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>&) override { events.add("willStart"); }
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>&) override { events.add("didStart"); }
    void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>&) override { events.add("willStop"); }
    void onCameraHostDidSessionStop(const std::shared_ptr<CameraHost>&) override { events.add("didStop"); }
    void onCameraHostWasInterruped(const std::shared_ptr<CameraHost>&) override { events.add("interrupted"); }
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) override {
        ++videoFrames;
        std::lock_guard lock(m);
        lastFrame = CMSampleBufferGetImageBuffer(s);
    }
    void onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef&) override {
        ++audioBuffers;
    }
    std::vector<std::string> lifecycle() const {
        std::vector<std::string> out;
        for (auto& e : events.items())
            if (e.find("Start") != std::string::npos || e.find("Stop") != std::string::npos) out.push_back(e);
        return out;
    }

    Recorder<std::string> events;
    CGPoint focusPoint{};
    std::atomic<int> videoFrames{0}, audioBuffers{0};
    std::mutex m;
    CVPixelBufferRef lastFrame;
};

}  // namespace

class CameraHostTest : public CaptureEngineTest {
protected:
    std::shared_ptr<CameraHost> makeHost(bool audio = false,
                                         std::vector<std::string> presets = {AVCaptureSessionPreset::Low}) {
        auto host = CameraHost::make(true, audio);
        host->setPresets(std::move(presets));
        host->setCameraDelegate(delegate);
        return host;
    }
    // Starts and waits for the result.
    bool startAndWait(const std::shared_ptr<CameraHost>& host) {
        int calls = 0;
        bool result = false;
        host->start([&](bool ok) { ++calls, result = ok; });
        settle();
        EXPECT_EQ(calls, 1);
        return result;
    }
    void stopAndWait(const std::shared_ptr<CameraHost>& host) {
        host->stop({});
        settle();
    }

    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(CameraHostTest, StartDeliversFramesAndStopEndsTheSessionWithEventsInOrder) {
    auto host = makeHost();
    std::vector<std::string> results;
    host->start([&](bool ok) { results.push_back(ok ? "start YES" : "start NO"); });
    // The flag is taken on the caller's thread: a second start before the build runs is refused at once.
    EXPECT_TRUE(host->isRunning());
    host->start([&](bool ok) { results.push_back(ok ? "again YES" : "again NO"); });
    EXPECT_EQ(results, (std::vector<std::string>{"again NO"}));
    settle();
    EXPECT_EQ(results, (std::vector<std::string>{"again NO", "start YES"}));
    ASSERT_TRUE(host->session());
    EXPECT_TRUE(host->session()->isRunning());
    EXPECT_EQ(host->session()->sessionPreset(), AVCaptureSessionPreset::Low);
    EXPECT_TRUE(UIApplication::sharedApplication()->isIdleTimerDisabled());

    advance(0.2);
    EXPECT_GT(delegate->videoFrames.load(), 0);
    {
        std::lock_guard lock(delegate->m);
        ASSERT_TRUE(delegate->lastFrame);
        // Frames come upright (portrait): the sensor's 192 x 144 turned.
        EXPECT_EQ(delegate->lastFrame->width(), 144u);
        EXPECT_EQ(delegate->lastFrame->height(), 192u);
    }

    host->stop([&](bool ok) { results.push_back(ok ? "stop YES" : "stop NO"); });
    EXPECT_FALSE(host->isRunning());
    host->stop([&](bool ok) { results.push_back(ok ? "stop2 YES" : "stop2 NO"); });
    settle();
    EXPECT_EQ(results, (std::vector<std::string>{"again NO", "start YES", "stop2 NO", "stop YES"}));
    EXPECT_FALSE(host->session());
    EXPECT_FALSE(host->vInput());
    EXPECT_FALSE(UIApplication::sharedApplication()->isIdleTimerDisabled());
    EXPECT_EQ(delegate->lifecycle(), (std::vector<std::string>{"willStart", "didStart", "willStop", "didStop"}));
    int frames = delegate->videoFrames.load();
    advance(0.2);
    EXPECT_EQ(delegate->videoFrames.load(), frames);
}

TEST_F(CameraHostTest, HostWithAudioFindsTheMicrophoneAndStarts) {
    auto host = makeHost(true);
    EXPECT_TRUE(startAndWait(host));
    ASSERT_TRUE(host->aInput());
    EXPECT_TRUE(host->aInput()->device()->hasMediaType(AVMediaType::Audio));
    advance(0.1);
    EXPECT_GT(delegate->audioBuffers.load(), 0);
    EXPECT_GT(delegate->videoFrames.load(), 0);
    stopAndWait(host);
}

TEST_F(CameraHostTest, PresetListsAndFailedBuilds) {
    auto host = makeHost(false, {});
    EXPECT_TRUE(startAndWait(host));
    EXPECT_EQ(host->session()->sessionPreset(), AVCaptureSessionPreset::Photo);
    stopAndWait(host);

    host->setPresets({"no such preset"});
    EXPECT_TRUE(startAndWait(host));
    EXPECT_EQ(host->session()->sessionPreset(), AVCaptureSessionPreset::High);
    stopAndWait(host);

    // A camera the user has not allowed: the build fails once, the session is not started.
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Denied);
    host->setPresets({AVCaptureSessionPreset::Low});
    EXPECT_FALSE(startAndWait(host));
    ASSERT_TRUE(host->session());
    EXPECT_FALSE(host->session()->isRunning());
    EXPECT_TRUE(host->isRunning());
    stopAndWait(host);
    EXPECT_FALSE(host->isRunning());
}

TEST_F(CameraHostTest, ACameraThatCannotStreamFailsTheStartOnceWithoutRestartingForever) {
    // A driver that delivers no video: the session refuses to run and reports a runtime error.
    class SilentDriver : public CaptureDeviceDriver {};
    CaptureDeviceRegistry::setDevices({make<AVCaptureDevice>(syntheticBackCameraCapabilities(),
                                                             std::unique_ptr<CaptureDeviceDriver>(new SilentDriver())),
                                       makeMicrophone()});
    auto host = makeHost();
    EXPECT_FALSE(startAndWait(host));
    advance(1.0);
    EXPECT_EQ(delegate->lifecycle(), (std::vector<std::string>{"willStart", "didStart"}));
    EXPECT_TRUE(host->isRunning());
    stopAndWait(host);
    EXPECT_FALSE(host->isRunning());
}

TEST_F(CameraHostTest, SwitchCameraFlipsThePositionAndMirrorsTheFrontCamera) {
    auto host = makeHost();
    EXPECT_TRUE(startAndWait(host));
    int calls = 0;
    host->switchCamera([&](bool ok) { calls += ok; });
    settle();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(host->position(), CameraSide::Front);
    EXPECT_EQ(host->camera(), front());
    auto connection = host->vOutput()->connectionWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(connection);
    EXPECT_TRUE(connection->isVideoMirrored());
    EXPECT_EQ(connection->videoOrientation(), AVCaptureVideoOrientation::Portrait);

    host->switchCamera({});
    settle();
    EXPECT_EQ(host->position(), CameraSide::Back);
    EXPECT_EQ(host->camera(), back());
    EXPECT_FALSE(host->vOutput()->connectionWithMediaType(AVMediaType::Video)->isVideoMirrored());
    stopAndWait(host);
    EXPECT_EQ(delegate->lifecycle(),
              (std::vector<std::string>{"willStart", "didStart", "willStop", "didStop", "willStart", "didStart",
                                        "willStop", "didStop", "willStart", "didStart", "willStop", "didStop"}));
}

TEST_F(CameraHostTest, FocusAtAPointReportsWillThenDidInOrderAndDropsItsObservers) {
    auto host = makeHost();
    // A focus before the session exists does nothing and does not block the observers of later ones.
    host->setFocus({0.5, 0.5});
    settle();
    EXPECT_FALSE(host->observingFocus());
    ASSERT_TRUE(startAndWait(host));
    auto device = back();
    host->setFocus({0.25, 0.75});
    settle();
    EXPECT_EQ(delegate->events.items().back(), "willFocus");
    EXPECT_EQ(delegate->focusPoint.x, 0.25);
    EXPECT_TRUE(host->adjustingFocus());
    EXPECT_EQ(device->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);
    EXPECT_EQ(device->exposureMode(), AVCaptureExposureMode::AutoExpose);
    EXPECT_EQ(device->focusPointOfInterest().y, 0.75);
    EXPECT_EQ(host->lastFocused().x, 0.25);

    // Exposure settles at 0.2 s, focus at 0.3 s: one did-focus, when both are done.
    advance(0.25);
    EXPECT_EQ(delegate->events.items().back(), "willFocus");
    advance(0.1);
    std::vector<std::string> focus;
    for (auto& e : delegate->events.items())
        if (e.find("Focus") != std::string::npos) focus.push_back(e);
    EXPECT_EQ(focus, (std::vector<std::string>{"willFocus", "didFocus"}));
    EXPECT_FALSE(host->observingFocus());
    EXPECT_EQ(device->observerCount("adjustingFocus"), 0u);
    EXPECT_EQ(device->observerCount("adjustingExposure"), 0u);
    stopAndWait(host);
}

TEST_F(CameraHostTest, FocusWithoutAutoModesOrWithoutTheLockSendsNothing) {
    // A camera with neither continuous focus nor auto exposure: no events, but the point is kept.
    auto caps = syntheticBackCameraCapabilities();
    caps.focusModes = {AVCaptureFocusMode::Locked};
    caps.exposureModes = {AVCaptureExposureMode::Locked};
    CaptureDeviceRegistry::setDevices(
        {make<AVCaptureDevice>(caps, std::unique_ptr<CaptureDeviceDriver>(new SyntheticCameraDriver())),
         makeMicrophone()});
    auto host = makeHost();
    ASSERT_TRUE(startAndWait(host));
    host->setFocus({0.1, 0.2});
    advance(0.5);
    EXPECT_EQ(host->lastFocused().x, 0.1);
    for (auto& e : delegate->events.items()) EXPECT_EQ(e.find("Focus"), std::string::npos) << e;

    // The lock fails: nothing happens and the last point stays.
    synthetic(host->camera()).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = true; });
    host->setFocus({0.9, 0.9});
    advance(0.5);
    EXPECT_EQ(host->lastFocused().x, 0.1);
    for (auto& e : delegate->events.items()) EXPECT_EQ(e.find("Focus"), std::string::npos) << e;
    synthetic(host->camera()).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = false; });
    stopAndWait(host);
}

TEST_F(CameraHostTest, TeardownDuringAFocusRemovesTheObserversFromThatCamera) {
    auto host = makeHost();
    ASSERT_TRUE(startAndWait(host));
    auto device = back();
    synthetic(device).editScript([](SyntheticCameraScript& s) { s.focusNeverSettles = true; });
    host->setFocus({0.5, 0.5});
    settle();
    EXPECT_EQ(device->observerCount("adjustingFocus"), 1u);
    stopAndWait(host);
    EXPECT_EQ(device->observerCount("adjustingFocus"), 0u);
    EXPECT_EQ(device->observerCount("adjustingExposure"), 0u);
    EXPECT_FALSE(host->adjustingFocus());
    EXPECT_FALSE(host->adjustingExposure());
    // The next focus after a restart works again.
    synthetic(device).editScript([](SyntheticCameraScript& s) { s.focusNeverSettles = false; });
    ASSERT_TRUE(startAndWait(host));
    host->setFocus({0.5, 0.5});
    advance(0.4);
    EXPECT_EQ(delegate->events.items().back(), "didFocus");
    stopAndWait(host);
}

TEST_F(CameraHostTest, SubjectAreaChangeRefocusesSilentlyAtTheLastPoint) {
    auto host = makeHost();
    ASSERT_TRUE(startAndWait(host));
    auto device = back();
    EXPECT_TRUE(device->isSubjectAreaChangeMonitoringEnabled());
    host->setFocus({0.3, 0.3});
    advance(0.4);
    auto before = delegate->events.size();
    ASSERT_TRUE(device->lockForConfiguration());
    device->setFocusPointOfInterest({0.8, 0.8});
    device->unlockForConfiguration();
    synthetic(device).changeSubjectArea();
    advance(0.4);
    EXPECT_EQ(device->focusPointOfInterest().x, 0.3);
    EXPECT_EQ(delegate->events.size(), before);
    stopAndWait(host);
}

TEST_F(CameraHostTest, ZoomIsClampedAndNeedsTheLock) {
    auto host = makeHost(false, {AVCaptureSessionPreset::P3840x2160});
    ASSERT_TRUE(startAndWait(host));
    int done = 0;
    host->setZoom(0.5, [&] { ++done; });
    settle();
    EXPECT_DOUBLE_EQ(host->zoomCurrent(), 1.0);
    // The 3840 x 2160 format allows 10; the host never goes past 6.
    EXPECT_DOUBLE_EQ(host->zoomMax(), 6.0);
    host->setZoom(20.0, [&] { ++done; });
    settle();
    EXPECT_DOUBLE_EQ(host->zoomCurrent(), 6.0);
    EXPECT_EQ(done, 2);

    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.failNextLocks = 1; });
    host->setZoom(2.0, [&] { ++done; });
    settle();
    EXPECT_EQ(done, 2);
    EXPECT_DOUBLE_EQ(host->zoomCurrent(), 6.0);
    stopAndWait(host);

    // The front camera's formats stop at 4.
    host->setPosition(CameraSide::Front);
    ASSERT_TRUE(startAndWait(host));
    host->setZoom(20.0, {});
    settle();
    EXPECT_DOUBLE_EQ(host->zoomCurrent(), 4.0);
    stopAndWait(host);
}

TEST_F(CameraHostTest, TorchFlipsAndReportsOnTheMainQueue) {
    auto host = makeHost();
    ASSERT_TRUE(startAndWait(host));
    EXPECT_TRUE(host->isTorchSupported());
    host->setTorch(true);
    settle();
    EXPECT_EQ(back()->torchMode(), AVCaptureTorchMode::On);
    host->setTorch(true);  // the argument is not consulted: it flips
    settle();
    EXPECT_EQ(back()->torchMode(), AVCaptureTorchMode::Off);
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.failNextLocks = 1; });
    host->setTorch(true);
    settle();
    EXPECT_EQ(back()->torchMode(), AVCaptureTorchMode::Off);
    std::vector<std::string> torch;
    for (auto& e : delegate->events.items())
        if (e.rfind("torch", 0) == 0) torch.push_back(e);
    EXPECT_EQ(torch, (std::vector<std::string>{"torchOn", "torchOff"}));
    stopAndWait(host);

    // The front camera has no torch: it stays off.
    host->setPosition(CameraSide::Front);
    ASSERT_TRUE(startAndWait(host));
    EXPECT_FALSE(host->isTorchSupported());
    host->setTorch(true);
    settle();
    EXPECT_EQ(front()->torchMode(), AVCaptureTorchMode::Off);
    EXPECT_EQ(delegate->events.items().back(), "torchOff");
    stopAndWait(host);
}

TEST_F(CameraHostTest, RuntimeErrorRestartsAndInterruptionIsReported) {
    auto host = makeHost();
    ASSERT_TRUE(startAndWait(host));
    auto first = host->session();
    first->interrupt(AVCaptureSessionInterruptionReason::VideoDeviceInUseByAnotherClient);
    settle();
    EXPECT_EQ(delegate->events.items().back(), "interrupted");
    first->endInterruption();
    first->reportRuntimeError(
        NSError::withDescription(AVFoundationErrorDomain, AVErrorMediaServicesWereReset, "reset"));
    settle();
    ASSERT_TRUE(host->session());
    EXPECT_NE(host->session(), first);
    EXPECT_TRUE(host->session()->isRunning());
    EXPECT_EQ(delegate->lifecycle(),
              (std::vector<std::string>{"willStart", "didStart", "willStop", "didStop", "willStart", "didStart"}));
    stopAndWait(host);
}

TEST(CaptureConnectionOrientation, TurnsLandscapeAndMirrorsOnlyTheFrontCameraWhenAsked) {
    auto output = AVCaptureVideoDataOutput::make();
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addOutput(output));
    auto c = output->connectionWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(c);
    const std::pair<int, AVCaptureVideoOrientation> table[] = {{1, AVCaptureVideoOrientation::Portrait},
                                                               {2, AVCaptureVideoOrientation::PortraitUpsideDown},
                                                               {3, AVCaptureVideoOrientation::LandscapeLeft},
                                                               {4, AVCaptureVideoOrientation::LandscapeRight}};
    for (auto [given, expected] : table) {
        adjustOrientation(*c, given, 1, false);
        EXPECT_EQ(c->videoOrientation(), expected) << given;
    }
    adjustOrientation(*c, 1, 2, true);
    EXPECT_TRUE(c->isVideoMirrored());
    EXPECT_FALSE(c->automaticallyAdjustsVideoMirroring());
    adjustOrientation(*c, 1, 2, false);
    EXPECT_FALSE(c->isVideoMirrored());
    adjustOrientation(*c, 1, 1, true);
    EXPECT_FALSE(c->isVideoMirrored());
}

TEST(CaptureSettingNames, NameEachValueAndNothingOutsideTheRange) {
    EXPECT_EQ(fromFlashMode(2), "AUTO");
    EXPECT_EQ(fromFlashMode(3), std::nullopt);
    EXPECT_EQ(fromTorchMode(-1), std::nullopt);
    EXPECT_EQ(fromFocusMode(2), "CONTINUOUS AUTO");
    EXPECT_EQ(fromExposureMode(3), "CUSTOM");
    EXPECT_EQ(fromWhiteBalance(3), std::nullopt);
    EXPECT_EQ(fromDevicePosition(2), "FRONT");
    EXPECT_EQ(fromTimerShot(0.0), "OFF");
    EXPECT_EQ(fromTimerShot(3.0), "3 s");
    EXPECT_EQ(fromTimerShot(10.0), "10 s");
    EXPECT_EQ(fromImageRatio(ImageRatio::Ratio9x16), "9:16");
    EXPECT_EQ(fromImageRatio(ImageRatio::Ratio1x1), "1:1");
}

TEST_F(CameraHostTest, DeviceLimitsForTheManualControls) {
    auto device = back();
    EXPECT_DOUBLE_EQ(maxZoom(*device), 6.0);
    EXPECT_DOUBLE_EQ(maxZoom(*front()), 4.0);
    auto lo = minTemperatureAndTint(*device), hi = maxTemperatureAndTint(*device);
    // Equal gains scale away: both ends name the sensor's own neutral.
    EXPECT_NEAR(lo.first, hi.first, 1.0);
    EXPECT_TRUE(std::isfinite(lo.first));
    EXPECT_EQ(deviceWithMediaType(AVMediaType::Video, 2), front());
    EXPECT_EQ(deviceWithMediaType(AVMediaType::Video, 1), back());
    ASSERT_TRUE(defaultMicrophone());
    EXPECT_FALSE(deviceWithMediaType(AVMediaType::Audio, 0));
}
