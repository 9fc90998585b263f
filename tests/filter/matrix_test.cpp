// The quartic through five tone-curve points and the easing curve.
#include "filter/matrix.h"

#include <gtest/gtest.h>

TEST(ToneCurveFit, QuarticPassesThroughItsPointsOrGivesZeros) {
    auto line = Matrix::calcToneCurve_5d({{0, 0}, {0.25, 0.25}, {0.5, 0.5}, {0.75, 0.75}, {1, 1}});
    std::array<double, 5> expected{0, 0, 0, 1, 0};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(line[i], expected[i], 1e-9);

    std::vector<CGPoint> pts{{0, 0}, {0.25, 0.25}, {0.5, 0.7}, {0.75, 0.75}, {1, 1}};
    auto c = Matrix::calcToneCurve_5d(pts);
    for (const CGPoint& p : pts) {
        double x = p.x;
        EXPECT_NEAR(c[0ul] * x * x * x * x + c[1] * x * x * x + c[2] * x * x + c[3] * x + c[4], p.y, 1e-9);
    }
    std::array<double, 5> zeros{0, 0, 0, 0, 0};
    EXPECT_EQ(Matrix::calcToneCurve_5d({{0, 0}, {0.5, 0.2}, {0.5, 0.7}, {0.75, 0.75}, {1, 1}}), zeros);
    EXPECT_EQ(Matrix::calcToneCurve_5d({{0, 0}, {1, 1}}), zeros);
}

TEST(ToneCurveFit, EasingRunsFromZeroToOne) {
    EXPECT_FLOAT_EQ(Matrix::interp_CubicBezier(0, 0.3f, 0.1f, 0.7f, 0.9f), 0);
    EXPECT_FLOAT_EQ(Matrix::interp_CubicBezier(1, 0.3f, 0.1f, 0.7f, 0.9f), 1);
    EXPECT_FLOAT_EQ(Matrix::interp_CubicBezier(1, 0.005f, 0.1f, 0.7f, 0.9f), 1);
    // A start slope of 1e10 dominates just after the start.
    EXPECT_GT(Matrix::interp_CubicBezier(0.01f, 0.005f, 0.1f, 0.7f, 0.9f), 1e6f);
}
