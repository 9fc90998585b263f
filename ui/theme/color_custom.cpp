// Colour operations over red, green, blue and alpha.
#include "ui/theme/color_custom.h"

#include "platform/runtime/random.h"

namespace {
constexpr std::uint32_t kByteValues = 256;
constexpr CGFloat kByteMax = 255;

std::uint32_t byteOf(CGFloat component) {
    return static_cast<std::uint32_t>(component * kByteMax + 0.5);
}
}  // namespace

std::shared_ptr<UIColor> randomColor() {
    const auto r = arc4random_uniform(kByteValues);
    const auto g = arc4random_uniform(kByteValues);
    const auto b = arc4random_uniform(kByteValues);
    return UIColor::colorWithRed(r / kByteMax, g / kByteMax, b / kByteMax, 1);
}

std::shared_ptr<UIColor> invert(const UIColor& color) {
    const auto c = array(color);
    return UIColor::colorWithRed(1 - c[0], 1 - c[1], 1 - c[2], c[3]);
}

std::shared_ptr<UIColor> setAlpha(const UIColor& color, float alpha) {
    const auto c = array(color);
    return UIColor::colorWithRed(c[0], c[1], c[2], alpha);
}

std::shared_ptr<UIColor> alpha(const UIColor& color, double alpha) {
    const auto c = array(color);
    return UIColor::colorWithRed(c[0], c[1], c[2], alpha);
}

std::uint32_t colorCode(const UIColor& color) {
    CGFloat r = 0, g = 0, b = 0, a = 0;
    if (!color.getRed(&r, &g, &b, &a)) return 0;
    return byteOf(a) << 24 | byteOf(r) << 16 | byteOf(g) << 8 | byteOf(b);
}

std::array<CGFloat, 4> array(const UIColor& color) {
    std::array<CGFloat, 4> c{0, 0, 0, 0};
    color.getRed(&c[0], &c[1], &c[2], &c[3]);
    return c;
}

std::shared_ptr<UIColor> colorWithUCharRed(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                           std::uint8_t alpha) {
    return UIColor::colorWithRed(red / kByteMax, green / kByteMax, blue / kByteMax, alpha / kByteMax);
}
