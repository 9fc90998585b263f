// The scheme tables. Offset hues are summed in single precision and divided by 360 in single
// precision; percentages are divided by 100 in double precision.
#include "widgets/flat/flat_schemes.h"

#include "widgets/flat/flat_contrast.h"
#include "widgets/flat/flat_conversions.h"
#include "widgets/flat/flat_gradient.h"

namespace NSArrayFlatKit {
namespace {
using Colors = std::vector<std::shared_ptr<UIColor>>;
constexpr double kRepairShade = 0.25;

struct Scheme {
    double hue, saturation, brightness;

    // The hue `degrees` away from the input, as a fraction of a turn.
    double offset(float degrees) const { return add(degrees, static_cast<float>(hue)) / 360.0f; }
    std::shared_ptr<UIColor> at(double hueFraction, double s, double b) const {
        return UIColor::colorWithHue(hueFraction, s / 100, b / 100, 1.0);
    }
    std::shared_ptr<UIColor> middle() const { return at(hue / 360, saturation, brightness); }
};

bool same(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) {
    return a && b && a->isEqual(*b);
}

void flattenAll(Colors& colors) {
    for (auto& c : colors) c = flatten(c);
}

std::shared_ptr<UIColor> darkened(const std::shared_ptr<UIColor>& c) {
    return c ? darkenByPercentage(*c, kRepairShade) : nullptr;
}

// The repairs of the complementary and triadic schemes: the later of two equal elements is
// darkened and snapped again, once per rule, in this order.
void repairOpposites(Colors& c) {
    auto repair = [&](std::size_t i) { c[i] = flatten(darkened(c[i])); };
    if (same(c[1], c[2])) repair(1);
    if (same(c[2], c[3])) repair(3);
    if (same(c[0], c[2])) repair(0);
    if (same(c[4], c[2])) repair(4);
    if (same(c[0], c[1])) repair(0);
    if (same(c[3], c[4])) repair(4);
}
}  // namespace

float add(float a, float b) {
    float sum = a + b;
    if (sum > 360) return sum - 360;
    if (sum < 0) return -sum;
    return sum;
}

Colors analogousColorSchemeFromHue(double hue, double saturation, double brightness, bool flat) {
    Scheme s{hue, saturation, brightness};
    double sat = saturation + 5;
    Colors c = {s.at(s.offset(-32), sat, brightness + 5), s.at(s.offset(-16), sat, brightness + 9), s.middle(),
                s.at(s.offset(16), sat, brightness + 9), s.at(s.offset(32), sat, brightness + 5)};
    if (!flat) return c;
    flattenAll(c);
    auto moved = [&](float degrees) { return s.at(s.offset(degrees), sat, brightness + 9); };
    if (same(c[1], c[2])) c[1] = flatten(moved(-48));
    if (same(c[2], c[3])) c[3] = flatten(moved(32));
    if (same(c[0], c[1])) c[0] = flatten(moved(-64));
    if (same(c[0], c[2])) c[0] = darkened(moved(-96));
    if (same(c[3], c[4])) c[4] = flatten(moved(64));
    if (same(c[2], c[4])) c[4] = flatten(moved(96));
    return c;
}

Colors complementaryColorSchemeFromHue(double hue, double saturation, double brightness, bool flat) {
    Scheme s{hue, saturation, brightness};
    double own = hue / 360;
    double opposite = s.offset(180);
    Colors c = {s.at(own, saturation + 5, brightness - 30), s.at(own, saturation - 10, brightness + 9), s.middle(),
                s.at(opposite, saturation, brightness), s.at(opposite, saturation + 20, brightness - 30)};
    if (!flat) return c;
    flattenAll(c);
    repairOpposites(c);
    return c;
}

Colors triadicColorSchemeFromHue(double hue, double saturation, double brightness, bool flat) {
    Scheme s{hue, saturation, brightness};
    double third = s.offset(120), twoThirds = s.offset(240);
    double richer = saturation * 7 / 6;
    Colors c = {s.at(third, richer, brightness - 5), s.at(third, saturation, brightness + 9), s.middle(),
                s.at(twoThirds, richer, brightness - 5), s.at(twoThirds, saturation, brightness - 30)};
    if (!flat) return c;
    flattenAll(c);
    repairOpposites(c);
    return c;
}

Colors arrayOfColorsWithColorScheme(ColorScheme scheme, const std::shared_ptr<UIColor>& color, bool flatScheme) {
    CGFloat h = 0, s = 0, b = 0;
    if (auto resolved = resolvingPatternColor(color)) resolved->getHue(&h, &s, &b, nullptr);
    switch (scheme) {
        case ColorScheme::Triadic: return triadicColorSchemeFromHue(h * 360, s * 100, b * 100, flatScheme);
        case ColorScheme::Complementary: return complementaryColorSchemeFromHue(h * 360, s * 100, b * 100, flatScheme);
        default: return analogousColorSchemeFromHue(h * 360, s * 100, b * 100, flatScheme);
    }
}
}  // namespace NSArrayFlatKit
