// The "video:PATH" camera: a video file plays as frames on the clock and loops at its end.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "capture_test_support.h"
#include "clip_writer.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"

namespace {

// Keeps only the colour of the newest frame: holding the frames themselves would starve the
// output's buffer pool, as it would on a device.
struct Sink : AVCaptureDataOutputSampleBufferDelegate {
    Recorder<std::string> colours;
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        auto f = s->imageBuffer();
        const std::uint8_t* p = f->row(f->height() / 2) + f->width() / 2 * 4;
        colours.add(p[2] > 180 && p[0] < 80 ? "red" : p[0] > 180 && p[2] < 80 ? "blue" : "?");
    }
    std::string latest() const {
        auto all = colours.items();
        return all.empty() ? "none" : all.back();
    }
};

}  // namespace

TEST_F(CaptureTest, AVideoFilePlaysOnTheClockAndLoops) {
    std::string path = writeTestClip();
    ASSERT_FALSE(path.empty());
    auto configured = CaptureDeviceRegistry::configure("video:" + path);
    ASSERT_TRUE(configured) << configured.error();
    auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(camera);
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
    // Frames at the clip's own 64 x 48, not scaled up to a preset the clip cannot fill.
    EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset::P352x288));
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::High));
    EXPECT_EQ(session->frameDimensions().width, 64);
    EXPECT_EQ(session->frameDimensions().height, 48);
    auto output = AVCaptureVideoDataOutput::make();
    auto sink = std::make_shared<Sink>();
    output->setSampleBufferDelegate(sink, DispatchQueue::serial("video frames"));
    ASSERT_TRUE(session->addOutput(output));
    ASSERT_TRUE(session->startRunning());
    advance(0.3);
    EXPECT_EQ(sink->latest(), "red");
    advance(0.4);  // 0.7 s
    EXPECT_EQ(sink->latest(), "blue");
    advance(0.5);  // 1.2 s: the second time round
    EXPECT_EQ(sink->latest(), "red");
    session->stopRunning();
    std::filesystem::remove(path);

    auto broken = CaptureDeviceRegistry::configure("video:/nonexistent/clip.avi");
    ASSERT_FALSE(broken);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());

    // A file that is not a video says so, and leaves no camera behind.
    auto text = std::filesystem::temp_directory_path() / "korva-not-a-video.mp4";
    std::ofstream(text) << "these are words, not pictures\n";
    auto notVideo = CaptureDeviceRegistry::configure("video:" + text.string());
    ASSERT_FALSE(notVideo);
    EXPECT_NE(notVideo.error().find(text.string()), std::string::npos) << notVideo.error();
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    std::filesystem::remove(text);
}
