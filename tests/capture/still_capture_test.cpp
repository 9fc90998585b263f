// Still capture end to end on the synthetic camera and a temporary library: both roads at every
// ratio and orientation, front-camera mirroring, filtering, the metadata each road writes, the
// torch and flash fallbacks, and every failure road completing exactly once with NO.
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>

#include "capture/camera_photo_general_host.h"
#include "capture/photo_metadata.h"
#include "capture/sample_buffer_image.h"
#include "filter/filter_element.h"
#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/capture/synthetic_scene.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/image_property_keys.h"
#include "tests/capture/capture_engine_test_support.h"
#include "tests/capture/photo_pixels.h"
#include "tests/support/exiftool_tags.h"
#include "tests/support/required_tool.h"

namespace {

class FrameKeeper : public CameraPhotoGeneralHostDelegate {
public:
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) override {
        std::lock_guard lock(m);
        if (auto pixels = CMSampleBufferGetImageBuffer(s)) last = pixels->copy();
    }
    CVPixelBufferRef frame() {
        std::lock_guard lock(m);
        return last;
    }
    std::mutex m;
    CVPixelBufferRef last;
};

struct Outcome {
    int calls = 0;
    bool ok = false;
    int before = 0;
    std::string error;  // why no photo was saved
    void finished(const Result<void>& saved) {
        ++calls;
        ok = saved.ok();
        error = saved ? std::string() : saved.error();
    }
};

// The transform a shot in this orientation gets (bottom-left coordinates, a b; c d).
std::array<double, 4> turnFor(int orientation, bool unmirrorFront) {
    static const std::array<double, 4> plain[] = {{1, 0, 0, 1}, {-1, 0, 0, -1}, {0, 1, -1, 0}, {0, -1, 1, 0}};
    static const std::array<double, 4> flipped[] = {{-1, 0, 0, 1}, {1, 0, 0, -1}, {0, -1, -1, 0}, {0, 1, 1, 0}};
    return unmirrorFront ? flipped[orientation - 1] : plain[orientation - 1];
}

Value greyDescription() {
    return Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"value", Value::dictionary({{"inputSaturation", Value::dictionary({{"value", Value(0.0)}})}})}});
}

const double kRatios[] = {1.0, 2.0 / 3.0, 0.75, 0.5625};

}  // namespace

class StillCaptureTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        Global::shared()->setFlashMode(FlashMode::Off);
        for (auto& d : {back(), front()})
            synthetic(d).editScript([](SyntheticCameraScript& s) { s.sceneMoves = false; });
        host = CameraPhotoGeneralHost::make();
        host->setPresets({AVCaptureSessionPreset::Low});
        host->setDelegate(keeper);
        startCamera();
    }
    void TearDown() override {
        host->stop({});
        settle();
        host = nullptr;
        CaptureEngineTest::TearDown();
    }
    void startCamera() {
        bool ok = false;
        host->start([&](bool r) { ok = r; });
        ASSERT_TRUE(advanceUntil([&] { return ok && keeper->frame(); }));
        ASSERT_TRUE(host->vStill());
        host->vStill()->setMaxPhotoDimensions({320, 240});
    }
    void useFrontCamera() {
        keeper->last = nullptr;
        host->switchCamera({});
        ASSERT_TRUE(advanceUntil([&] { return host->vStill() && keeper->frame(); }));
        host->vStill()->setMaxPhotoDimensions({320, 240});
    }

    // Takes a silent shot of the current frame (or of `image`) and waits for its completion.
    Outcome silent(int orientation, bool mirrored, double ratio, std::shared_ptr<FilterElement> element = nullptr,
                   std::function<std::shared_ptr<CIImage>()> sample = nullptr,
                   std::shared_ptr<CLLocation> location = nullptr) {
        if (!sample) {
            auto frame = keeper->frame();
            sample = [frame] { return imageWithPixelBuffer(frame); };
        }
        auto out = std::make_shared<Outcome>();
        host->shot_silent(
            orientation, mirrored, std::move(location), ratio, std::move(element), sample, [out] { ++out->before; },
            [out](Result<void> saved) { out->finished(saved); });
        advanceUntil([&] { return out->calls > 0; });
        advance(0.2);  // nothing more may come
        return *out;
    }
    Outcome normal(int orientation, bool mirrored, double ratio, std::shared_ptr<FilterElement> element = nullptr,
                   std::shared_ptr<CLLocation> location = nullptr) {
        auto out = std::make_shared<Outcome>();
        // Both handlers run on the main thread, where the photo is filtered and encoded too.
        host->shot_normal(
            orientation, mirrored, std::move(location), ratio, std::move(element),
            [out] {
                EXPECT_TRUE(RunLoop::isMainThread());
                ++out->before;
            },
            [out](Result<void> saved) {
                EXPECT_TRUE(RunLoop::isMainThread());
                out->finished(saved);
            });
        advanceUntil([&] { return out->calls > 0; });
        advance(0.2);
        return *out;
    }
    // The photo saved since the last call, or null.
    std::shared_ptr<PHAsset> newPhoto() {
        std::shared_ptr<PHAsset> found;
        for (auto& a : libraryPhotos())
            if (seen.insert(a->localIdentifier()).second) found = a;
        return found;
    }
    static Value propertiesOf(const std::shared_ptr<PHAsset>& asset) {
        auto p = readImagePropertiesFromFile(asset->filePath());
        return p ? *p : Value();
    }
    // The photo output's road keeps the sensor's pixels and tags the turn; the silent road's
    // pixels are turned already.
    static bool tookThePhotoOutputsRoad(const Value& properties) {
        return properties["Orientation"].integerValue() != 1;
    }
    // What another reader finds in the file's Exif block (numbers as numbers).
    static nlohmann::json exifOf(const std::shared_ptr<PHAsset>& asset) {
        return testsupport::exiftoolTags(asset->filePath());
    }

    std::shared_ptr<FrameKeeper> keeper = std::make_shared<FrameKeeper>();
    std::shared_ptr<CameraPhotoGeneralHost> host;
    std::set<std::string> seen;
};

