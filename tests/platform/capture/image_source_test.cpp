// The "image:PATH" camera: a picture on disk looped as frames, upright through a portrait
// connection, and refused cleanly when the file is missing or not a picture.
#include <filesystem>
#include <fstream>

#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/capture/file_camera_capabilities.h"
#include "platform/capture/image_file_camera.h"
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

TEST_F(CaptureTest, APictureFileLoopsAsFramesTheRightWayUpAtItsOwnSize) {
    for (bool tall : {false, true}) {
        std::string path = tall ? writePicture(120, 240) : writePicture(240, 120);
        ASSERT_TRUE(CaptureDeviceRegistry::configure("image:" + path));
        auto camera = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
        ASSERT_TRUE(camera);
        EXPECT_FALSE(camera->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus));
        EXPECT_FALSE(camera->hasTorch());

        auto session = AVCaptureSession::make();
        ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(camera)));
        // Nothing larger than the picture: the preset the camera host asks first is refused.
        EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset::P3840x2160));
        EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset::P640x480));
        ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::Photo));
        auto output = AVCaptureVideoDataOutput::make();
        auto sink = std::make_shared<Sink>();
        output->setSampleBufferDelegate(sink, DispatchQueue::serial("frames"));
        ASSERT_TRUE(session->addOutput(output));
        // A portrait connection, as the camera screen asks: the picture is not turned by it.
        output->connectionWithMediaType(AVMediaType::Video)->setVideoOrientation(AVCaptureVideoOrientation::Portrait);
        ASSERT_TRUE(session->startRunning());
        advance(0.1);
        session->stopRunning();
        ASSERT_GE(sink->frames.size(), 2u);
        auto frame = sink->frames.items().back()->imageBuffer();
        if (tall) {
            EXPECT_EQ(frame->width(), 120u);
            EXPECT_EQ(frame->height(), 240u);
            EXPECT_GT(redness(*frame, 0.5, 0.1), 100) << "top red";
            EXPECT_LT(redness(*frame, 0.5, 0.9), -100) << "bottom blue";
        } else {
            EXPECT_EQ(frame->width(), 240u);
            EXPECT_EQ(frame->height(), 120u);
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

TEST_F(CaptureTest, SourcesTakeAFrameSizeAndOfferOnlyPresetsThatFitIt) {
    std::string path = writePicture(240, 120);
    ASSERT_TRUE(CaptureDeviceRegistry::configure("image:" + path + "@80x40"));
    auto picture = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->capabilities().presets.at(AVCaptureSessionPreset::Photo).outputDimensions.width, 80);
    EXPECT_EQ(picture->activeFormat()->highResolutionStillImageDimensions().height, 40) << "photos no larger";
    std::filesystem::remove(path);

    ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic@1280x720"));
    auto back = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus)) << "still the synthetic camera";
    EXPECT_FALSE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P3840x2160));
    EXPECT_FALSE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P1920x1080));
    EXPECT_TRUE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P1280x720));
    EXPECT_TRUE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P640x480));
    for (const auto& [name, choice] : back->capabilities().presets) {
        EXPECT_LE(choice.outputDimensions.width, 1280) << name;
        EXPECT_LE(choice.outputDimensions.height, 720) << name;
    }
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(back)));
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::High));
    EXPECT_EQ(session->frameDimensions().width, 1280);
    EXPECT_EQ(session->frameDimensions().height, 720);

    // Without a size the synthetic camera is as it always was; bad sizes are refused.
    ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic"));
    EXPECT_TRUE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video)
                    ->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P3840x2160));
    for (const char* bad : {"synthetic@0x10", "synthetic@99999x10", "v4l2:/dev/video0@640x480"})
        EXPECT_FALSE(CaptureDeviceRegistry::configure(bad)) << bad;
    auto parsed = CameraSource::parse("image:/pictures/me@2x.png");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->argument, "/pictures/me@2x.png") << "an @ in a file name is not a size";
    EXPECT_FALSE(parsed->size);
}

// A source's frames and photos are its own size: the 4K preset, which the photo road asks for
// before Photo, is offered only when it is that size, so a larger source is neither shrunk nor
// cropped to 16:9. Pictures beyond twelve megapixels are scaled down to twelve, keeping their shape.
TEST_F(CaptureTest, ALargeSourceKeepsItsOwnSizeForFramesAndPhotos) {
    ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic@4000x3000"));
    auto back = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P3840x2160));
    EXPECT_TRUE(back->supportsAVCaptureSessionPreset(AVCaptureSessionPreset::P1920x1080));
    auto session = AVCaptureSession::make();
    ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(back)));
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::Photo));
    EXPECT_EQ(session->frameDimensions().width, 4000);
    EXPECT_EQ(session->frameDimensions().height, 3000);

    const auto tall = fileCameraCapabilities("tall", "Tall", 3000, 4000);
    EXPECT_FALSE(tall.presets.count(AVCaptureSessionPreset::P3840x2160));
    EXPECT_EQ(tall.presets.at(AVCaptureSessionPreset::P1920x1080).outputDimensions.height, 1920);
    EXPECT_TRUE(fileCameraCapabilities("4k", "4K", 2160, 3840).presets.count(AVCaptureSessionPreset::P3840x2160))
        << "a source of exactly that size";

    EXPECT_FALSE(boundedFrameSize(3000, 4000)) << "twelve megapixels are kept";
    EXPECT_FALSE(boundedFrameSize(4032, 3024));
    auto bounded = boundedFrameSize(6000, 8000);
    ASSERT_TRUE(bounded);
    EXPECT_EQ(bounded->width, 3024);
    EXPECT_EQ(bounded->height, 4032);

    // No frame is larger than the preview can show: a long picture of few pixels is brought within
    // its sides, and a size asked for beyond them is refused with the largest of its shape.
    bounded = boundedFrameSize(12000, 1000);
    ASSERT_TRUE(bounded);
    EXPECT_EQ(*bounded, (CMVideoDimensions{8192, 682}));
    auto refused = CaptureDeviceRegistry::configure("synthetic@8193x100");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("larger than the preview can show (8192x99 at most"), std::string::npos)
        << refused.error();
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaType::Video).empty());
    EXPECT_TRUE(CaptureDeviceRegistry::configure("synthetic@8192x8192"));
}
