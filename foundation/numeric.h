// Numeric helpers on 32-bit floats and integers: tolerant comparisons, forgiving clamps,
// interpolation and the orientation-code conversions of the image pipeline.
#pragma once

#include <cstdint>

#include "platform/runtime/geometry.h"

// The spacing of 32-bit floats at 1.0; every nearness test is strictly below it.
inline constexpr float kNearlyTolerance = 1.1920929e-7f;

float finiteOr(float x, float fallback);
bool isNearlyZero(float x);
bool isNearlyEqual(float a, float b);
// a when a > b, else b: b wins ties and any NaN comparison.
float maxFloat(float a, float b);
// a when a < b, else b: b wins ties and any NaN comparison.
float minFloat(float a, float b);
// x limited to the range between a and b (bounds in either order); infinities and NaN go to
// the lower bound when their sign bit is set, to the upper one otherwise.
float clampFloat(float x, float a, float b);
// min(max(x, lo), hi) without reordering the bounds.
std::int32_t clampInt(std::int32_t x, std::int32_t lo, std::int32_t hi);
// a + (b - a) * t as one fused multiply-add.
float lerpFloat(float a, float b, float t);
// Where the clamped x lies from 0 at a to 1 at b; 0 when a and b are nearly equal.
float inverseLerpFloat(float a, float b, float x);
bool isInRange(float x, float lo, float hi);
float absDifference(float a, float b);
float hypotFloat(float x, float y);
// Euclid's method on the signed values; the result may be negative with negative arguments.
std::int32_t gcdInt(std::int32_t a, std::int32_t b);

int exifOrientationFromImageOrientation(int orientation);
int exifOrientationFromCaptureOrientation(int orientation, bool mirrored);
CGAffineTransform makeShearTransform(CGFloat c, CGFloat b);