TEST_F(StillCaptureTest, SilentShotsAtEveryRatioAndOrientationKeepTheFrameAsShot) {
    auto check = [&](int position, bool mirrored, double ratio, int orientation) {
        SCOPED_TRACE("position " + std::to_string(position) + " mirrored " + std::to_string(mirrored) + " ratio " +
                     std::to_string(ratio) + " orientation " + std::to_string(orientation));
        auto frame = keeper->frame();
        auto o = silent(orientation, mirrored, ratio, nullptr, [frame] { return imageWithPixelBuffer(frame); });
        ASSERT_EQ(o.calls, 1);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.before, 1);
        auto asset = newPhoto();
        ASSERT_TRUE(asset);
        auto t = turnFor(orientation, position == 2 && !mirrored);
        Rgb expected = transformRgb(cropRgb(rgbOf(*frame), ratio), t[0], t[1], t[2], t[3]);
        EXPECT_EQ(asset->pixelWidth(), expected.w);
        EXPECT_EQ(asset->pixelHeight(), expected.h);
        EXPECT_LT(meanDifference(rgbOfFile(asset->filePath()), expected), 8.0);
        // Made from the frame, upright as stored, and tagged like any photo.
        Value p = propertiesOf(asset);
        EXPECT_FALSE(tookThePhotoOutputsRoad(p));
        EXPECT_EQ(p["Orientation"].integerValue(), 1);
        EXPECT_EQ(p["{TIFF}"]["Make"].stringValue(), kPhotoMake);
        EXPECT_EQ(p["{TIFF}"]["Model"].stringValue(), (position == 1 ? back() : front())->localizedName());
        EXPECT_EQ(p["{TIFF}"]["Software"].stringValue(), Global::shared()->appMetadataName());
        EXPECT_EQ(p["{TIFF}"]["DateTime"].stringValue().size(), 19u);
        EXPECT_TRUE(p["{GPS}"].isNull());  // no location given
    };
    for (double ratio : kRatios)
        for (int orientation = 1; orientation <= 4; ++orientation) check(1, true, ratio, orientation);
    useFrontCamera();
    for (int orientation = 1; orientation <= 4; ++orientation) check(2, true, 0.75, orientation);
    for (int orientation = 1; orientation <= 4; ++orientation) check(2, false, 1.0, orientation);
    EXPECT_EQ(libraryPhotos().size(), 24u);
}

