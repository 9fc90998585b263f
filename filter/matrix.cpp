// The quartic fit by cofactor expansion and the easing curve.
#include "filter/matrix.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

using Mat = std::vector<std::vector<double>>;

Mat minor(const Mat& m, std::size_t row, std::size_t col) {
    Mat out;
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (i == row) continue;
        std::vector<double> r;
        for (std::size_t j = 0; j < m.size(); ++j)
            if (j != col) r.push_back(m[i][j]);
        out.push_back(std::move(r));
    }
    return out;
}

// Expanded along the first row; a first-row entry below epsilon in magnitude counts as zero.
double det(const Mat& m) {
    if (m.size() == 1) return m[0][0];
    if (m.size() == 2) return m[0][0] * m[1][1] - m[0][1] * m[1][0];
    double sum = 0;
    for (std::size_t j = 0; j < m.size(); ++j) {
        if (std::abs(m[0][j]) < kEpsilon) continue;
        double term = m[0][j] * det(minor(m, 0, j));
        sum += (j % 2 == 0) ? term : -term;
    }
    return sum;
}

double cofactor(const Mat& m, std::size_t i, std::size_t j) {
    double d = det(minor(m, i, j));
    return ((i + j) % 2 == 0) ? d : -d;
}

}  // namespace

std::array<double, 5> Matrix::calcToneCurve_5d(const std::vector<CGPoint>& points) {
    std::array<double, 5> zero{0, 0, 0, 0, 0};
    if (points.size() < 5) return zero;
    Mat a(5, std::vector<double>(5));
    double y[5];
    for (std::size_t k = 0; k < 5; ++k) {
        double x = points[k].x;
        a[k] = {x * x * x * x, x * x * x, x * x, x, 1};
        y[k] = points[k].y;
    }
    double d = det(a);
    if (!(std::abs(d) >= kEpsilon) || !std::isfinite(d)) return zero;
    std::array<double, 5> out{};
    for (std::size_t i = 0; i < 5; ++i) {
        double sum = 0;
        for (std::size_t k = 0; k < 5; ++k) sum += cofactor(a, k, i) / d * y[k];
        out[i] = sum;
    }
    return out;
}

float Matrix::interp_CubicBezier(float t, float v1x, float v1y, float v2x, float v2y) {
    float m0 = std::abs(v1x) < 0.01f ? 1e10f : v1y / v1x;
    float d1 = 1 - v2x;
    float m1 = std::abs(d1) < 0.01f ? 1e10f : (1 - v2y) / d1;
    float t2 = t * t, t3 = t2 * t;
    return (t3 - 2 * t2 + t) * m0 + (3 * t2 - 2 * t3) + (t3 - t2) * m1;
}
