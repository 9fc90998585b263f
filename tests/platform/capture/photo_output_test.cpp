// The photo output: a full-resolution JPEG with metadata, delivered off the caller's thread, and
// errors reported to the delegate rather than thrown.
#include "capture_test_support.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_photo_output.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg.h"

namespace {

struct PhotoSink : AVCapturePhotoCaptureDelegate {
    Recorder<std::shared_ptr<AVCapturePhoto>> photos;
    Recorder<std::shared_ptr<NSError>> errors;
    Recorder<CMSampleBufferRef> sampleBuffers;
    Recorder<bool> finished;
    Recorder<bool> onMainThread;
    void didFinishProcessingPhoto(const std::shared_ptr<AVCapturePhotoOutput>&,
                                  const std::shared_ptr<AVCapturePhoto>& p,
                                  const std::shared_ptr<NSError>& e) override {
        onMainThread.add(RunLoop::isMainThread());
        if (p) photos.add(p);
        if (e) errors.add(e);
    }
    void didFinishProcessingPhotoSampleBuffer(const std::shared_ptr<AVCapturePhotoOutput>&, const CMSampleBufferRef& s,
                                              const CMSampleBufferRef&, const AVCaptureResolvedPhotoSettings&,
                                              const std::shared_ptr<NSError>&) override {
        if (s) sampleBuffers.add(s);
    }
    void didFinishCapture(const std::shared_ptr<AVCapturePhotoOutput>&, const AVCaptureResolvedPhotoSettings&,
                          const std::shared_ptr<NSError>& e) override {
        finished.add(e == nullptr);
    }
};

class PhotoOutputTest : public CaptureTest {
protected:
    void start(const std::shared_ptr<AVCaptureDevice>& device) {
        session = AVCaptureSession::make();
        ASSERT_TRUE(session->addInput(*AVCaptureDeviceInput::deviceInputWithDevice(device)));
        ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::Photo));
        photo = AVCapturePhotoOutput::make();
        ASSERT_TRUE(session->addOutput(photo));
        photo->setMaxPhotoDimensions({400, 400});
        ASSERT_TRUE(session->startRunning());
    }
    void TearDown() override {
        if (session) session->stopRunning();
        CaptureTest::TearDown();
    }
    std::shared_ptr<AVCaptureSession> session;
    std::shared_ptr<AVCapturePhotoOutput> photo;
    std::shared_ptr<PhotoSink> sink = std::make_shared<PhotoSink>();
};

}  // namespace

TEST_F(PhotoOutputTest, DeliversALandscapeJpegWithOrientationAndMetadata) {
    start(back());
    photo->connectionWithMediaType(AVMediaType::Video)->setVideoOrientation(AVCaptureVideoOrientation::Portrait);
    auto settings = AVCapturePhotoSettings::photoSettings();
    settings->setFlashMode(AVCaptureFlashMode::Auto);
    photo->capturePhoto(settings, sink);
    settle();
    ASSERT_EQ(sink->photos.size(), 1u);
    EXPECT_EQ(sink->onMainThread.items(), (std::vector<bool>{false}));
    EXPECT_EQ(sink->finished.items(), (std::vector<bool>{true}));
    auto p = sink->photos.items()[0];
    EXPECT_EQ(p->resolvedSettings().uniqueID, settings->uniqueID());
    EXPECT_EQ(p->resolvedSettings().photoDimensions, (CMVideoDimensions{400, 300}));
    ASSERT_TRUE(p->pixelBuffer());
    EXPECT_EQ(p->pixelBuffer()->width(), 400u);

    auto jpeg = p->fileDataRepresentation();
    ASSERT_TRUE(jpeg);
    auto decoded = decodeJpeg(*jpeg);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->raster.width, 400);
    EXPECT_EQ(decoded->raster.height, 300);
    EXPECT_EQ(decoded->info.orientation, 6) << "portrait recorded as EXIF orientation, pixels as the sensor reads";
    auto props = readImageProperties(*jpeg);
    ASSERT_TRUE(props);
    EXPECT_EQ((*props)["{TIFF}"]["Make"].stringValue(), "Korva");
    EXPECT_GT((*props)["{Exif}"]["ExposureTime"].doubleValue(), 0);
    EXPECT_EQ(p->metadata().get("Orientation").integerValue(), 6);
}