TEST_F(StillCaptureTest, SilentShotIsDatedAndPlacedLikeAPhotoOutputShot) {
    Global::shared()->setLastFilterName(std::string("Amber"));
    auto location = make<CLLocation>(CLLocation::Fields{{-33.9, 18.4}, -5, 5, 5, -1, -1, 800000000.5});
    auto look = FilterElement::withDesc(greyDescription());
    auto o = silent(3, true, 0.75, look, nullptr, location);
    ASSERT_TRUE(o.ok);
    auto silentPhoto = newPhoto();
    ASSERT_TRUE(silentPhoto);
    o = normal(3, true, 0.75, look, location);
    ASSERT_TRUE(o.ok);
    auto normalPhoto = newPhoto();
    ASSERT_TRUE(normalPhoto);

    Value quiet = propertiesOf(silentPhoto), output = propertiesOf(normalPhoto);
    EXPECT_FALSE(tookThePhotoOutputsRoad(quiet));
    EXPECT_TRUE(tookThePhotoOutputsRoad(output));
    for (const char* key : {"Make", "Model", "Software"})
        EXPECT_EQ(quiet["{TIFF}"][key].stringValue(), output["{TIFF}"][key].stringValue()) << key;
    EXPECT_EQ(quiet["{TIFF}"]["Software"].stringValue(), "Korva 'Amber'");
    EXPECT_EQ(quiet["{TIFF}"]["DateTime"].stringValue().substr(0, 10),
              output["{TIFF}"]["DateTime"].stringValue().substr(0, 10));
    for (const char* key : {"Latitude", "Longitude", "Altitude"})
        EXPECT_NEAR(quiet["{GPS}"][key].doubleValue(), output["{GPS}"][key].doubleValue(), 1e-6) << key;
    for (const char* key : {"LatitudeRef", "LongitudeRef", "TimeStamp"})
        EXPECT_EQ(quiet["{GPS}"][key].stringValue(), output["{GPS}"][key].stringValue()) << key;
    EXPECT_EQ(quiet["{GPS}"]["AltitudeRef"].integerValue(), 1);
    // The silent photo's pixels are already turned; the photo output's are not.
    EXPECT_EQ(quiet["Orientation"].integerValue(), 1);
    EXPECT_NE(output["Orientation"].integerValue(), 1);

    // Both carry the camera's Exif facts, so that a photo manager can date and sort them.
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    for (const auto& photo : {silentPhoto, normalPhoto}) {
        SCOPED_TRACE(photo == silentPhoto ? "silent road" : "photo output road");
        auto tags = exifOf(photo);
        const std::string taken = tags.value("DateTimeOriginal", "");
        EXPECT_EQ(taken.size(), 19u) << taken;
        EXPECT_EQ(tags.value("CreateDate", ""), taken);
        EXPECT_EQ(taken.substr(0, 10), quiet["{TIFF}"]["DateTime"].stringValue().substr(0, 10));
        EXPECT_TRUE(tags.contains("SubSecTimeOriginal"));  // a number to the reader
        EXPECT_EQ(tags.value("OffsetTimeOriginal", std::string()).size(), 6u);
        EXPECT_NEAR(tags.value("ExposureTime", 0.0), CMTimeGetSeconds(back()->exposureDuration()), 1e-4);
        EXPECT_EQ(tags.value("ISO", 0), int(std::lround(back()->ISO())));
        EXPECT_NEAR(tags.value("FNumber", 0.0), 1.8, 1e-6);
        EXPECT_NEAR(tags.value("FocalLength", 0.0), 4.25, 1e-6);
        EXPECT_TRUE(tags.contains("WhiteBalance"));
        EXPECT_EQ(tags.value("Flash", -1) & 1, 0) << "the flash did not fire";
    }
}

TEST_F(StillCaptureTest, SilentShotRunsTheFilterAtFullSize) {
    auto element = FilterElement::withDesc(greyDescription());
    ASSERT_TRUE(element);
    auto frame = keeper->frame();
    auto o = silent(1, true, 0.75, element, [frame] { return imageWithPixelBuffer(frame); });
    ASSERT_TRUE(o.ok);
    auto asset = newPhoto();
    ASSERT_TRUE(asset);
    Rgb expected = greyRgb(rgbOf(*frame));
    Rgb photo = rgbOfFile(asset->filePath());
    EXPECT_LT(meanDifference(photo, expected), 8.0);
    EXPECT_GT(meanDifference(photo, rgbOf(*frame)), 20.0);  // the colour bars are gone
}

