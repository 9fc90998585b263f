// The TIFF additions of photos.
#include "capture/photo_metadata.h"

#include <cmath>
#include <ctime>

#include "platform/image/codec/image_property_keys.h"

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
    copy.set(kCGImagePropertyTIFFSoftware, Value(software));
    copy.set(kCGImagePropertyTIFFDateTime, Value(tiffDateTime(absoluteTime)));
    copy.set(kCGImagePropertyTIFFMake, Value(kPhotoMake));
    sampleBuffer->setAttachment(kCGImagePropertyTIFFDictionary, copy, CMAttachmentMode::ShouldPropagate);
}
