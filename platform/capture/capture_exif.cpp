// The Exif facts of a photo, read from the device at the moment it was taken.
#include "platform/capture/capture_exif.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/capture/av_capture_device.h"
#include "platform/image/codec/image_property_keys.h"

namespace {

constexpr double kSecondsFrom1970To2001 = 978307200.0;

std::tm localTime(double absoluteTime) {
    auto t = static_cast<std::time_t>(std::floor(absoluteTime + kSecondsFrom1970To2001));
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

// Exif flash values: bit 0 fired, bits 3-4 the mode (1 on, 2 off, 3 auto), bit 5 no flash.
int exifFlash(bool hasFlash, AVCaptureFlashMode mode, bool fired) {
    if (!hasFlash) return 0x20;
    int m = mode == AVCaptureFlashMode::On ? 0x08 : mode == AVCaptureFlashMode::Auto ? 0x18 : 0x10;
    return m | (fired ? 1 : 0);
}

}  // namespace

std::string exifDateTime(double absoluteTime) {
    std::tm local = localTime(absoluteTime);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y:%m:%d %H:%M:%S", &local);
    return buf;
}

namespace {

Value exposureEntries(double seconds, float iso) {
    Value entries = Value::dictionary();
    if (std::isfinite(seconds) && seconds > 0) entries.set(kCGImagePropertyExifExposureTime, Value(seconds));
    if (iso > 0) entries.set(kCGImagePropertyExifISOSpeedRatings, Value::array({Value(int(std::lround(iso)))}));
    return entries;
}

}  // namespace

void stampFrameExposure(CVPixelBuffer& frame, CMTime duration, float iso) {
    frame.setAttachment(kCaptureFrameExposureAttachment, exposureEntries(CMTimeGetSeconds(duration), iso));
}

void takeFrameExposure(const Value& exif, const Value& stamp) {
    if (!exif.isDictionary() || !stamp.isDictionary()) return;
    for (const char* key : {kCGImagePropertyExifExposureTime, kCGImagePropertyExifISOSpeedRatings})
        if (const Value& v = stamp[key]; !v.isNull()) exif.set(key, v.deepCopy());
}

Value captureExifDictionary(const AVCaptureDevice& device, double absoluteTime, AVCaptureFlashMode flashMode,
                            bool flashFired) {
    const std::string date = exifDateTime(absoluteTime);
    char subsec[8];
    int millis = int(std::floor((absoluteTime - std::floor(absoluteTime)) * 1000));
    std::snprintf(subsec, sizeof subsec, "%03d", std::clamp(millis, 0, 999));
    std::tm local = localTime(absoluteTime);
    int offset = int(std::clamp<long>(local.tm_gmtoff / 60, -24 * 60, 24 * 60));
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                  std::abs(offset) % 60);

    Value exif = Value::dictionary();
    exif.set(kCGImagePropertyExifDateTimeOriginal, Value(date));
    exif.set(kCGImagePropertyExifDateTimeDigitized, Value(date));
    exif.set(kCGImagePropertyExifSubsecTimeOriginal, Value(std::string(subsec)));
    exif.set(kCGImagePropertyExifSubsecTimeDigitized, Value(std::string(subsec)));
    exif.set(kCGImagePropertyExifOffsetTimeOriginal, Value(std::string(zone)));
    exif.set(kCGImagePropertyExifOffsetTimeDigitized, Value(std::string(zone)));
    takeFrameExposure(exif, exposureEntries(CMTimeGetSeconds(device.exposureDuration()), device.ISO()));
    if (device.lensAperture() > 0) exif.set(kCGImagePropertyExifFNumber, Value(double(device.lensAperture())));
    if (device.focalLength() > 0) exif.set(kCGImagePropertyExifFocalLength, Value(double(device.focalLength())));
    // 0 automatic, 1 manual (a locked balance or gains the user chose).
    bool autoBalance = device.whiteBalanceMode() != AVCaptureWhiteBalanceMode::Locked;
    exif.set(kCGImagePropertyExifWhiteBalance, Value(autoBalance ? 0 : 1));
    exif.set(kCGImagePropertyExifFlash, Value(exifFlash(device.hasFlash(), flashMode, flashFired)));
    return exif;
}
