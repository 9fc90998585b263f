// Constants of the contrast rule are single-precision values widened, as the palette's are.
#include "widgets/flat/flat_contrast.h"

#include <algorithm>
#include <cmath>

#include "widgets/flat/flat_conversions.h"
#include "widgets/flat/flat_gradient.h"
#include "widgets/flat/flat_palette.h"

namespace {
constexpr std::size_t kFlatBlackDarkIndex = 1;
constexpr std::size_t kFlatWhiteIndex = 44;

template <class Step>
std::shared_ptr<UIColor> withBrightness(const UIColor& color, CGFloat amount, Step step) {
    CGFloat h = 0, s = 0, b = 0, a = 0;
    if (!color.getHue(&h, &s, &b, &a)) return nullptr;
    if (amount > 0) b = std::min<CGFloat>(step(b), 1.0);
    return UIColor::colorWithHue(h, s, b, a);
}
}  // namespace

bool isLightForContrast(CGFloat red, CGFloat green, CGFloat blue) {
    double luminance = double(0.2126f) * red + double(0.7152f) * green + double(0.0722f) * blue;
    return luminance > double(0.6f);
}

std::shared_ptr<UIColor> colorWithContrastingBlackOrWhiteColorOn(const std::shared_ptr<UIColor>& background,
                                                                 bool isFlat, CGFloat alpha) {
    if (alpha == 0) return UIColor::clearColor();
    CGFloat r = 0, g = 0, b = 0;
    if (auto resolved = resolvingPatternColor(background)) resolved->getRed(&r, &g, &b, nullptr);
    bool light = isLightForContrast(r, g, b);
    if (isFlat) return flatColorAtIndex(light ? kFlatBlackDarkIndex : kFlatWhiteIndex, alpha);
    return light ? UIColor::colorWithRed(0, 0, 0, alpha) : UIColor::colorWithRed(1, 1, 1, alpha);
}

std::shared_ptr<UIColor> darkenByPercentage(const UIColor& color, CGFloat amount) {
    return withBrightness(color, amount, [amount](CGFloat b) { return b - amount; });
}

std::shared_ptr<UIColor> lightenByPercentage(const UIColor& color, CGFloat amount) {
    return withBrightness(color, amount, [amount](CGFloat b) { return b + amount; });
}

std::shared_ptr<UIColor> colorWithComplementaryFlatColorOf(const std::shared_ptr<UIColor>& color, CGFloat alpha) {
    auto resolved = resolvingPatternColor(color);
    CGFloat h = 0, s = 0, b = 0, a = 0;
    if (!resolved || !resolved->getHue(&h, &s, &b, &a) || a == 0) return UIColor::clearColor();
    CGFloat degrees = h * 360 + 180;
    if (degrees > 360) degrees -= 360;
    float hue = std::round(static_cast<float>(degrees));
    float saturation = std::round(static_cast<float>(s * 100));
    float brightness = std::round(static_cast<float>(b * 100));
    auto opposite = UIColor::colorWithHue(hue / 360, saturation / 100, brightness / 100, alpha);
    return colorWithFlatVersionOf(opposite, alpha);
}
