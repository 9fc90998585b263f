// The "image:PATH" camera: a picture on disk looped as frames, upright through a portrait
// connection, and refused cleanly when the file is missing or not a picture.
#include <filesystem>
#include <fstream>

#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/image/codec/jpeg.h"

namespace {

struct Sink : AVCaptureDataOutputSampleBufferDelegate {
    Recorder<CMSampleBufferRef> frames;
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        frames.add(s);
    }
};

// A picture whose first half (left, or top when tall) is red and second half blue.
std::string writePicture(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool first = w >= h ? x < w / 2 : y < h / 2;
            std::uint8_t* p = r.pixels.data() + (std::size_t(y) * w + x) * 4;
            p[0] = first ? 230 : 20, p[2] = first ? 20 : 230, p[3] = 255;
        }
    auto data = encodeJpeg(r, {.quality = 0.95});
    std::string path = (std::filesystem::temp_directory_path() /
                        ("korva-picture-" + std::to_string(w) + "x" + std::to_string(h) + ".jpg"))
                           .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data->data()), std::streamsize(data->size()));
    return path;
}

// Red minus blue of the pixel at a fraction of the frame.
int redness(const CVPixelBuffer& f, double fx, double fy) {
    const std::uint8_t* p = f.row(std::size_t(fy * (f.height() - 1))) + std::size_t(fx * (f.width() - 1)) * 4;
    return int(p[2]) - int(p[0]);
}

}  // namespace

TEST_F(CaptureTest, APictureFileLoopsAsFramesTheRightWayUp) {
    for (bool tall : {false, true}) {
        std::string path = tall ? writePicture(120, 240) : writePicture(240, 120);
        ASSERT_TRUE(CaptureDeviceRegistry::configure("image:" + path));
        auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
        ASSERT_TRUE(camera);
        EXPECT_FALSE(camera->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus));
        EXPECT_FALSE(camera->hasTorch());

        auto session = AVCaptureSession::make();
        ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
        ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::P640x480));
        auto output = AVCaptureVideoDataOutput::make();
        auto sink = std::make_shared<Sink>();
        output->setSampleBufferDelegate(sink, DispatchQueue::serial("frames"));
        ASSERT_TRUE(session->addOutput(output));
        if (tall)
            output->connectionWithMediaType(AVMediaType::Video)
                ->setVideoOrientation(AVCaptureVideoOrientation::Portrait);
        ASSERT_TRUE(session->startRunning());
        advance(0.1);
        session->stopRunning();
        ASSERT_GE(sink->frames.size(), 2u);
        auto frame = sink->frames.items().back()->imageBuffer();
        if (tall) {
            EXPECT_EQ(frame->width(), 480u);
            EXPECT_GT(redness(*frame, 0.5, 0.1), 100) << "top red";
            EXPECT_LT(redness(*frame, 0.5, 0.9), -100) << "bottom blue";
        } else {
            EXPECT_EQ(frame->width(), 640u);
            EXPECT_GT(redness(*frame, 0.1, 0.5), 100) << "left red";
            EXPECT_LT(redness(*frame, 0.9, 0.5), -100) << "right blue";
        }
        std::filesystem::remove(path);
    }
    auto missing = CaptureDeviceRegistry::configure("image:/nonexistent/picture.jpg");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("picture"), std::string::npos);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
}
