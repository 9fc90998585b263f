// Palette constants are written as float literals widened to double, so the colours carry exactly
// the single-precision values the looks were designed with.
#include "widgets/button/ui_color_icon_button.h"

#include <algorithm>

namespace {
std::shared_ptr<UIColor> rgb(float r, float g, float b) {
    return UIColor::colorWithRed(r, g, b, 1.0);
}
std::shared_ptr<UIColor> hsb(float h, float s, float v) {
    return UIColor::colorWithHue(h, s, v, 1.0);
}

std::shared_ptr<UIColor> self(const UIColor& color) {
    return std::const_pointer_cast<UIColor>(color.self<UIColor>());
}

// Red, green, blue and alpha as stored: a grey level is spread over the three channels.
bool storedRGBA(const UIColor& color, CGFloat out[4]) {
    CGColor c = color.cgColor();
    auto components = c.components();
    if (components.size() == 2) {
        out[0] = out[1] = out[2] = components[0];
        out[3] = components[1];
        return true;
    }
    if (components.size() < 4) return false;
    std::copy_n(components.begin(), 4, out);
    return true;
}

template <class Step>
std::shared_ptr<UIColor> shifted(const UIColor& color, Step step) {
    CGFloat c[4];
    if (!storedRGBA(color, c)) return self(color);
    return UIColor::colorWithRed(step(c[0]), step(c[1]), step(c[2]), c[3]);
}
}  // namespace

std::shared_ptr<UIColor> ib_defaultColorV2() {
    return rgb(0.85f, 0.85f, 0.85f);
}
std::shared_ptr<UIColor> ib_defaultColorV3() {
    return hsb(0.0f, 0.0f, 1.0f);
}
std::shared_ptr<UIColor> ib_primaryColorV2() {
    return rgb(0.00f, 0.33f, 0.80f);
}
std::shared_ptr<UIColor> ib_primaryColorV3() {
    return hsb(208.0f / 360.0f, 0.72f, 0.69f);
}
std::shared_ptr<UIColor> ib_infoColorV2() {
    return rgb(0.18f, 0.59f, 0.71f);
}
std::shared_ptr<UIColor> ib_infoColorV3() {
    return hsb(194.0f / 360.0f, 0.59f, 0.87f);
}
std::shared_ptr<UIColor> ib_successColorV2() {
    return rgb(0.32f, 0.64f, 0.32f);
}
std::shared_ptr<UIColor> ib_successColorV3() {
    return hsb(120.0f / 360.0f, 0.50f, 0.72f);
}
std::shared_ptr<UIColor> ib_warningColorV2() {
    return rgb(0.97f, 0.58f, 0.02f);
}
std::shared_ptr<UIColor> ib_warningColorV3() {
    return hsb(35.0f / 360.0f, 0.68f, 0.94f);
}
std::shared_ptr<UIColor> ib_dangerColorV2() {
    return rgb(0.74f, 0.21f, 0.18f);
}
std::shared_ptr<UIColor> ib_dangerColorV3() {
    return hsb(2.0f / 360.0f, 0.64f, 0.85f);
}
std::shared_ptr<UIColor> ib_inverseColorV2() {
    return rgb(0.13f, 0.13f, 0.13f);
}
std::shared_ptr<UIColor> ib_inverseColorV3() {
    return hsb(0.0f, 0.0f, 0.75f);
}
std::shared_ptr<UIColor> ib_twitterColor() {
    return rgb(0.25f, 0.60f, 1.0f);
}
std::shared_ptr<UIColor> ib_facebookColor() {
    return rgb(0.23f, 0.35f, 0.60f);
}
std::shared_ptr<UIColor> ib_purpleIconButtonColor() {
    return rgb(0.45f, 0.30f, 0.75f);
}
std::shared_ptr<UIColor> ib_grayIconButtonColor() {
    return rgb(0.60f, 0.60f, 0.60f);
}

std::shared_ptr<UIColor> ib_lightenColorWithValue(const UIColor& color, double v) {
    return shifted(color, [v](CGFloat c) { return std::min<CGFloat>(c + v, 1.0); });
}

std::shared_ptr<UIColor> ib_darkenColorWithValue(const UIColor& color, double v) {
    return shifted(color, [v](CGFloat c) { return std::max<CGFloat>(c - v, 0.0); });
}

std::shared_ptr<UIColor> ib_desaturatedColorToPercentSaturation(const UIColor& color, double p) {
    CGFloat h = 0, s = 0, b = 0, a = 0;
    if (!color.getHue(&h, &s, &b, &a)) return self(color);
    return UIColor::colorWithHue(h, s * p, b, a);
}

bool ib_isLightColor(const UIColor& color) {
    auto c = color.cgColor().components();
    if (c.size() == 2) return c[0] >= 0.75;
    if (c.size() < 4) return false;
    return (c[0] + c[1] + c[2]) / 3 >= 0.75;
}
