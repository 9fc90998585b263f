// "CIVignetteEffect": darkens outside a circle around inputCenter. Colour is multiplied by
// 1 - intensity x smoothstep(radius (1 - falloff), radius, distance): untouched inside
// radius (1 - falloff), the full effect from the radius on (negative intensity lightens).
#include <algorithm>
#include <cmath>

#include "platform/image/filters/filter_kit.h"

namespace {

std::shared_ptr<CIImage> vignetteEffect(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    auto c = f.vectorInput(kCIInputCenterKey);
    const double cx = c ? c->X() : 150, cy = c ? c->Y() : 150;
    const double radius = std::max(0.0, f.numberInput(kCIInputRadiusKey, 150.0));
    const double intensity = f.numberInput(kCIInputIntensityKey, 1.0);
    const double falloff = std::clamp(f.numberInput("inputFalloff", 0.5), 0.0, 1.0);
    if (intensity == 0 || !std::isfinite(intensity)) return input;
    const double e1 = radius, e0 = radius * (1 - falloff);
    return imageWithPointOp(input, positionOp(
                                       "vignette effect",
                                       [=](double x, double y, float& r, float& g, float& b, float&) {
                                           const double d = std::hypot(x - cx, y - cy);
                                           double t = e1 > e0 ? std::clamp((d - e0) / (e1 - e0), 0.0, 1.0)
                                                              : (d >= e1 ? 1.0 : 0.0);
                                           t = t * t * (3 - 2 * t);
                                           const float k = static_cast<float>(1 - intensity * t);
                                           r *= k, g *= k, b *= k;
                                       },
                                       false));
}

}  // namespace

std::shared_ptr<CIFilter> makeVignetteEffectFilter(const FilterDescription& d) {
    return makeFunctionFilter<vignetteEffect>(d);
}
