// Display names of capture settings.
#include "capture/string_custom_capture.h"

#include <cstdio>
#include <initializer_list>

#include "foundation/numeric.h"

namespace {

std::optional<std::string> pick(std::int64_t value, std::initializer_list<const char*> names) {
    if (value < 0 || value >= std::int64_t(names.size())) return std::nullopt;
    return std::string(names.begin()[value]);
}

}  // namespace

std::optional<std::string> fromTorchMode(std::int64_t mode) {
    return pick(mode, {"OFF", "ON", "AUTO"});
}
std::optional<std::string> fromFlashMode(std::int64_t mode) {
    return pick(mode, {"OFF", "ON", "AUTO"});
}
std::optional<std::string> fromFocusMode(std::int64_t mode) {
    return pick(mode, {"LOCKED", "AUTO", "CONTINUOUS AUTO"});
}
std::optional<std::string> fromWhiteBalance(std::int64_t mode) {
    return pick(mode, {"LOCKED", "AUTO", "CONTINUOUS AUTO"});
}
std::optional<std::string> fromExposureMode(std::int64_t mode) {
    return pick(mode, {"LOCKED", "AUTO", "CONTINUOUS AUTO", "CUSTOM"});
}
std::optional<std::string> fromDevicePosition(std::int64_t position) {
    return pick(position, {"UNSPECIFIED", "BACK", "FRONT"});
}

std::string fromTimerShot(double seconds) {
    if (isNearlyZero(float(seconds))) return "OFF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.0f s", seconds);
    return buf;
}

std::string fromImageRatio(ImageRatio ratio) {
    switch (ratio) {
        case ImageRatio::Ratio1x1: return "1:1";
        case ImageRatio::Ratio2x3: return "2:3";
        case ImageRatio::Ratio3x4: return "3:4";
        case ImageRatio::Ratio9x16: return "9:16";
    }
    return "1:1";
}
