// Numeric helpers: see numeric.h.
#include "foundation/numeric.h"

#include <cmath>
#include <cstdlib>

float finiteOr(float x, float fallback) {
    return std::isfinite(x) ? x : fallback;
}

bool isNearlyZero(float x) {
    return std::fabs(x) < kNearlyTolerance;
}

bool isNearlyEqual(float a, float b) {
    return std::fabs(a - b) < kNearlyTolerance;
}

float maxFloat(float a, float b) {
    return a > b ? a : b;
}

float minFloat(float a, float b) {
    return a < b ? a : b;
}

namespace {

float clampOrdered(float x, float lo, float hi) {
    if (!std::isfinite(x)) x = std::signbit(x) ? lo : hi;
    return minFloat(maxFloat(x, lo), hi);
}

}  // namespace

float clampFloat(float x, float a, float b) {
    if (a > b) return clampOrdered(x, b, a);
    return clampOrdered(x, a, b);
}

std::int32_t clampInt(std::int32_t x, std::int32_t lo, std::int32_t hi) {
    std::int32_t v = x > lo ? x : lo;
    return v < hi ? v : hi;
}

float lerpFloat(float a, float b, float t) {
    return std::fmaf(b - a, t, a);
}

float inverseLerpFloat(float a, float b, float x) {
    if (std::fabs(a - b) < kNearlyTolerance) return 0;
    float clamped = clampFloat(x, a, b);
    return (clamped - a) / (b - a);
}

bool isInRange(float x, float lo, float hi) {
    return lo <= x && x <= hi;
}

float absDifference(float a, float b) {
    return std::fabs(a - b);
}

float hypotFloat(float x, float y) {
    return std::sqrt(std::fmaf(x, x, y * y));
}

std::int32_t gcdInt(std::int32_t a, std::int32_t b) {
    // Computed in 64 bits: INT_MIN / -1 would trap in 32 bits, and the only result that does not
    // fit back (gcd of INT_MIN and 0 or INT_MIN) keeps its 32-bit value INT_MIN.
    std::int64_t m = a < b ? a : b;
    std::int64_t n = a < b ? b : a;
    if (m == 0) return static_cast<std::int32_t>(n);
    for (;;) {
        std::int64_t r = n - (n / m) * m;
        n = m;
        m = r;
        if (r == 0) break;
    }
    return static_cast<std::int32_t>(n);
}

int exifOrientationFromImageOrientation(int orientation) {
    static constexpr int codes[] = {1, 3, 8, 6, 2, 4, 5, 7};
    if (orientation < 1 || orientation > 7) return 1;
    return codes[orientation];
}

int exifOrientationFromCaptureOrientation(int orientation, bool mirrored) {
    switch (orientation) {
        case 1: return mirrored ? 2 : 1;
        case 2: return mirrored ? 4 : 3;
        case 3: return mirrored ? 7 : 6;
        case 4: return mirrored ? 5 : 8;
        default: return 1;
    }
}

CGAffineTransform makeShearTransform(CGFloat c, CGFloat b) {
    return CGAffineTransformMake(1, b, c, 1, 0, 0);
}
