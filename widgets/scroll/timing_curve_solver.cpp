// Bezier polynomials on the control points and a Newton solve that never fails outright.
#include "widgets/scroll/timing_curve_solver.h"

#include <cmath>

#include "platform/runtime/log.h"

namespace {

constexpr int kMaxIterations = 15;
constexpr double kSmallestSlope = 1e-6;
constexpr const char* kLogCategory = "ScrollLabel";

double cubic(double t, double p0, double p1, double p2, double p3) {
    double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

}  // namespace

std::vector<CGPoint> controlPoints(const CAMediaTimingFunction& function) {
    std::vector<CGPoint> points;
    for (std::size_t i = 0; i < 4; ++i) {
        auto p = function.controlPoint(i);
        points.push_back({p[0], p[1]});
    }
    return points;
}

double YforCurveAt(double t, const std::vector<CGPoint>& p) {
    return cubic(t, p[0].y, p[1].y, p[2].y, p[3].y);
}

double XforCurveAt(double t, const std::vector<CGPoint>& p) {
    return cubic(t, p[0].x, p[1].x, p[2].x, p[3].x);
}

double derivativeYValueForCurveAt(double t, const std::vector<CGPoint>& p) {
    double u = 1 - t;
    return 3 * u * u * (p[1].y - p[0].y) + 6 * u * t * (p[2].y - p[1].y) + 3 * t * t * (p[3].y - p[2].y);
}

double solveTForY(double y, double epsilon, const std::vector<CGPoint>& points) {
    double t = y;
    double evaluated = t;
    for (int i = 0; i < kMaxIterations; ++i) {
        evaluated = t;
        double f = YforCurveAt(t, points) - y;
        if (std::abs(f) < epsilon) return t;
        double slope = derivativeYValueForCurveAt(t, points);
        if (std::abs(slope) < kSmallestSlope) {
            Log::warning(kLogCategory, "ScrollLabel: Newton's Method failure, small/zero derivative!");
            Log::warning(kLogCategory, "ScrollLabel: Failed to find t for Y input!");
            return t;
        }
        t -= f / slope;
    }
    Log::warning(kLogCategory, "ScrollLabel: Failed to find t for Y input!");
    return evaluated;
}

double durationPercentageForPositionPercentage(const CAMediaTimingFunction& function, double fraction,
                                               double duration) {
    double epsilon = 1 / (duration * 100);
    auto points = controlPoints(function);
    return XforCurveAt(solveTForY(fraction, epsilon, points), points);
}
