// The TIFF additions of photos.
#include "capture/photo_metadata.h"

#include <cmath>
#include <ctime>

#include "capture/location_custom.h"
#include "platform/capture/capture_exif.h"
#include "platform/image/codec/image_property_keys.h"

namespace {

void setTiffAdditions(Value& tiff, const std::string& software, double absoluteTime) {
    tiff.set(kCGImagePropertyTIFFSoftware, Value(software));
    tiff.set(kCGImagePropertyTIFFDateTime, Value(tiffDateTime(absoluteTime)));
    tiff.set(kCGImagePropertyTIFFMake, Value(kPhotoMake));
}

}  // namespace

std::string tiffDateTime(double absoluteTime) {
    auto t = static_cast<std::time_t>(std::floor(absoluteTime + 978307200.0));
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y:%m:%d %H:%M:%S", &local);
    return buf;
}

void addTiffAdditions(const CMSampleBufferRef& sampleBuffer, const std::string& software, double absoluteTime) {
    if (!sampleBuffer) return;
    Value tiff = sampleBuffer->attachment(kCGImagePropertyTIFFDictionary);
    // Without a TIFF attachment an empty one is started, so the additions are kept.
    Value copy = tiff.isDictionary() ? tiff.deepCopy() : Value::dictionary();
    setTiffAdditions(copy, software, absoluteTime);
    sampleBuffer->setAttachment(kCGImagePropertyTIFFDictionary, copy, CMAttachmentMode::ShouldPropagate);
}

Value framePhotoProperties(const std::string& software, const AVCaptureDevice* camera, double absoluteTime,
                           const CLLocation* location) {
    constexpr int kUpright = 1;
    Value tiff = Value::dictionary();
    setTiffAdditions(tiff, software, absoluteTime);
    if (camera && !camera->localizedName().empty()) tiff.set(kCGImagePropertyTIFFModel, Value(camera->localizedName()));
    tiff.set(kCGImagePropertyTIFFOrientation, Value(kUpright));
    Value properties =
        Value::dictionary({{kCGImagePropertyOrientation, Value(kUpright)}, {kCGImagePropertyTIFFDictionary, tiff}});
    // A frame is taken without the flash (the silent road lights the scene with the torch).
    if (camera)
        properties.set(kCGImagePropertyExifDictionary,
                       captureExifDictionary(*camera, absoluteTime, AVCaptureFlashMode::Off, false));
    if (location) properties.set(kCGImagePropertyGPSDictionary, Value(gpsDictionary(*location)));
    return properties;
}
