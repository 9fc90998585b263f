// Named and cubic pacing curves, solved for progress by Newton steps with a bisection fallback.
#include "platform/ui/animation/ca_media_timing_function.h"

#include <cmath>

std::shared_ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithName(const std::string& name) {
    if (name == kCAMediaTimingFunctionEaseIn) return make<CAMediaTimingFunction>(0.42f, 0.0f, 1.0f, 1.0f, name);
    if (name == kCAMediaTimingFunctionEaseOut) return make<CAMediaTimingFunction>(0.0f, 0.0f, 0.58f, 1.0f, name);
    if (name == kCAMediaTimingFunctionEaseInEaseOut) return make<CAMediaTimingFunction>(0.42f, 0.0f, 0.58f, 1.0f, name);
    if (name == kCAMediaTimingFunctionDefault) return make<CAMediaTimingFunction>(0.25f, 0.1f, 0.25f, 1.0f, name);
    return make<CAMediaTimingFunction>(0.0f, 0.0f, 1.0f, 1.0f, std::string(kCAMediaTimingFunctionLinear));
}

std::shared_ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithControlPoints(float c1x, float c1y, float c2x,
                                                                                        float c2y) {
    return make<CAMediaTimingFunction>(c1x, c1y, c2x, c2y, std::string());
}

std::array<float, 2> CAMediaTimingFunction::controlPoint(std::size_t index) const {
    switch (index) {
        case 1: return {c1x_, c1y_};
        case 2: return {c2x_, c2y_};
        case 3: return {1.0f, 1.0f};
        default: return {0.0f, 0.0f};
    }
}

namespace {
// One coordinate of the cubic with end points 0 and 1.
double bezier(double t, double p1, double p2) {
    double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}
double bezierSlope(double t, double p1, double p2) {
    double u = 1 - t;
    return 3 * u * u * p1 + 6 * u * t * (p2 - p1) + 3 * t * t * (1 - p2);
}
}  // namespace

double CAMediaTimingFunction::evaluate(double x) const {
    if (!(x > 0)) return 0;  // also NaN
    if (x >= 1) return 1;
    if (c1x_ == c1y_ && c2x_ == c2y_) return x;  // a straight line
    double t = x;
    for (int i = 0; i < 8; ++i) {
        double err = bezier(t, c1x_, c2x_) - x;
        if (std::abs(err) < 1e-7) return bezier(t, c1y_, c2y_);
        double slope = bezierSlope(t, c1x_, c2x_);
        if (std::abs(slope) < 1e-6) break;
        t -= err / slope;
    }
    double lo = 0, hi = 1;
    t = x;
    for (int i = 0; i < 60; ++i) {
        double v = bezier(t, c1x_, c2x_);
        if (std::abs(v - x) < 1e-9) break;
        (v < x ? lo : hi) = t;
        t = (lo + hi) / 2;
    }
    return bezier(t, c1y_, c2y_);
}