TEST_F(StillCaptureTest, NormalShotsAreTaggedCroppedAndTurnedByTheirOrientation) {
    auto location = make<CLLocation>(CLLocation::Fields{{-33.9, 18.4}, -5, 5, 5, -1, -1, 800000000.5});
    for (double ratio : kRatios)
        for (int orientation = 1; orientation <= 4; ++orientation) {
            SCOPED_TRACE("ratio " + std::to_string(ratio) + " orientation " + std::to_string(orientation));
            auto o = normal(orientation, true, ratio, nullptr, orientation == 1 ? location : nullptr);
            ASSERT_EQ(o.calls, 1);
            ASSERT_TRUE(o.ok);
            EXPECT_EQ(o.before, 1);
            auto asset = newPhoto();
            ASSERT_TRUE(asset);
            // The picture stays in the sensor's landscape orientation, cropped to the turned ratio.
            auto still = CVPixelBuffer::make(320, 240);
            renderSyntheticScene(*still, synthetic(back()).sceneParams(Clock::now()));
            Rgb expected = cropRgb(rgbOf(*still), ratio == 0.75 ? 4.0 / 3.0 : 1.0 / ratio);
            Rgb stored = rgbOfFile(asset->filePath());
            EXPECT_EQ(stored.w, expected.w);
            EXPECT_EQ(stored.h, expected.h);
            EXPECT_LT(meanDifference(stored, expected), 8.0);

            static const AVCaptureVideoOrientation turned[] = {
                AVCaptureVideoOrientation::Portrait, AVCaptureVideoOrientation::PortraitUpsideDown,
                AVCaptureVideoOrientation::LandscapeLeft, AVCaptureVideoOrientation::LandscapeRight};
            int exif = exifOrientationFor(turned[orientation - 1], false);
            Value p = propertiesOf(asset);
            EXPECT_EQ(p["Orientation"].integerValue(), exif);
            bool sideways = exif >= 5;
            EXPECT_EQ(asset->pixelWidth(), sideways ? expected.h : expected.w);
            EXPECT_EQ(p["{TIFF}"]["Make"].stringValue(), kPhotoMake);
            EXPECT_EQ(p["{TIFF}"]["Software"].stringValue(), Global::shared()->appMetadataName());
            EXPECT_EQ(p["{TIFF}"]["DateTime"].stringValue(), tiffDateTime(Clock::absoluteTime()).substr(0, 10) +
                                                                 p["{TIFF}"]["DateTime"].stringValue().substr(10));
            if (orientation == 1) {
                EXPECT_NEAR(p["{GPS}"]["Latitude"].doubleValue(), 33.9, 1e-6);
                EXPECT_EQ(p["{GPS}"]["LatitudeRef"].stringValue(), "S");
                EXPECT_EQ(p["{GPS}"]["LongitudeRef"].stringValue(), "E");
                EXPECT_NEAR(p["{GPS}"]["Altitude"].doubleValue(), 5.0, 1e-6);
                EXPECT_EQ(p["{GPS}"]["AltitudeRef"].integerValue(), 1);
            } else {
                EXPECT_TRUE(p["{GPS}"].isNull());
            }
        }
}

TEST_F(StillCaptureTest, NormalShotWithoutCropOrFilterSavesThePhotoOutputsJpegAndFrontIsMirrored) {
    Global::shared()->setLastFilterName(std::string("Amber"));
    auto o = normal(1, true, 0.0);
    ASSERT_TRUE(o.ok);
    auto asset = newPhoto();
    ASSERT_TRUE(asset);
    Value p = propertiesOf(asset);
    EXPECT_EQ(p["{TIFF}"]["Software"].stringValue(), "Korva") << "the photo went through no look";
    EXPECT_EQ(p["{TIFF}"]["Model"].stringValue(), back()->localizedName());  // the output's own entries stay
    EXPECT_EQ(asset->pixelWidth(), 240);
    EXPECT_EQ(asset->pixelHeight(), 320);

    useFrontCamera();
    o = normal(1, true, 0.0);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(propertiesOf(newPhoto())["Orientation"].integerValue(),
              exifOrientationFor(AVCaptureVideoOrientation::Portrait, true));
    o = normal(1, false, 0.0);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(propertiesOf(newPhoto())["Orientation"].integerValue(),
              exifOrientationFor(AVCaptureVideoOrientation::Portrait, false));
}

