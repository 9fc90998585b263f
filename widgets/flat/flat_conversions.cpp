// The palette's L*a*b* values are computed once: they are constants, and the nearest-colour search
// would otherwise convert all 48 on every call.
#include "widgets/flat/flat_conversions.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "widgets/flat/attached_value.h"
#include "widgets/flat/flat_gradient.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr double kWhiteX = 95.05, kWhiteY = 100.0, kWhiteZ = 108.9;

double fromSRGB(double c) {
    return c > 0.04045 ? std::pow((c + 0.055) / 1.055, 2.4) : c / 12.92;
}

double labF(double t) {
    constexpr double epsilon = 0.008856451679035631;  // (6/29)^3
    return t > epsilon ? std::cbrt(t) : t * (29.0 / 6.0) * (29.0 / 6.0) / 3 + 4.0 / 29.0;
}

std::int32_t truncatedByte(CGFloat component) {
    double v = component * 255;
    if (!(v == v)) return 0;
    if (v >= std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v <= std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

bool readXYZ(const UIColor& color, float xyz[3], double* alpha) {
    CGFloat r = 0, g = 0, b = 0, a = 0;
    if (!color.getRed(&r, &g, &b, &a)) return false;
    auto values = arrayOfXYZValuesForR(r, g, b, a);
    for (int i = 0; i < 3; ++i) xyz[i] = static_cast<float>(values[i]);
    if (alpha) *alpha = a;
    return true;
}

struct Lab {
    double l, a, b;
};

const std::array<Lab, kFlatColorCount>& paletteLab() {
    static const auto table = [] {
        std::array<Lab, kFlatColorCount> t{};
        for (std::size_t i = 0; i < kFlatColorCount; ++i)
            getLightness(*flatColorAtIndex(i), &t[i].l, &t[i].a, &t[i].b, nullptr);
        return t;
    }();
    return table;
}

double degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}
double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}
}  // namespace

void getRGBAComponents(const UIColor& color, CGFloat components[4]) {
    CGColor c = color.cgColor();
    switch (c.model) {
        case CGColorModel::Gray:
            components[0] = components[1] = components[2] = c.red;
            components[3] = c.alpha;
            return;
        case CGColorModel::RGB:
            components[0] = c.red;
            components[1] = c.green;
            components[2] = c.blue;
            components[3] = c.alpha;
            return;
        case CGColorModel::Pattern: break;
    }
    components[0] = components[1] = components[2] = 0;
    components[3] = 1;
}

std::uint32_t RGBAValue(const UIColor& color) {
    CGFloat c[4];
    getRGBAComponents(color, c);
    auto channel = [&](int i, int shift) { return static_cast<std::uint32_t>(truncatedByte(c[i])) << shift; };
    return channel(0, 24) | channel(1, 16) | channel(2, 8) | channel(3, 0);
}

bool isMonochromeOrRGB(const UIColor& color) {
    return !color.cgColor().isPattern();
}

bool isEqualToColor(const UIColor& color, const UIColor& other) {
    if (isMonochromeOrRGB(color) && isMonochromeOrRGB(other)) return RGBAValue(color) == RGBAValue(other);
    return color.isEqual(other);
}

std::array<double, 4> arrayOfXYZValuesForR(double red, double green, double blue, double alpha) {
    double r = fromSRGB(red), g = fromSRGB(green), b = fromSRGB(blue);
    return {(0.4124 * r + 0.3576 * g + 0.1805 * b) * 100, (0.2126 * r + 0.7152 * g + 0.0722 * b) * 100,
            (0.0193 * r + 0.1192 * g + 0.9505 * b) * 100, alpha};
}

std::array<double, 4> arrayOfLABValuesForX(double x, double y, double z, double alpha) {
    double fx = labF(x / kWhiteX), fy = labF(y / kWhiteY), fz = labF(z / kWhiteZ);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz), alpha};
}

bool getValueForX(const UIColor& color, double* x, double* y, double* z, double* alpha) {
    float xyz[3];
    double a = 0;
    if (!readXYZ(color, xyz, &a)) return false;
    *x = xyz[0];
    *y = xyz[1];
    *z = xyz[2];
    *alpha = static_cast<float>(a);
    return true;
}

bool getLightness(const UIColor& color, double* lightness, double* a, double* b, double* alpha) {
    float xyz[3];
    double colorAlpha = 0;
    if (!readXYZ(color, xyz, &colorAlpha)) return false;
    if (lightness && a && b) {
        auto lab = arrayOfLABValuesForX(xyz[0], xyz[1], xyz[2], colorAlpha);
        *lightness = static_cast<float>(lab[0]);
        *a = static_cast<float>(lab[1]);
        *b = static_cast<float>(lab[2]);
    }
    if (alpha) *alpha = colorAlpha;
    return true;
}

