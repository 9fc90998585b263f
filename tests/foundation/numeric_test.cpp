// Numeric helpers: forgiving clamps, interpolation, Euclid and orientation codes.
#include "foundation/numeric.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {
constexpr float inf = std::numeric_limits<float>::infinity();
const float qnan = std::numeric_limits<float>::quiet_NaN();
}  // namespace

TEST(Numeric, ClampTakesBoundsInEitherOrderAndSendsNonFiniteToABound) {
    EXPECT_EQ(clampFloat(5, 10, 0), 5);
    EXPECT_EQ(clampFloat(20, 10, 0), 10);
    EXPECT_EQ(clampFloat(-3, 10, 0), 0);
    EXPECT_EQ(clampFloat(inf, 0, 1), 1);
    EXPECT_EQ(clampFloat(-inf, 0, 1), 0);
    EXPECT_EQ(clampFloat(qnan, 0, 1), 1);
    EXPECT_EQ(clampFloat(-qnan, 0, 1), 0);
    EXPECT_TRUE(std::isfinite(clampFloat(1, qnan, 2)));  // a NaN bound must not make the result escape
    // Integer clamp does not reorder: with lo > hi the result is hi.
    EXPECT_EQ(clampInt(5, 10, 0), 0);
    EXPECT_EQ(clampInt(INT_MIN, -3, 3), -3);
}

TEST(Numeric, InverseLerpRunsFromAToBInBothDirections) {
    EXPECT_EQ(inverseLerpFloat(2, 2, 100), 0);
    EXPECT_EQ(inverseLerpFloat(0, 10, 15), 1);
    EXPECT_EQ(inverseLerpFloat(10, 0, 15), 0);
    EXPECT_EQ(inverseLerpFloat(10, 0, 2.5f), 0.75f);
    EXPECT_EQ(inverseLerpFloat(0, 10, -inf), 0);
}

TEST(Numeric, LerpIsOneFusedMultiplyAdd) {
    // Inputs where one rounding and two roundings give different floats, so an unfused
    // multiply-then-add cannot pass.
    volatile float a = 0.1f, b = 0.7f, t = 0.9f;
    const float product = (b - a) * t;
    const float unfused = product + a;
    ASSERT_NE(std::fmaf(b - a, t, a), unfused);
    EXPECT_EQ(lerpFloat(a, b, t), std::fmaf(b - a, t, a));
    EXPECT_EQ(lerpFloat(1, 3, 0.5f), 2);
    EXPECT_EQ(hypotFloat(3, 4), 5);
}

TEST(Numeric, ToleranceTestsAreStrictAndOrderedComparisonsFavourTheSecond) {
    EXPECT_FALSE(isNearlyZero(1.1920929e-7f));
    EXPECT_TRUE(isNearlyZero(1e-8f));
    EXPECT_TRUE(isNearlyEqual(1, 1 + 1e-8f));
    EXPECT_FALSE(isNearlyZero(qnan));
    EXPECT_EQ(finiteOr(qnan, 3), 3);
    EXPECT_EQ(finiteOr(0, 3), 0);
    EXPECT_EQ(maxFloat(qnan, 1), 1);
    EXPECT_TRUE(std::isnan(maxFloat(1, qnan)));
    EXPECT_EQ(minFloat(qnan, 1), 1);
    EXPECT_FALSE(isInRange(qnan, 0, 1));
    EXPECT_FALSE(isInRange(0.5f, 1, 0));
    EXPECT_TRUE(isInRange(1, 0, 1));
    EXPECT_EQ(absDifference(-1, 2), 3);
}

TEST(Numeric, GcdNeverTraps) {
    EXPECT_EQ(gcdInt(0, 7), 7);
    EXPECT_EQ(gcdInt(0, 0), 0);
    EXPECT_EQ(gcdInt(12, 18), 6);
    EXPECT_EQ(gcdInt(18, 12), 6);
    // INT_MIN / -1 overflows in 32 bits; the helper must not trap on it.
    EXPECT_EQ(std::abs(gcdInt(INT_MIN, -1)), 1);
    EXPECT_EQ(std::abs(gcdInt(-1, INT_MIN)), 1);
    EXPECT_EQ(std::abs(gcdInt(INT_MIN, 6)), 2);
    EXPECT_EQ(gcdInt(INT_MIN, INT_MIN), INT_MIN);
}

TEST(Numeric, OrientationCodes) {
    const int image[] = {1, 3, 8, 6, 2, 4, 5, 7};
    for (int o = 0; o < 8; ++o) EXPECT_EQ(exifOrientationFromImageOrientation(o), image[o]);
    EXPECT_EQ(exifOrientationFromImageOrientation(-1), 1);
    EXPECT_EQ(exifOrientationFromImageOrientation(8), 1);
    const int plain[] = {1, 1, 3, 6, 8, 1}, mirrored[] = {1, 2, 4, 7, 5, 1};
    for (int o = 0; o < 6; ++o) {
        EXPECT_EQ(exifOrientationFromCaptureOrientation(o, false), plain[o]);
        EXPECT_EQ(exifOrientationFromCaptureOrientation(o, true), mirrored[o]);
    }
    EXPECT_EQ(makeShearTransform(0.5, 0.25), CGAffineTransformMake(1, 0.25, 0.5, 1, 0, 0));
}
