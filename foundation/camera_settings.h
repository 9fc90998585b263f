// The integer camera settings as enums. The settings file keeps the integers; Global converts at
// its accessors, and an integer that names no enumerator reads as the setting's default.
#pragma once

#include <cstdint>

enum class CameraSide : std::int64_t { Back = 1, Front = 2 };
enum class FlashMode : std::int64_t { Off = 0, On = 1, Auto = 2 };
// Width to height of the photo.
enum class ImageRatio : std::int64_t { Ratio1x1 = 0, Ratio2x3 = 1, Ratio3x4 = 2, Ratio9x16 = 3 };
enum class ShotMode : std::int64_t { Photo = 0, Burst = 1, Motion = 2, Video = 3 };

// The range of stored integers each setting names, and its default.
template <class E>
struct CameraSetting;
template <>
struct CameraSetting<CameraSide> {
    static constexpr CameraSide first = CameraSide::Back, last = CameraSide::Front, fallback = CameraSide::Back;
};
template <>
struct CameraSetting<FlashMode> {
    static constexpr FlashMode first = FlashMode::Off, last = FlashMode::Auto, fallback = FlashMode::Auto;
};
template <>
struct CameraSetting<ImageRatio> {
    static constexpr ImageRatio first = ImageRatio::Ratio1x1, last = ImageRatio::Ratio9x16,
                                fallback = ImageRatio::Ratio3x4;
};
template <>
struct CameraSetting<ShotMode> {
    static constexpr ShotMode first = ShotMode::Photo, last = ShotMode::Video, fallback = ShotMode::Photo;
};

// The integer a setting is stored as (and the one the capture hosts and devices speak).
template <class E>
constexpr std::int64_t integerOf(E e) {
    return static_cast<std::int64_t>(e);
}

// The setting a stored integer names; the default for one outside the setting's range.
template <class E>
constexpr E settingFromInteger(std::int64_t v) {
    using S = CameraSetting<E>;
    return v >= integerOf(S::first) && v <= integerOf(S::last) ? static_cast<E>(v) : S::fallback;
}

// Off, on, auto, then off again: the order the flash setting moves through.
constexpr FlashMode nextFlashMode(FlashMode mode) {
    return mode == FlashMode::Auto ? FlashMode::Off : static_cast<FlashMode>(integerOf(mode) + 1);
}
