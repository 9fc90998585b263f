// How the Linux camera stack's controls map onto the device model: analogue gain as ISO, lens
// position in dioptres, red and blue colour gains relative to green, exposure time in microseconds.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/capture/av_capture_types.h"

namespace libcamera_mapping {

// ISO 100 is unity gain.
inline float isoFromAnalogueGain(float gain) {
    return gain * 100.0f;
}
inline float analogueGainFromIso(float iso) {
    return iso / 100.0f;
}

// The lens position runs from near (0) to far (1); dioptres run from infinity (0) to the
// nearest focus (the control's maximum).
inline float dioptresFromLensPosition(float lens, float maxDioptres) {
    return std::clamp(1.0f - lens, 0.0f, 1.0f) * maxDioptres;
}
inline float lensPositionFromDioptres(float dioptres, float maxDioptres) {
    if (!(maxDioptres > 0)) return 1.0f;
    return std::clamp(1.0f - dioptres / maxDioptres, 0.0f, 1.0f);
}

struct ColourGains {
    float red = 1, blue = 1;
};
inline ColourGains colourGainsFromDeviceGains(AVCaptureWhiteBalanceGains g) {
    float green = g.greenGain > 0 ? g.greenGain : 1.0f;
    return {g.redGain / green, g.blueGain / green};
}
// Scaled so that the smallest gain is 1, as device gains are.
inline AVCaptureWhiteBalanceGains deviceGainsFromColourGains(ColourGains c) {
    float red = c.red > 0 ? c.red : 1.0f, blue = c.blue > 0 ? c.blue : 1.0f;
    float low = std::min({red, 1.0f, blue});
    return {red / low, 1.0f / low, blue / low};
}

inline std::int32_t microsecondsFromDuration(CMTime t) {
    double s = CMTimeGetSeconds(t);
    return std::isfinite(s) ? std::int32_t(std::clamp(std::llround(s * 1e6), 1LL, 2000000000LL)) : 1;
}
inline CMTime durationFromMicroseconds(std::int64_t us) {
    return CMTimeMake(std::max<std::int64_t>(1, us), 1000000);
}

}  // namespace libcamera_mapping
