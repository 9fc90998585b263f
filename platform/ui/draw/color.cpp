// Colour objects: fixed, pattern and dynamic colours, component read-back and the system palette.
#include "platform/ui/draw/color.h"

#include <cmath>
#include <cstdio>

std::vector<CGFloat> CGColor::components() const {
    switch (model) {
        case CGColorModel::Gray: return {red, alpha};
        case CGColorModel::RGB: return {red, green, blue, alpha};
        case CGColorModel::Pattern: break;
    }
    return {};
}

std::size_t CGColor::numberOfComponents() const {
    switch (model) {
        case CGColorModel::Gray: return 2;
        case CGColorModel::RGB: return 4;
        case CGColorModel::Pattern: break;
    }
    return 0;
}

CGColor CGColor::withAlpha(CGFloat a) const {
    CGColor copy = *this;
    copy.alpha = std::clamp<CGFloat>(a, 0, 1);
    return copy;
}

bool CGColor::operator==(const CGColor& other) const {
    if (model != other.model) return false;
    if (model == CGColorModel::Pattern) return pattern == other.pattern && alpha == other.alpha;
    return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
}

void UIColorRGBToHSB(CGFloat r, CGFloat g, CGFloat b, CGFloat* h, CGFloat* s, CGFloat* v) {
    CGFloat maxC = std::max({r, g, b}), minC = std::min({r, g, b});
    CGFloat delta = maxC - minC;
    CGFloat hue = 0;
    if (delta > 0) {
        if (maxC == r)
            hue = std::fmod((g - b) / delta, 6.0);
        else if (maxC == g)
            hue = (b - r) / delta + 2;
        else
            hue = (r - g) / delta + 4;
        hue /= 6;
        if (hue < 0) hue += 1;
    }
    if (h) *h = hue;
    if (s) *s = maxC > 0 ? delta / maxC : 0;
    if (v) *v = maxC;
}

void UIColorHSBToRGB(CGFloat h, CGFloat s, CGFloat v, CGFloat* r, CGFloat* g, CGFloat* b) {
    if (!std::isfinite(h)) h = 0;
    h = h - std::floor(h);  // wraps 1.25 to 0.25 and -0.25 to 0.75
    CGFloat sector = h * 6;
    int i = static_cast<int>(std::floor(sector)) % 6;
    CGFloat f = sector - std::floor(sector);
    CGFloat p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    CGFloat rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    *r = rgb[i][0];
    *g = rgb[i][1];
    *b = rgb[i][2];
}

std::shared_ptr<UIColor> UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return make<UIColor>(CGColor::rgb(red, green, blue, std::clamp<CGFloat>(alpha, 0, 1)));
}

std::shared_ptr<UIColor> UIColor::colorWithWhite(CGFloat white, CGFloat alpha) {
    return make<UIColor>(CGColor::gray(white, std::clamp<CGFloat>(alpha, 0, 1)));
}

std::shared_ptr<UIColor> UIColor::colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha) {
    CGFloat r, g, b;
    UIColorHSBToRGB(hue, std::clamp<CGFloat>(saturation, 0, 1), brightness, &r, &g, &b);
    return colorWithRed(r, g, b, alpha);
}

std::shared_ptr<UIColor> UIColor::colorWithCGColor(const CGColor& color) {
    return make<UIColor>(color);
}

std::shared_ptr<UIColor> UIColor::colorWithPatternImage(std::shared_ptr<UIImage> image) {
    CGColor value{CGColorModel::Pattern, 0, 0, 0, 1, std::move(image)};
    return make<UIColor>(std::move(value));
}

std::shared_ptr<UIColor> UIColor::colorWithDynamicProvider(Provider provider) {
    if (!provider) return clearColor();
    return make<UIColor>(std::move(provider));
}

std::shared_ptr<UIColor> UIColor::colorWithLight(std::shared_ptr<UIColor> light, std::shared_ptr<UIColor> dark) {
    return colorWithDynamicProvider([light, dark](const UITraitCollection& traits) {
        return traits.userInterfaceStyle == UIUserInterfaceStyle::Dark ? dark : light;
    });
}

