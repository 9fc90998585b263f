// Conversions between white-balance gains and (colour temperature, tint).
//
// A camera's neutral for an illuminant is the illuminant's colour as the sensor sees it; the gains
// are its reciprocal, scaled so the smallest gain is 1. The illuminant is found on the black-body
// locus (CIE 1960 uv) at the temperature, moved along the locus normal by the tint (one unit of
// tint is 1/10000 uv; positive is towards green). Equal scaling of all gains does not change the
// answer, as on the platform.
#pragma once

#include "platform/capture/av_capture_types.h"

// Relative sensitivity of a sensor's red, green and blue channels.
struct SensorResponse {
    float red = 0.5f, green = 1.0f, blue = 0.62f;
};

inline constexpr float kMinWhiteBalanceTemperature = 1500.0f;
inline constexpr float kMaxWhiteBalanceTemperature = 15000.0f;

// Gains for the illuminant; the temperature is clamped to the range above.
AVCaptureWhiteBalanceGains whiteBalanceGainsForTemperatureAndTint(
    const AVCaptureWhiteBalanceTemperatureAndTintValues& tt, const SensorResponse& sensor = {});
// The inverse. Gains that are not positive and finite give (NaN, NaN).
AVCaptureWhiteBalanceTemperatureAndTintValues temperatureAndTintForWhiteBalanceGains(
    const AVCaptureWhiteBalanceGains& g, const SensorResponse& sensor = {});
