// Matrix: the quartic through five tone-curve points (for plotting the curve editor's line) and
// a cubic easing curve. Stateless.
#pragma once

#include <array>
#include <vector>

#include "platform/runtime/geometry.h"

class Matrix {
public:
    // [a4, a3, a2, a1, a0] of y = a4 x^4 + ... + a0 through the first five points; five zeros
    // when there are fewer than five points or they do not determine one quartic.
    static std::array<double, 5> calcToneCurve_5d(const std::vector<CGPoint>& points);
    // A cubic Hermite curve from (0, 0) to (1, 1) with start slope v1y / v1x and end slope
    // (1 - v2y) / (1 - v2x); a divisor below 0.01 in magnitude gives the slope 1e10.
    static float interp_CubicBezier(float t, float v1x, float v1y, float v2x, float v2y);
};
