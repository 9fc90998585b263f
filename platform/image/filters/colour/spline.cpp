// Natural cubic spline: second derivatives from the tridiagonal system, zero at both ends.
#include "platform/image/filters/colour/spline.h"

#include <algorithm>
#include <array>

NaturalSpline::NaturalSpline(std::vector<std::pair<double, double>> points) {
    std::stable_sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [x, y] : points) {
        if (!x_.empty() && x == x_.back()) continue;
        x_.push_back(x);
        y_.push_back(y);
    }
    const std::size_t n = x_.size();
    y2_.assign(n, 0.0);
    if (n < 3) return;
    std::vector<double> u(n, 0.0);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        double sig = (x_[i] - x_[i - 1]) / (x_[i + 1] - x_[i - 1]);
        double p = sig * y2_[i - 1] + 2.0;
        y2_[i] = (sig - 1.0) / p;
        double d = (y_[i + 1] - y_[i]) / (x_[i + 1] - x_[i]) - (y_[i] - y_[i - 1]) / (x_[i] - x_[i - 1]);
        u[i] = (6.0 * d / (x_[i + 1] - x_[i - 1]) - sig * u[i - 1]) / p;
    }
    y2_[n - 1] = 0.0;
    for (std::size_t k = n - 1; k-- > 0;) y2_[k] = y2_[k] * y2_[k + 1] + u[k];
}

double NaturalSpline::operator()(double x) const {
    const std::size_t n = x_.size();
    if (n < 2) return x;
    if (x <= x_.front()) return y_.front();
    if (x >= x_.back()) return y_.back();
    std::size_t hi = static_cast<std::size_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin());
    std::size_t lo = hi - 1;
    double h = x_[hi] - x_[lo];
    double a = (x_[hi] - x) / h, b = (x - x_[lo]) / h;
    return a * y_[lo] + b * y_[hi] + ((a * a * a - a) * y2_[lo] + (b * b * b - b) * y2_[hi]) * (h * h) / 6.0;
}

namespace {

// Polynomials in u of degree 3, lowest power first.
using Poly = std::array<double, 4>;

Poly times(const Poly& p, const Poly& q) {
    Poly r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; i + j < 4; ++j)
            r[static_cast<std::size_t>(i + j)] += p[static_cast<std::size_t>(i)] * q[static_cast<std::size_t>(j)];
    return r;
}

}  // namespace

kernels::CubicSegments NaturalSpline::powerForm() const {
    kernels::CubicSegments s;
    const std::size_t n = x_.size();
    if (n < 2) {
        s.segments = 1;
        s.knot[0] = 0;
        s.knot[1] = 1;
        s.a[0] = 0;
        s.b[0] = 1;
        s.c[0] = s.d[0] = 0;
        s.low = 0;
        s.high = 1;
        return s;
    }
    s.segments = static_cast<int>(std::min<std::size_t>(n - 1, kernels::CubicSegments::kMax));
    for (int k = 0; k < s.segments; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        const double h = x_[i + 1] - x_[i];
        const Poly A{x_[i + 1] / h, -1 / h, 0, 0}, B{-x_[i] / h, 1 / h, 0, 0};
        const Poly A3 = times(times(A, A), A), B3 = times(times(B, B), B);
        Poly y{};
        for (std::size_t p = 0; p < 4; ++p)
            y[p] =
                A[p] * y_[i] + B[p] * y_[i + 1] + ((A3[p] - A[p]) * y2_[i] + (B3[p] - B[p]) * y2_[i + 1]) * h * h / 6.0;
        s.knot[k] = static_cast<float>(x_[i]);
        s.a[k] = static_cast<float>(y[0]);
        s.b[k] = static_cast<float>(y[1]);
        s.c[k] = static_cast<float>(y[2]);
        s.d[k] = static_cast<float>(y[3]);
    }
    s.knot[s.segments] = static_cast<float>(x_[static_cast<std::size_t>(s.segments)]);
    s.low = static_cast<float>(y_.front());
    s.high = static_cast<float>(y_[static_cast<std::size_t>(s.segments)]);
    return s;
}
