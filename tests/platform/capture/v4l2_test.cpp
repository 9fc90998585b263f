// The V4L2 webcam source: pixel conversion always, live capture only where a webcam exists.
#include <chrono>
#include <filesystem>
#include <thread>

#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/capture/pixel_conversion.h"

TEST(PixelConversionTest, YuyvBecomesBgraWithLimitedRangeLevels) {
    // Two pixel pairs: white and black, then pure red (BT.601: Y 81, U 90, V 240).
    std::vector<std::uint8_t> yuyv = {235, 128, 16, 128, 81, 90, 81, 240};
    auto out = CVPixelBuffer::make(2, 2);
    ASSERT_TRUE(convertYUYVToBGRA(yuyv, 2, 2, 4, *out));
    const std::uint8_t* r0 = out->row(0);
    EXPECT_EQ(r0[0], 255);
    EXPECT_EQ(r0[1], 255);
    EXPECT_EQ(r0[2], 255);
    EXPECT_EQ(r0[4 + 2], 0);
    const std::uint8_t* r1 = out->row(1);
    EXPECT_NEAR(r1[2], 255, 2);
    EXPECT_NEAR(r1[1], 0, 2);
    EXPECT_NEAR(r1[0], 0, 2);
    EXPECT_EQ(r1[3], 255);
    // Short data, odd widths and mismatched buffers are refused, not read past.
    EXPECT_FALSE(convertYUYVToBGRA(std::span(yuyv).first(6), 2, 2, 4, *out));
    EXPECT_FALSE(convertYUYVToBGRA(yuyv, 3, 1, 6, *CVPixelBuffer::make(3, 1)));
    EXPECT_FALSE(convertYUYVToBGRA(yuyv, 2, 2, 4, *CVPixelBuffer::make(4, 4)));
    EXPECT_FALSE(convertMJPEGToBGRA(yuyv));
}

TEST_F(CaptureTest, AMissingWebcamIsReportedAndLeavesNoCamera) {
    auto r = CaptureDeviceRegistry::configure("v4l2:/dev/video-korva-missing");
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().find("/dev/video-korva-missing"), std::string::npos);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    EXPECT_FALSE(CaptureDeviceRegistry::configure("v4l2:/dev/null")) << "not a V4L2 device";
}

namespace {
struct Counter : AVCaptureDataOutputSampleBufferDelegate {
    Recorder<CMSampleBufferRef> frames;
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        frames.add(s);
    }
};
}  // namespace

TEST_F(CaptureTest, AWebcamStreamsFramesWhenOneIsPresent) {
    if (!std::filesystem::exists("/dev/video0")) GTEST_SKIP() << "no webcam on this machine";
    Clock::useReal();
    auto r = CaptureDeviceRegistry::configure("v4l2:/dev/video0");
    if (!r) GTEST_SKIP() << r.error();
    auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(camera);
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::Low));
    auto output = AVCaptureVideoDataOutput::make();
    auto sink = std::make_shared<Counter>();
    output->setSampleBufferDelegate(sink, DispatchQueue::serial("webcam"));
    ASSERT_TRUE(session->addOutput(output));
    ASSERT_TRUE(session->startRunning());
    for (int i = 0; i < 50 && sink->frames.size() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session->stopRunning();
    Clock::useVirtual();
    EXPECT_GE(sink->frames.size(), 3u);
}