namespace {
std::shared_ptr<UIColor> bytes(int r, int g, int b, CGFloat a = 1) {
    return UIColor::colorWithRed(r / 255.0, g / 255.0, b / 255.0, a);
}
struct Rgba {
    int r, g, b;
    CGFloat a = 1;
};
std::shared_ptr<UIColor> system(Rgba light, Rgba dark) {
    return UIColor::colorWithLight(bytes(light.r, light.g, light.b, light.a), bytes(dark.r, dark.g, dark.b, dark.a));
}
}  // namespace

std::shared_ptr<UIColor> UIColor::clearColor() {
    return colorWithWhite(0, 0);
}
std::shared_ptr<UIColor> UIColor::blackColor() {
    return colorWithWhite(0, 1);
}
std::shared_ptr<UIColor> UIColor::darkGrayColor() {
    return colorWithWhite(1.0 / 3.0, 1);
}
std::shared_ptr<UIColor> UIColor::grayColor() {
    return colorWithWhite(0.5, 1);
}
std::shared_ptr<UIColor> UIColor::lightGrayColor() {
    return colorWithWhite(2.0 / 3.0, 1);
}
std::shared_ptr<UIColor> UIColor::whiteColor() {
    return colorWithWhite(1, 1);
}
std::shared_ptr<UIColor> UIColor::redColor() {
    return colorWithRed(1, 0, 0, 1);
}
std::shared_ptr<UIColor> UIColor::greenColor() {
    return colorWithRed(0, 1, 0, 1);
}
std::shared_ptr<UIColor> UIColor::blueColor() {
    return colorWithRed(0, 0, 1, 1);
}
std::shared_ptr<UIColor> UIColor::cyanColor() {
    return colorWithRed(0, 1, 1, 1);
}
std::shared_ptr<UIColor> UIColor::yellowColor() {
    return colorWithRed(1, 1, 0, 1);
}
std::shared_ptr<UIColor> UIColor::magentaColor() {
    return colorWithRed(1, 0, 1, 1);
}
std::shared_ptr<UIColor> UIColor::orangeColor() {
    return colorWithRed(1, 0.5, 0, 1);
}
std::shared_ptr<UIColor> UIColor::purpleColor() {
    return colorWithRed(0.5, 0, 0.5, 1);
}
std::shared_ptr<UIColor> UIColor::brownColor() {
    return colorWithRed(0.6, 0.4, 0.2, 1);
}

std::shared_ptr<UIColor> UIColor::labelColor() {
    return colorWithLight(colorWithWhite(0, 1), colorWithWhite(1, 1));
}
std::shared_ptr<UIColor> UIColor::secondaryLabelColor() {
    return system({60, 60, 67, 0.6}, {235, 235, 245, 0.6});
}
std::shared_ptr<UIColor> UIColor::tertiaryLabelColor() {
    return system({60, 60, 67, 0.3}, {235, 235, 245, 0.3});
}
std::shared_ptr<UIColor> UIColor::systemBackgroundColor() {
    return colorWithLight(colorWithWhite(1, 1), colorWithWhite(0, 1));
}
std::shared_ptr<UIColor> UIColor::secondarySystemBackgroundColor() {
    return system({242, 242, 247}, {28, 28, 30});
}
std::shared_ptr<UIColor> UIColor::separatorColor() {
    return system({60, 60, 67, 0.29}, {84, 84, 88, 0.6});
}
std::shared_ptr<UIColor> UIColor::systemGrayColor() {
    return system({142, 142, 147}, {142, 142, 147});
}
std::shared_ptr<UIColor> UIColor::systemGray2Color() {
    return system({174, 174, 178}, {99, 99, 102});
}
std::shared_ptr<UIColor> UIColor::systemGray3Color() {
    return system({199, 199, 204}, {72, 72, 74});
}
std::shared_ptr<UIColor> UIColor::systemGray4Color() {
    return system({209, 209, 214}, {58, 58, 60});
}
std::shared_ptr<UIColor> UIColor::systemGray5Color() {
    return system({229, 229, 234}, {44, 44, 46});
}
std::shared_ptr<UIColor> UIColor::systemGray6Color() {
    return system({242, 242, 247}, {28, 28, 30});
}
std::shared_ptr<UIColor> UIColor::systemRedColor() {
    return system({255, 59, 48}, {255, 69, 58});
}
std::shared_ptr<UIColor> UIColor::systemGreenColor() {
    return system({52, 199, 89}, {48, 209, 88});
}
std::shared_ptr<UIColor> UIColor::systemBlueColor() {
    return system({0, 122, 255}, {10, 132, 255});
}
std::shared_ptr<UIColor> UIColor::systemOrangeColor() {
    return system({255, 149, 0}, {255, 159, 10});
}
std::shared_ptr<UIColor> UIColor::systemYellowColor() {
    return system({255, 204, 0}, {255, 214, 10});
}
std::shared_ptr<UIColor> UIColor::systemPinkColor() {
    return system({255, 45, 85}, {255, 55, 95});
}
std::shared_ptr<UIColor> UIColor::systemPurpleColor() {
    return system({175, 82, 222}, {191, 90, 242});
}
std::shared_ptr<UIColor> UIColor::systemIndigoColor() {
    return system({88, 86, 214}, {94, 92, 230});
}
std::shared_ptr<UIColor> UIColor::systemTealColor() {
    return system({90, 200, 250}, {100, 210, 255});
}