TEST_F(StillCaptureTest, NormalShotFiltersTheLandscapePicture) {
    auto element = FilterElement::withDesc(greyDescription());
    auto o = normal(3, true, 1.0, element);
    ASSERT_TRUE(o.ok);
    auto asset = newPhoto();
    ASSERT_TRUE(asset);
    auto still = CVPixelBuffer::make(320, 240);
    renderSyntheticScene(*still, synthetic(back()).sceneParams(Clock::now()));
    EXPECT_LT(meanDifference(rgbOfFile(asset->filePath()), greyRgb(cropRgb(rgbOf(*still), 1.0))), 8.0);
}

TEST_F(StillCaptureTest, FlashOnLightsTheTorchForTheFrameAndSwitchesItOffAfter) {
    Global::shared()->setFlashMode(FlashMode::On);
    auto device = back();
    bool torchWasOnAtShot = false;
    auto frame = keeper->frame();
    auto o = silent(1, true, 1.0, nullptr, [&, frame] {
        torchWasOnAtShot = device->torchMode() == AVCaptureTorchMode::On;
        return imageWithPixelBuffer(frame);
    });
    ASSERT_EQ(o.calls, 1);
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(torchWasOnAtShot);
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::Off);
    EXPECT_FALSE(host->lastTorchTurnedOn());
    // The silent road.
    EXPECT_FALSE(tookThePhotoOutputsRoad(propertiesOf(newPhoto())));

    // The screen lets go of its host while the torch warms up (capture stopping): the shot still
    // ends, once, and says how.
    auto out = std::make_shared<Outcome>();
    host->shot_silent(
        1, true, nullptr, 1.0, nullptr, [frame] { return imageWithPixelBuffer(frame); }, {},
        [out](Result<void> saved) { out->finished(saved); });
    settle();
    std::weak_ptr<CameraPhotoGeneralHost> released = std::exchange(host, CameraPhotoGeneralHost::make());
    advanceUntil([&] { return out->calls > 0; });
    advance(0.2);
    EXPECT_EQ(out->calls, 1);
    EXPECT_TRUE(released.expired());
}

TEST_F(StillCaptureTest, ATorchThatDoesNotComeOnHandsTheShotToTheNormalRoad) {
    Global::shared()->setFlashMode(FlashMode::On);
    // The back camera's torch refuses (too hot): the photo output takes it, with its flash.
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.torchFails = true; });
    auto o = silent(1, true, 0.75);
    ASSERT_EQ(o.calls, 1);
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(tookThePhotoOutputsRoad(propertiesOf(newPhoto())));
    EXPECT_EQ(back()->torchMode(), AVCaptureTorchMode::Off);

    // The front camera has no torch and no flash: the normal road without flash.
    useFrontCamera();
    o = silent(1, true, 0.75);
    ASSERT_EQ(o.calls, 1);
    EXPECT_TRUE(o.ok);
    EXPECT_TRUE(tookThePhotoOutputsRoad(propertiesOf(newPhoto())));
}

TEST_F(StillCaptureTest, AutoFlashMeasuresTheFrame) {
    Global::shared()->setFlashMode(FlashMode::Auto);
    auto device = back();
    std::vector<bool> torchDuringShot;
    auto watch = [&](std::shared_ptr<CIImage> image) {
        return [&, image] {
            torchDuringShot.push_back(device->torchMode() == AVCaptureTorchMode::On);
            return image;
        };
    };
    // A bright frame: no torch.
    auto o = silent(1, true, 1.0, nullptr, watch(imageWithPixelBuffer(keeper->frame())));
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(torchDuringShot, (std::vector<bool>{false, false}));
    // A dark frame: the torch road.
    auto dark =
        CIImage::imageWithColor(CIColor::colorWithRed(0.05, 0.05, 0.05))->imageByCroppingToRect({{0, 0}, {90, 120}});
    torchDuringShot.clear();
    o = silent(1, true, 1.0, nullptr, watch(dark));
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(torchDuringShot, (std::vector<bool>{false, true}));
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::Off);
    // No frame at all measures as dark: the torch road, which then has nothing to save.
    o = silent(1, true, 1.0, nullptr, [] { return std::shared_ptr<CIImage>(); });
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::Off);
}

