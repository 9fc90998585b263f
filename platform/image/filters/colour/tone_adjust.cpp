// Tone steps on each colour component: exposure (x 2^EV), gamma (x^power, sign kept), and the
// sRGB transfer function and its inverse (sign kept, so extended values survive).
#include <cmath>

#include "platform/image/filters/filter_kit.h"

namespace {

float srgbEncode(float x) {
    const float m = std::fabs(x);
    const float e = m <= 0.0031308f ? 12.92f * m : 1.055f * std::pow(m, 1.0f / 2.4f) - 0.055f;
    return std::copysign(e, x);
}

float srgbDecode(float x) {
    const float m = std::fabs(x);
    const float l = m <= 0.04045f ? m / 12.92f : std::pow((m + 0.055f) / 1.055f, 2.4f);
    return std::copysign(l, x);
}

std::shared_ptr<CIImage> exposure(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    const double ev = f.numberInput("inputEV", 0.0);
    if (!input || ev == 0 || !std::isfinite(ev)) return input;
    const float k = static_cast<float>(std::exp2(ev));
    return imageWithPointOp(
        input, pixelOp(
                   "exposure", [k](float& r, float& g, float& b, float&) { r *= k, g *= k, b *= k; }, false));
}

std::shared_ptr<CIImage> gamma(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    const double p = f.numberInput("inputPower", 1.0);
    if (!input || p == 1 || !std::isfinite(p)) return input;
    const float e = static_cast<float>(p);
    return imageWithPointOp(input, pixelOp("gamma", [e](float& r, float& g, float& b, float&) {
                                for (float* x : {&r, &g, &b}) *x = std::copysign(std::pow(std::fabs(*x), e), *x);
                            }));
}

std::shared_ptr<CIImage> linearToSRGB(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    return imageWithPointOp(input, pixelOp("linear to sRGB", [](float& r, float& g, float& b, float&) {
                                r = srgbEncode(r), g = srgbEncode(g), b = srgbEncode(b);
                            }));
}

std::shared_ptr<CIImage> srgbToLinear(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    return imageWithPointOp(input, pixelOp("sRGB to linear", [](float& r, float& g, float& b, float&) {
                                r = srgbDecode(r), g = srgbDecode(g), b = srgbDecode(b);
                            }));
}

}  // namespace

std::shared_ptr<CIFilter> makeExposureAdjustFilter(const FilterDescription& d) {
    return makeFunctionFilter<exposure>(d);
}
std::shared_ptr<CIFilter> makeGammaAdjustFilter(const FilterDescription& d) {
    return makeFunctionFilter<gamma>(d);
}
std::shared_ptr<CIFilter> makeLinearToSRGBFilter(const FilterDescription& d) {
    return makeFunctionFilter<linearToSRGB>(d);
}
std::shared_ptr<CIFilter> makeSRGBToLinearFilter(const FilterDescription& d) {
    return makeFunctionFilter<srgbToLinear>(d);
}