TEST_F(PhotoOutputTest, JpegRepresentationCarriesAttachmentsAddedToTheSampleBuffer) {
    start(back());
    photo->capturePhoto(AVCapturePhotoSettings::photoSettings(), sink);
    settle();
    ASSERT_EQ(sink->sampleBuffers.size(), 1u);
    auto buffer = sink->sampleBuffers.items()[0];
    buffer->setAttachment(
        "{GPS}",
        Value::dictionary({{"Latitude", 33.9}, {"LatitudeRef", "S"}, {"Longitude", 18.4}, {"LongitudeRef", "E"}}),
        CMAttachmentMode::ShouldPropagate);
    auto tiff = buffer->attachment("{TIFF}").deepCopy();
    tiff.set("Software", "Korva Test");
    buffer->setAttachment("{TIFF}", tiff, CMAttachmentMode::ShouldPropagate);
    auto jpeg = AVCapturePhotoOutput::JPEGPhotoDataRepresentation(buffer);
    ASSERT_TRUE(jpeg);
    auto props = readImageProperties(*jpeg);
    ASSERT_TRUE(props);
    EXPECT_NEAR((*props)["{GPS}"]["Latitude"].doubleValue(), 33.9, 1e-6);
    EXPECT_EQ((*props)["{GPS}"]["LatitudeRef"].stringValue(), "S");
    EXPECT_EQ((*props)["{TIFF}"]["Software"].stringValue(), "Korva Test");
    EXPECT_EQ((*props)["{TIFF}"]["Make"].stringValue(), "Korva");
    // A buffer without a JPEG has no representation.
    EXPECT_FALSE(AVCapturePhotoOutput::JPEGPhotoDataRepresentation(
        CMSampleBuffer::withImageBuffer(CVPixelBuffer::make(2, 2), {})));
    EXPECT_FALSE(AVCapturePhotoOutput::JPEGPhotoDataRepresentation(nullptr));
}

TEST_F(PhotoOutputTest, FailuresReachTheDelegateAsErrors) {
    // Not running.
    auto idle = AVCapturePhotoOutput::make();
    idle->capturePhoto(AVCapturePhotoSettings::photoSettings(), sink);
    settle();
    ASSERT_EQ(sink->errors.size(), 1u);

    // A flash mode the front camera lacks.
    start(front());
    EXPECT_EQ(photo->supportedFlashModes(), (std::vector<AVCaptureFlashMode>{AVCaptureFlashMode::Off}));
    auto settings = AVCapturePhotoSettings::photoSettings();
    settings->setFlashMode(AVCaptureFlashMode::On);
    photo->capturePhoto(settings, sink);
    settle();
    EXPECT_EQ(sink->errors.size(), 2u);
    EXPECT_EQ(sink->photos.size(), 0u);
    EXPECT_EQ(sink->finished.items(), (std::vector<bool>{false, false}));
}

TEST_F(PhotoOutputTest, FlashLightsADarkScene) {
    auto d = back();
    synthetic(d).editScript([](SyntheticCameraScript& s) { s.sceneBrightness = 0.1; });
    start(d);
    auto mean = [](const CVPixelBuffer& b) {
        double sum = 0;
        for (std::size_t y = 0; y < b.height(); ++y)
            for (std::size_t x = 0; x < b.width(); ++x) sum += b.row(y)[x * 4 + 1];
        return sum / double(b.width() * b.height());
    };
    auto off = AVCapturePhotoSettings::photoSettings();
    auto on = AVCapturePhotoSettings::photoSettings();
    on->setFlashMode(AVCaptureFlashMode::On);
    photo->capturePhoto(off, sink);
    photo->capturePhoto(on, sink);
    settle();
    auto photos = sink->photos.items();
    ASSERT_EQ(photos.size(), 2u);
    EXPECT_GT(mean(*photos[1]->pixelBuffer()), mean(*photos[0]->pixelBuffer()) + 20);
    EXPECT_TRUE(photos[1]->resolvedSettings().flashEnabled);
}