class NoJpegHost : public CameraPhotoGeneralHost {
public:
    KORVA_MAKE(NoJpegHost)
    void didFinishProcessingPhotoSampleBuffer(const std::shared_ptr<AVCapturePhotoOutput>& o,
                                              const CMSampleBufferRef& b, const CMSampleBufferRef& p,
                                              const AVCaptureResolvedPhotoSettings& r,
                                              const std::shared_ptr<NSError>& e) override {
        // The buffer arrives, but without its JPEG.
        auto stripped = b ? CMSampleBuffer::withImageBuffer(b->imageBuffer(), b->timing()) : b;
        CameraPhotoGeneralHost::didFinishProcessingPhotoSampleBuffer(o, stripped, p, r, e);
    }
};

TEST_F(StillCaptureTest, EveryFailureRoadCompletesOnceNamingItsReason) {
    // Flash off and no frame.
    Global::shared()->setFlashMode(FlashMode::Off);
    auto o = silent(1, true, 1.0, nullptr, [] { return std::shared_ptr<CIImage>(); });
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "there is no frame to take");

    // A filter whose output has no edges: nothing to draw on the silent road.
    auto infinite = [] { return CIImage::imageWithColor(CIColor::colorWithRed(0.5, 0.5, 0.5)); };
    o = silent(1, true, 0.0, nullptr, infinite);
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "the filtered frame has no picture to draw");

    // The torch cannot be switched off again: the shot fails (the torch is left on).
    Global::shared()->setFlashMode(FlashMode::On);
    auto frame = keeper->frame();
    auto out = std::make_shared<Outcome>();
    host->shot_silent(
        1, true, nullptr, 1.0, nullptr, [frame] { return imageWithPixelBuffer(frame); }, {},
        [out](Result<void> saved) { out->finished(saved); });
    settle();
    EXPECT_EQ(back()->torchMode(), AVCaptureTorchMode::On);
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = true; });
    advanceUntil([&] { return out->calls > 0; });
    advance(0.2);
    EXPECT_EQ(out->calls, 1);
    EXPECT_FALSE(out->ok);
    EXPECT_EQ(out->error, "the torch cannot be switched off");
    synthetic(back()).editScript([](SyntheticCameraScript& s) { s.lockAlwaysFails = false; });
    Global::shared()->setFlashMode(FlashMode::Off);

    // A shot while one is under way is refused; the first still completes.
    auto first = std::make_shared<Outcome>(), second = std::make_shared<Outcome>();
    host->shot_normal(1, true, nullptr, 0, nullptr, {}, [first](Result<void> saved) { first->finished(saved); });
    host->shot_silent(
        1, true, nullptr, 0, nullptr, [frame] { return imageWithPixelBuffer(frame); }, {},
        [second](Result<void> saved) { second->finished(saved); });
    advanceUntil([&] { return first->calls > 0; });
    advance(0.2);
    EXPECT_EQ(second->calls, 1);
    EXPECT_FALSE(second->ok);
    EXPECT_EQ(second->error, "a shot is already under way");
    EXPECT_EQ(first->calls, 1);
    EXPECT_TRUE(first->ok);

    // The normal road without a photo output (the session is gone).
    host->stop({});
    settle();
    o = normal(1, true, 0.0);
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error, "the camera has no photo output");

    // The photo library refuses.
    startCamera();
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Denied);
    o = normal(1, true, 1.0);
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("not authorized"), std::string::npos) << o.error;
    o = silent(1, true, 1.0);
    EXPECT_EQ(o.calls, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("not authorized"), std::string::npos) << o.error;
}

TEST_F(StillCaptureTest, APhotoWithoutItsJpegCompletesWithNo) {
    host->stop({});
    settle();
    host = NoJpegHost::make();
    host->setPresets({AVCaptureSessionPreset::Low});
    host->setDelegate(keeper);
    startCamera();
    for (double ratio : {0.0, 1.0}) {
        auto o = normal(1, true, ratio);
        EXPECT_EQ(o.calls, 1);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.error,
                  ratio > 0 ? "the camera's photo cannot be decoded" : "the camera's photo holds no JPEG picture");
    }
    EXPECT_TRUE(libraryPhotos().empty());
}
