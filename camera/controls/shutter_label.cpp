// Shutter labels: the fraction search, all in single precision.
#include "camera/controls/shutter_label.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Fraction {
    int numerator, denominator;
    float value() const { return float(numerator) / float(denominator); }
};

// Between a half and one second, the fractions worth naming.
constexpr Fraction kLongFractions[] = {{1, 2}, {3, 5}, {2, 3}, {3, 4}, {4, 5}};

std::string text(const Fraction& f) {
    return std::to_string(f.numerator) + "/" + std::to_string(f.denominator);
}

// The fraction nearer to s; the first on a tie.
std::string nearer(float s, const Fraction& p, const Fraction& q) {
    return std::fabs(s - q.value()) < std::fabs(s - p.value()) ? text(q) : text(p);
}

// s between 1/k1 and 1/k0 (k0 of 0 standing for 1): the nearer of its neighbouring fractions.
std::string between(int k0, int k1, float s) {
    const int j0 = k0 == 0 ? 1 : k0;
    if (j0 >= k1) return "1/" + std::to_string(j0);
    for (int j = j0; j < k1; ++j) {
        if (!(1.0f / float(j + 1) <= s && s < 1.0f / float(j))) continue;
        if (j != 1) return nearer(s, {1, j}, {1, j + 1});
        for (std::size_t k = 0; k + 1 < std::size(kLongFractions); ++k)
            if (kLongFractions[k].value() <= s && s < kLongFractions[k + 1].value())
                return nearer(s, kLongFractions[k], kLongFractions[k + 1]);
        return "1";
    }
    return "1/" + std::to_string(j0);
}

}  // namespace

std::string shutterLabel(float s) {
    if (s < 0) return "-" + shutterLabel(-s);
    if (s >= 1) return std::to_string(int(s));
    if (s >= 0.001f) return between(0, 1000, s);
    for (int k = 2; k <= 1000; ++k)
        if (1.0f / float(1000 * k) <= s && s < 1.0f / float(1000 * (k - 1)))
            return between(1000 * (k - 1), 1000 * k, s);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", double(s));
    return buffer;
}
