// Colour schemes of five colours derived from one: analogous, triadic or complementary, optionally
// snapped onto the flat palette with duplicates pushed apart. The input colour (H, S, B) is
// always the middle element.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/draw/color.h"

// Values other than these give the analogous scheme.
enum class ColorScheme : long { Analogous = 0, Triadic = 1, Complementary = 2 };

namespace NSArrayFlatKit {
// The scheme of a colour's hue, saturation and brightness (its alpha is not carried over; a
// pattern colour is resolved first).
std::vector<std::shared_ptr<UIColor>> arrayOfColorsWithColorScheme(ColorScheme scheme,
                                                                   const std::shared_ptr<UIColor>& color,
                                                                   bool flatScheme);
// Hue in degrees (0...360), saturation and brightness in percent (0...100).
std::vector<std::shared_ptr<UIColor>> analogousColorSchemeFromHue(double hue, double saturation, double brightness,
                                                                  bool flat);
std::vector<std::shared_ptr<UIColor>> complementaryColorSchemeFromHue(double hue, double saturation, double brightness,
                                                                      bool flat);
std::vector<std::shared_ptr<UIColor>> triadicColorSchemeFromHue(double hue, double saturation, double brightness,
                                                                bool flat);
// Hue sum in degrees: above 360 wraps down once, below 0 is reflected (-6 gives 6).
float add(float a, float b);
}  // namespace NSArrayFlatKit
