// Stylised colour maps: monochrome, sepia, false colour, x-ray, posterize and vibrance.
//
// Monochrome keeps each pixel's luma: the colour's hue at the pixel's brightness. Sepia is the
// customary sepia matrix; false colour maps luma onto the ramp between two colours; x-ray is the
// inverted luma, tinted cold. Posterize cuts 0...1 into `levels` equal bands and gives each band
// one of `levels` evenly spaced values (0 and 1 included). Vibrance scales saturation about the
// luma, more for dull colours than for saturated ones, and half as much for warm tones (skin).
#include <algorithm>
#include <cmath>

#include "platform/image/filters/filter_kit.h"

namespace {

float mix(float a, float b, float t) {
    return a + (b - a) * t;
}

std::shared_ptr<CIImage> monochrome(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const auto c = color4(f, kCIInputColorKey, {0.6f, 0.45f, 0.3f, 1});
    const float t = static_cast<float>(f.numberInput(kCIInputIntensityKey, 1.0));
    if (t == 0) return input;
    const float yc = luma709(c[0], c[1], c[2]);
    const float k[3] = {yc > 0 ? c[0] / yc : c[0], yc > 0 ? c[1] / yc : c[1], yc > 0 ? c[2] / yc : c[2]};
    return imageWithPointOp(input, pixelOp("monochrome", [=](float& r, float& g, float& b, float&) {
                                const float y = luma709(r, g, b);
                                r = mix(r, y * k[0], t), g = mix(g, y * k[1], t), b = mix(b, y * k[2], t);
                            }));
}

std::shared_ptr<CIImage> sepia(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const float t = static_cast<float>(f.numberInput(kCIInputIntensityKey, 1.0));
    if (t == 0) return input;
    return imageWithPointOp(input, pixelOp("sepia", [t](float& r, float& g, float& b, float&) {
                                const float sr = 0.393f * r + 0.769f * g + 0.189f * b;
                                const float sg = 0.349f * r + 0.686f * g + 0.168f * b;
                                const float sb = 0.272f * r + 0.534f * g + 0.131f * b;
                                r = mix(r, sr, t), g = mix(g, sg, t), b = mix(b, sb, t);
                            }));
}

std::shared_ptr<CIImage> falseColor(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const auto c0 = color4(f, "inputColor0", {0.3f, 0, 0, 1}), c1 = color4(f, "inputColor1", {1, 0.9f, 0.8f, 1});
    return imageWithPointOp(input, pixelOp("false colour", [=](float& r, float& g, float& b, float&) {
                                const float y = luma709(r, g, b);
                                r = mix(c0[0], c1[0], y), g = mix(c0[1], c1[1], y), b = mix(c0[2], c1[2], y);
                            }));
}

std::shared_ptr<CIImage> xRay(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    return imageWithPointOp(input, pixelOp("x-ray", [](float& r, float& g, float& b, float&) {
                                const float y = 1 - std::clamp(luma709(r, g, b), 0.0f, 1.0f);
                                r = 0.9f * y, g = 0.95f * y, b = y;
                            }));
}

std::shared_ptr<CIImage> posterize(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const double levels = std::floor(f.numberInput("inputLevels", 6.0));
    if (!std::isfinite(levels)) return input;
    // One level leaves one value (black); fewer is treated as one.
    const float n = static_cast<float>(std::clamp(levels, 1.0, 65536.0));
    return imageWithPointOp(input, pixelOp("posterize", [n](float& r, float& g, float& b, float&) {
                                for (float* x : {&r, &g, &b}) {
                                    const float band = std::min(std::floor(std::clamp(*x, 0.0f, 1.0f) * n), n - 1);
                                    *x = n > 1 ? band / (n - 1) : 0.0f;
                                }
                            }));
}

std::shared_ptr<CIImage> vibrance(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    const float amount = static_cast<float>(f.numberInput(kCIInputAmountKey, 0.0));
    if (!input || amount == 0) return input;
    return imageWithPointOp(input, pixelOp("vibrance", [amount](float& r, float& g, float& b, float&) {
                                const float hi = std::max({r, g, b}), lo = std::min({r, g, b});
                                const float saturation = std::clamp(hi - lo, 0.0f, 1.0f);
                                const bool warm = r >= g && g >= b;
                                const float gain = 1 + amount * (1 - saturation) * (warm ? 0.5f : 1.0f);
                                const float y = luma709(r, g, b);
                                r = y + (r - y) * gain, g = y + (g - y) * gain, b = y + (b - y) * gain;
                            }));
}

}  // namespace

std::shared_ptr<CIFilter> makeColorMonochromeFilter(const FilterDescription& d) {
    return makeFunctionFilter<monochrome>(d);
}
std::shared_ptr<CIFilter> makeSepiaToneFilter(const FilterDescription& d) {
    return makeFunctionFilter<sepia>(d);
}
std::shared_ptr<CIFilter> makeFalseColorFilter(const FilterDescription& d) {
    return makeFunctionFilter<falseColor>(d);
}
std::shared_ptr<CIFilter> makeXRayFilter(const FilterDescription& d) {
    return makeFunctionFilter<xRay>(d);
}
std::shared_ptr<CIFilter> makeColorPosterizeFilter(const FilterDescription& d) {
    return makeFunctionFilter<posterize>(d);
}
std::shared_ptr<CIFilter> makeVibranceFilter(const FilterDescription& d) {
    return makeFunctionFilter<vibrance>(d);
}
