// Linear and polynomial colour maps: colour matrix, clamp, polynomial, cross polynomial, hue
// rotation about the grey axis and white point (a per-channel scale taking the colour to white).
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_kit.h"

namespace {

class Matrix3Op final : public PointOp {
public:
    Matrix3Op(const std::array<float, 9>& m, const char* label) : m_(m), label_(label) {}
    void apply(const PixelSpan& s) const override { kernels::matrix3(s.r, s.g, s.b, s.n, m_.data(), nullptr); }
    bool straightAlpha() const override { return false; }  // linear in colour
    std::string label() const override { return label_; }

private:
    std::array<float, 9> m_;
    const char* label_;
};

std::shared_ptr<CIImage> colorMatrix(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const auto R = vector4(f, "inputRVector", {1, 0, 0, 0}), G = vector4(f, "inputGVector", {0, 1, 0, 0});
    const auto B = vector4(f, "inputBVector", {0, 0, 1, 0}), A = vector4(f, "inputAVector", {0, 0, 0, 1});
    const auto bias = vector4(f, "inputBiasVector", {0, 0, 0, 0});
    const bool alpha = A != std::array<float, 4>{0, 0, 0, 1} || bias[3] != 0;
    return imageWithPointOp(input, pixelOp(
                                       "colour matrix",
                                       [=](float& r, float& g, float& b, float& a) {
                                           const float s[4] = {r, g, b, a};
                                           auto dot = [&s](const std::array<float, 4>& v) {
                                               return s[0] * v[0] + s[1] * v[1] + s[2] * v[2] + s[3] * v[3];
                                           };
                                           r = dot(R) + bias[0], g = dot(G) + bias[1], b = dot(B) + bias[2],
                                           a = dot(A) + bias[3];
                                       },
                                       true, alpha));
}

std::shared_ptr<CIImage> colorClamp(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const auto lo = vector4(f, "inputMinComponents", {0, 0, 0, 0}), hi = vector4(f, "inputMaxComponents", {1, 1, 1, 1});
    return imageWithPointOp(input, pixelOp(
                                       "colour clamp",
                                       [=](float& r, float& g, float& b, float& a) {
                                           float* c[4] = {&r, &g, &b, &a};
                                           // Lower bound first, so an inverted pair gives the upper one (as min(max(x,
                                           // lo), hi)).
                                           for (int k = 0; k < 4; ++k) *c[k] = std::min(std::max(*c[k], lo[k]), hi[k]);
                                       },
                                       true, lo[3] > 0 || hi[3] < 1));
}

std::shared_ptr<CIImage> colorPolynomial(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const std::array<float, 4> identity{0, 1, 0, 0};
    const std::array<std::array<float, 4>, 4> k = {
        vector4(f, "inputRedCoefficients", identity), vector4(f, "inputGreenCoefficients", identity),
        vector4(f, "inputBlueCoefficients", identity), vector4(f, "inputAlphaCoefficients", identity)};
    return imageWithPointOp(input, pixelOp(
                                       "colour polynomial",
                                       [=](float& r, float& g, float& b, float& a) {
                                           float* c[4] = {&r, &g, &b, &a};
                                           for (int i = 0; i < 4; ++i) {
                                               const float x = *c[i];
                                               *c[i] = k[i][0] + x * (k[i][1] + x * (k[i][2] + x * k[i][3]));
                                           }
                                       },
                                       true, k[3] != identity));
}

std::shared_ptr<CIImage> colorCrossPolynomial(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    std::array<std::array<float, 10>, 3> k{};
    const char* keys[3] = {"inputRedCoefficients", "inputGreenCoefficients", "inputBlueCoefficients"};
    for (int i = 0; i < 3; ++i) {
        k[i][i] = 1;
        if (auto v = f.vectorInput(keys[i]))
            for (std::size_t j = 0; j < 10; ++j) k[i][j] = static_cast<float>(v->valueAtIndex(j));
    }
    return imageWithPointOp(input, pixelOp("colour cross polynomial", [=](float& r, float& g, float& b, float&) {
                                const float t[10] = {r, g, b, r * r, g * g, b * b, r * g, g * b, b * r, 1};
                                float o[3];
                                for (int i = 0; i < 3; ++i) {
                                    o[i] = 0;
                                    for (int j = 0; j < 10; ++j) o[i] += k[i][j] * t[j];
                                }
                                r = o[0], g = o[1], b = o[2];
                            }));
}

std::shared_ptr<CIImage> hueAdjust(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    const double angle = f.numberInput(kCIInputAngleKey, 0.0);
    if (!input || angle == 0 || !std::isfinite(angle)) return input;
    // Rotation about the unit grey axis (1, 1, 1) / sqrt 3 (Rodrigues).
    const double c = std::cos(angle), s = std::sin(angle), t = (1 - c) / 3, q = s / std::sqrt(3.0);
    const float d = static_cast<float>(c + t), p = static_cast<float>(t - q), m = static_cast<float>(t + q);
    return imageWithPointOp(input, std::make_shared<Matrix3Op>(std::array<float, 9>{d, p, m, m, d, p, p, m, d}, "hue"));
}

std::shared_ptr<CIImage> whitePoint(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const auto w = color4(f, kCIInputColorKey, {1, 1, 1, 1});
    if (w[0] == 1 && w[1] == 1 && w[2] == 1) return input;
    // A component of zero (or less) cannot become white; it is left as it is.
    auto gain = [](float x) { return x > 1e-6f ? 1.0f / x : 1.0f; };
    return imageWithPointOp(
        input, std::make_shared<Matrix3Op>(std::array<float, 9>{gain(w[0]), 0, 0, 0, gain(w[1]), 0, 0, 0, gain(w[2])},
                                           "white point"));
}

}  // namespace

std::shared_ptr<CIFilter> makeColorMatrixFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorMatrix>(d);
}
std::shared_ptr<CIFilter> makeColorClampFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorClamp>(d);
}
std::shared_ptr<CIFilter> makeColorPolynomialFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorPolynomial>(d);
}
std::shared_ptr<CIFilter> makeColorCrossPolynomialFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorCrossPolynomial>(d);
}
std::shared_ptr<CIFilter> makeHueAdjustFilter(const FilterDescription& d) {
    return makeFunctionFilter<hueAdjust>(d);
}
std::shared_ptr<CIFilter> makeWhitePointAdjustFilter(const FilterDescription& d) {
    return makeFunctionFilter<whitePoint>(d);
}
