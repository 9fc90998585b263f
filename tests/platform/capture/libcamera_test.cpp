// The Linux camera stack source: the control mapping always, live cameras only where present.
#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/libcamera_mapping.h"

namespace m = libcamera_mapping;

TEST(LibcameraMappingTest, ControlsRoundTripThroughTheDeviceModel) {
    EXPECT_FLOAT_EQ(m::isoFromAnalogueGain(1.0f), 100.0f);
    EXPECT_FLOAT_EQ(m::analogueGainFromIso(m::isoFromAnalogueGain(7.5f)), 7.5f);
    // Far (1) is infinity (0 dioptres); near (0) is the nearest focus.
    EXPECT_FLOAT_EQ(m::dioptresFromLensPosition(1.0f, 10.0f), 0.0f);
    EXPECT_FLOAT_EQ(m::dioptresFromLensPosition(0.0f, 10.0f), 10.0f);
    EXPECT_FLOAT_EQ(m::lensPositionFromDioptres(m::dioptresFromLensPosition(0.3f, 12.0f), 12.0f), 0.3f);
    EXPECT_FLOAT_EQ(m::lensPositionFromDioptres(50.0f, 12.0f), 0.0f) << "beyond the range clamps";
    EXPECT_FLOAT_EQ(m::lensPositionFromDioptres(1.0f, 0.0f), 1.0f) << "a fixed lens reads far";
    // Device gains (smallest 1) against red and blue relative to green.
    auto c = m::colourGainsFromDeviceGains({2.0f, 1.0f, 1.6f});
    EXPECT_FLOAT_EQ(c.red, 2.0f);
    EXPECT_FLOAT_EQ(c.blue, 1.6f);
    auto g = m::deviceGainsFromColourGains({0.5f, 2.0f});
    EXPECT_FLOAT_EQ(g.redGain, 1.0f);
    EXPECT_FLOAT_EQ(g.greenGain, 2.0f);
    EXPECT_FLOAT_EQ(g.blueGain, 4.0f);
    EXPECT_EQ(m::microsecondsFromDuration(CMTimeMake(1, 250)), 4000);
    EXPECT_EQ(m::microsecondsFromDuration(kCMTimeInvalid), 1);
    EXPECT_EQ(CMTimeGetSeconds(m::durationFromMicroseconds(20000)), 0.02);
}

TEST_F(CaptureTest, TheCameraStackWithoutCamerasIsReportedCleanly) {
    auto r = CaptureDeviceRegistry::configure("libcamera:no-such-camera");
    ASSERT_FALSE(r);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    EXPECT_TRUE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Audio));
    auto any = CaptureDeviceRegistry::configure("libcamera");
    if (!any) GTEST_SKIP() << "no camera: " << any.error();
    // A camera is present: it starts and stops cleanly at its smallest preset.
    auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(camera);
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
    session->setSessionPreset(AVCaptureSessionPreset::Low);
    EXPECT_TRUE(session->startRunning());
    session->stopRunning();
}