std::shared_ptr<UIColor> UIColor::resolvedColorWithTraitCollection(const UITraitCollection& traits) const {
    if (!provider_) return std::const_pointer_cast<UIColor>(self<UIColor>());
    // A provider may itself hand back a dynamic colour; resolve until fixed, with a bound against
    // providers that return themselves.
    std::shared_ptr<UIColor> color = provider_(traits);
    for (int depth = 0; color && color->provider_ && depth < 8; ++depth) color = color->provider_(traits);
    if (!color || color->provider_) return clearColor();
    return color;
}

CGColor UIColor::cgColor() const {
    if (!provider_) return value_;
    return resolvedColorWithTraitCollection(UITraitCollection::currentTraitCollection())->value_;
}

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
    CGColor c = cgColor();
    if (c.isPattern()) return false;
    if (red) *red = c.red;
    if (green) *green = c.green;
    if (blue) *blue = c.blue;
    if (alpha) *alpha = c.alpha;
    return true;
}

bool UIColor::getWhite(CGFloat* white, CGFloat* alpha) const {
    CGColor c = cgColor();
    if (c.model != CGColorModel::Gray) return false;
    if (white) *white = c.red;
    if (alpha) *alpha = c.alpha;
    return true;
}

bool UIColor::getHue(CGFloat* hue, CGFloat* saturation, CGFloat* brightness, CGFloat* alpha) const {
    CGColor c = cgColor();
    if (c.isPattern()) return false;
    UIColorRGBToHSB(c.red, c.green, c.blue, hue, saturation, brightness);
    if (alpha) *alpha = c.alpha;
    return true;
}

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(CGFloat alpha) const {
    if (provider_) {
        auto base = std::const_pointer_cast<UIColor>(self<UIColor>());
        return colorWithDynamicProvider([base, alpha](const UITraitCollection& traits) {
            return base->resolvedColorWithTraitCollection(traits)->colorWithAlphaComponent(alpha);
        });
    }
    return make<UIColor>(value_.withAlpha(alpha));
}

bool UIColor::isEqual(const NSObject& other) const {
    if (this == &other) return true;
    auto* color = dynamic_cast<const UIColor*>(&other);
    if (!color || provider_ || color->provider_) return false;
    return value_ == color->value_;
}

std::string UIColor::description() const {
    if (provider_) return "<UIDynamicColor>";
    char buffer[128];
    switch (value_.model) {
        case CGColorModel::Gray:
            std::snprintf(buffer, sizeof buffer, "UIExtendedGrayColorSpace %g %g", value_.red, value_.alpha);
            break;
        case CGColorModel::RGB:
            std::snprintf(buffer, sizeof buffer, "UIExtendedSRGBColorSpace %g %g %g %g", value_.red, value_.green,
                          value_.blue, value_.alpha);
            break;
        case CGColorModel::Pattern: std::snprintf(buffer, sizeof buffer, "<UIPatternColor>"); break;
    }
    return buffer;
}
