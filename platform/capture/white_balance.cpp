// Black-body locus in CIE 1960 uv and the sensor responses, for the white-balance conversions.
#include "platform/capture/white_balance.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kTintScale = 10000.0;

struct UV {
    double u, v;
};

// Rational approximation of the Planckian locus, good from 1000 K to 15000 K.
UV planckian(double t) {
    double u =
        (0.860117757 + 1.54118254e-4 * t + 1.28641212e-7 * t * t) / (1 + 8.42420235e-4 * t + 7.08145163e-7 * t * t);
    double v =
        (0.317398726 + 4.22806245e-5 * t + 4.20481691e-8 * t * t) / (1 - 2.89741816e-5 * t + 1.61456053e-7 * t * t);
    return {u, v};
}

// Unit normal of the locus at t, pointing to greener light (larger v).
UV locusNormal(double t) {
    UV a = planckian(t - 1), b = planckian(t + 1);
    double du = b.u - a.u, dv = b.v - a.v, len = std::hypot(du, dv);
    UV n{-dv / len, du / len};
    if (n.v < 0) n = {-n.u, -n.v};
    return n;
}

double clampTemperature(double t) {
    return std::clamp(t, double(kMinWhiteBalanceTemperature), double(kMaxWhiteBalanceTemperature));
}

}  // namespace

AVCaptureWhiteBalanceGains whiteBalanceGainsForTemperatureAndTint(
    const AVCaptureWhiteBalanceTemperatureAndTintValues& tt, const SensorResponse& sensor) {
    double t = std::isfinite(tt.temperature) ? clampTemperature(tt.temperature) : 6500.0;
    double tint = std::isfinite(tt.tint) ? tt.tint : 0.0;
    UV p = planckian(t), n = locusNormal(t);
    double u = p.u + n.u * tint / kTintScale, v = p.v + n.v * tint / kTintScale;
    double d = 2 * u - 8 * v + 4;
    double x = 3 * u / d, y = 2 * v / d;
    double X = x / y, Y = 1.0, Z = (1 - x - y) / y;
    // The sensor sees light through broad, cone-like responses, positive for every real colour.
    double rgb[3] = {0.38971 * X + 0.68898 * Y - 0.07868 * Z, -0.22981 * X + 1.18340 * Y + 0.04641 * Z, Z};
    const double response[3] = {sensor.red, sensor.green, sensor.blue};
    double gains[3];
    for (int i = 0; i < 3; ++i) gains[i] = 1.0 / std::max(rgb[i] * response[i], 1e-6);
    double low = std::min({gains[0], gains[1], gains[2]});
    return {float(gains[0] / low), float(gains[1] / low), float(gains[2] / low)};
}

AVCaptureWhiteBalanceTemperatureAndTintValues temperatureAndTintForWhiteBalanceGains(
    const AVCaptureWhiteBalanceGains& g, const SensorResponse& sensor) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double gains[3] = {g.redGain, g.greenGain, g.blueGain};
    const double response[3] = {sensor.red, sensor.green, sensor.blue};
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(gains[i]) || gains[i] <= 0) return {nan, nan};
        rgb[i] = 1.0 / (gains[i] * response[i]);
    }
    // Inverse of the sensor responses above.
    double X = 1.91020 * rgb[0] - 1.11212 * rgb[1] + 0.20191 * rgb[2];
    double Y = 0.37095 * rgb[0] + 0.62905 * rgb[1];
    double Z = rgb[2];
    double d = X + 15 * Y + 3 * Z;
    if (!(d > 0)) return {nan, nan};
    UV q{4 * X / d, 6 * Y / d};

    // The temperature whose locus normal passes through the point (the inverse of moving along
    // the normal), found as a sign change of the tangential offset in mired, where the locus is
    // evenly spaced; of several, the one nearest the locus.
    auto tangential = [&](double mired) {
        double t = 1e6 / mired;
        UV p = planckian(t), n = locusNormal(t);
        return (q.u - p.u) * n.v - (q.v - p.v) * n.u;
    };
    auto offset = [&](double mired) {
        double t = 1e6 / mired;
        UV p = planckian(t);
        return std::hypot(q.u - p.u, q.v - p.v);
    };
    const double lo = 1e6 / kMaxWhiteBalanceTemperature, hi = 1e6 / kMinWhiteBalanceTemperature;
    const int steps = 400;
    double bestA = lo, bestB = lo, bestDistance = INFINITY;
    double prevM = lo, prevF = tangential(lo);
    for (int i = 1; i <= steps; ++i) {
        double m = lo + (hi - lo) * i / steps, f = tangential(m);
        if ((prevF <= 0) != (f <= 0) && offset(m) < bestDistance) bestDistance = offset(m), bestA = prevM, bestB = m;
        prevM = m, prevF = f;
    }
    if (!std::isfinite(bestDistance)) {
        // Outside the range: the nearer end.
        bestA = bestB = std::abs(tangential(lo)) < std::abs(tangential(hi)) ? lo : hi;
    }
    double a = bestA, b = bestB;
    double fa = tangential(a);
    for (int i = 0; i < 60 && a != b; ++i) {
        double m = (a + b) / 2, fm = tangential(m);
        if ((fa <= 0) == (fm <= 0))
            a = m, fa = fm;
        else
            b = m;
    }
    double t = 1e6 / ((a + b) / 2);
    UV p = planckian(t), n = locusNormal(t);
    double tint = ((q.u - p.u) * n.u + (q.v - p.v) * n.v) * kTintScale;
    return {float(t), float(tint)};
}
