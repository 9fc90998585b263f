// A natural cubic spline through points sorted by x; flat outside the first and last point.
#pragma once

#include <utility>
#include <vector>

#include "platform/image/engine/kernels.h"

class NaturalSpline {
public:
    // Points are sorted by x; points repeating an x are dropped. Fewer than two points give a
    // straight copy (y = x).
    explicit NaturalSpline(std::vector<std::pair<double, double>> points);
    double operator()(double x) const;
    // The same curve as power-form cubic pieces (at most CubicSegments::kMax; more points than
    // that keep only the first pieces, which no caller needs).
    kernels::CubicSegments powerForm() const;

private:
    std::vector<double> x_, y_, y2_;
};
