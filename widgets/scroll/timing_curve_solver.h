// The timing-curve arithmetic the scrolling label times its fades with: the cubic of a timing
// function, its slope, and the time at which it reaches a given progress.
#pragma once

#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/ui/animation/ca_media_timing_function.h"

// The four control points P0...P3 (x is time, y is progress), read in single precision.
std::vector<CGPoint> controlPoints(const CAMediaTimingFunction& function);
double YforCurveAt(double t, const std::vector<CGPoint>& points);
double XforCurveAt(double t, const std::vector<CGPoint>& points);
double derivativeYValueForCurveAt(double t, const std::vector<CGPoint>& points);
// Newton's method from t = y, at most 15 steps; on failure it logs and gives its last t.
double solveTForY(double y, double epsilon, const std::vector<CGPoint>& points);
// The fraction of the duration at which the curve has covered the fraction of the way.
double durationPercentageForPositionPercentage(const CAMediaTimingFunction& function, double fraction, double duration);