float totalSumOfDifferencesFroml1(double l1, double l2, double a1, double a2, double b1, double b2) {
    constexpr double pow25to7 = 6103515625.0;
    double c1 = std::hypot(a1, b1), c2 = std::hypot(a2, b2);
    double cMean = (c1 + c2) / 2;
    double cMean7 = std::pow(cMean, 7);
    double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + pow25to7)));
    double a1p = (1 + g) * a1, a2p = (1 + g) * a2;
    double c1p = std::hypot(a1p, b1), c2p = std::hypot(a2p, b2);
    auto hueAngle = [](double b, double ap) {
        if (b == 0 && ap == 0) return 0.0;
        double h = degrees(std::atan2(b, ap));
        return h < 0 ? h + 360 : h;
    };
    double h1p = hueAngle(b1, a1p), h2p = hueAngle(b2, a2p);

    double dLp = l2 - l1;
    double dCp = c2p - c1p;
    double dhp = 0;
    if (c1p * c2p != 0) {
        dhp = h2p - h1p;
        if (dhp > 180)
            dhp -= 360;
        else if (dhp < -180)
            dhp += 360;
    }
    double dHp = 2 * std::sqrt(c1p * c2p) * std::sin(radians(dhp / 2));

    double lMean = (l1 + l2) / 2;
    double cpMean = (c1p + c2p) / 2;
    double hpMean = h1p + h2p;
    if (c1p * c2p != 0) {
        if (std::fabs(h1p - h2p) <= 180)
            hpMean /= 2;
        else if (h1p + h2p < 360)
            hpMean = (h1p + h2p + 360) / 2;
        else
            hpMean = (h1p + h2p - 360) / 2;
    }
    double t = 1 - 0.17 * std::cos(radians(hpMean - 30)) + 0.24 * std::cos(radians(2 * hpMean)) +
               0.32 * std::cos(radians(3 * hpMean + 6)) - 0.20 * std::cos(radians(4 * hpMean - 63));
    double dTheta = 30 * std::exp(-std::pow((hpMean - 275) / 25, 2));
    double cpMean7 = std::pow(cpMean, 7);
    double rc = 2 * std::sqrt(cpMean7 / (cpMean7 + pow25to7));
    double lShift = (lMean - 50) * (lMean - 50);
    double sl = 1 + 0.015 * lShift / std::sqrt(20 + lShift);
    double sc = 1 + 0.045 * cpMean;
    double sh = 1 + 0.015 * cpMean * t;
    double rt = -std::sin(radians(2 * dTheta)) * rc;
    double dl = dLp / sl, dc = dCp / sc, dh = dHp / sh;
    return static_cast<float>(std::sqrt(dl * dl + dc * dc + dh * dh + rt * dc * dh));
}

std::shared_ptr<UIColor> nearestFlatColorForL(double lightness, double a, double b, CGFloat alpha) {
    const auto& lab = paletteLab();
    std::size_t chosen = 0;
    double best = 1000000;
    for (std::size_t i = 0; i < kFlatColorCount; ++i) {
        double d = totalSumOfDifferencesFroml1(lightness, lab[i].l, a, lab[i].a, b, lab[i].b);
        if (d < best) {
            best = d;
            chosen = i;
        }
    }
    CGFloat r = 0, g = 0, bl = 0;
    flatColorAtIndex(chosen)->getRed(&r, &g, &bl, nullptr);
    return UIColor::colorWithRed(r, g, bl, alpha);
}

std::shared_ptr<UIColor> colorWithFlatVersionOf(const std::shared_ptr<UIColor>& color, CGFloat alpha) {
    auto resolved = resolvingPatternColor(color);
    double l = 0, a = 0, b = 0;
    if (!resolved || !getLightness(*resolved, &l, &a, &b, nullptr)) return nullptr;
    return nearestFlatColorForL(l, a, b, alpha);
}

std::shared_ptr<UIColor> colorWithFlatVersionFrom(const std::shared_ptr<UIColor>& color) {
    double alpha = 0;
    if (color) getLightness(*color, nullptr, nullptr, nullptr, &alpha);
    return colorWithFlatVersionOf(color, alpha > 0 ? alpha : 1.0);
}

std::shared_ptr<UIColor> arrayColorWithFlatVersionOf(const std::shared_ptr<UIColor>& color) {
    double l = 0, a = 0, b = 0;
    if (!color || !getLightness(*color, &l, &a, &b, nullptr)) return nullptr;
    return nearestFlatColorForL(l, a, b, 1.0);
}

unsigned long colorCount(const UIColor& color) {
    return static_cast<unsigned long>(attachedValue(color, "count").integerValue());
}

void setColorCount(UIColor& color, unsigned long count) {
    setAttachedValue(color, "count", Value(count));
}
