// Colour arithmetic under the flat palette: RGBA components whatever the colour's model, packed
// values, RGB to CIE XYZ and L*a*b*, the CIEDE2000 difference, and the nearest palette colour
// (the "flat version" of a colour).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/ui/draw/color.h"

// Red, green, blue and alpha: grey colours spread their level, RGB colours give theirs, every
// other model (a pattern) gives opaque black (0, 0, 0, 1).
void getRGBAComponents(const UIColor& color, CGFloat components[4]);
// Red in bits 31-24 down to alpha in 7-0, each component times 255 truncated.
std::uint32_t RGBAValue(const UIColor& color);
bool isMonochromeOrRGB(const UIColor& color);
// Grey and RGB colours are equal when their packed values are; others when isEqual says so.
bool isEqualToColor(const UIColor& color, const UIColor& other);

// (X, Y, Z, alpha) on the 0...100 scale from sRGB components (D65).
std::array<double, 4> arrayOfXYZValuesForR(double red, double green, double blue, double alpha);
// (L*, a*, b*, alpha) of XYZ against the white X 95.05, Y 100, Z 108.9.
std::array<double, 4> arrayOfLABValuesForX(double x, double y, double z, double alpha);
// The colour's XYZ and alpha, each held to single precision; false for a colour without RGB.
bool getValueForX(const UIColor& color, double* x, double* y, double* z, double* alpha);
// The colour's L*, a*, b* (written only when all three pointers are given) and alpha (when that
// pointer is given), held to single precision; false for a colour without RGB.
bool getLightness(const UIColor& color, double* lightness, double* a, double* b, double* alpha);
// The CIEDE2000 difference of (l1, a1, b1) and (l2, a2, b2) with unit weights.
float totalSumOfDifferencesFroml1(double l1, double l2, double a1, double a2, double b1, double b2);

// The palette colour nearest to the L*a*b* values (the first of equally near ones), as an RGB
// colour with the alpha given.
std::shared_ptr<UIColor> nearestFlatColorForL(double lightness, double a, double b, CGFloat alpha);
// The nearest palette colour with the alpha given (a pattern colour is resolved first); none for a
// colour without RGB.
std::shared_ptr<UIColor> colorWithFlatVersionOf(const std::shared_ptr<UIColor>& color, CGFloat alpha = 1.0);
// The same with the colour's own alpha, or 1 when that is 0.
std::shared_ptr<UIColor> colorWithFlatVersionFrom(const std::shared_ptr<UIColor>& color);
inline std::shared_ptr<UIColor> flatten(const std::shared_ptr<UIColor>& color) {
    return colorWithFlatVersionFrom(color);
}
// The array class's form: alpha 1, and a pattern colour is not resolved (so it gives none).
std::shared_ptr<UIColor> arrayColorWithFlatVersionOf(const std::shared_ptr<UIColor>& color);

// A count any colour may carry (absent reads as 0); nothing in the palette uses it.
unsigned long colorCount(const UIColor& color);
void setColorCount(UIColor& color, unsigned long count);
