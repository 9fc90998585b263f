// The flat palette: 24 named colours, each in a light and a dark variant, in palette order
// (every light colour at an even index, its dark variant at the next odd one).
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/draw/color.h"

// Opaque colours made anew on every call; two calls of one give equal colours.
std::shared_ptr<UIColor> flatBlackColor();
std::shared_ptr<UIColor> flatBlackColorDark();
std::shared_ptr<UIColor> flatBlueColor();
std::shared_ptr<UIColor> flatBlueColorDark();
std::shared_ptr<UIColor> flatBrownColor();
std::shared_ptr<UIColor> flatBrownColorDark();
std::shared_ptr<UIColor> flatCoffeeColor();
std::shared_ptr<UIColor> flatCoffeeColorDark();
std::shared_ptr<UIColor> flatForestGreenColor();
std::shared_ptr<UIColor> flatForestGreenColorDark();
std::shared_ptr<UIColor> flatGrayColor();
std::shared_ptr<UIColor> flatGrayColorDark();
std::shared_ptr<UIColor> flatGreenColor();
std::shared_ptr<UIColor> flatGreenColorDark();
std::shared_ptr<UIColor> flatLimeColor();
std::shared_ptr<UIColor> flatLimeColorDark();
std::shared_ptr<UIColor> flatMagentaColor();
std::shared_ptr<UIColor> flatMagentaColorDark();
std::shared_ptr<UIColor> flatMaroonColor();
std::shared_ptr<UIColor> flatMaroonColorDark();
std::shared_ptr<UIColor> flatMintColor();
std::shared_ptr<UIColor> flatMintColorDark();
std::shared_ptr<UIColor> flatNavyBlueColor();
std::shared_ptr<UIColor> flatNavyBlueColorDark();
std::shared_ptr<UIColor> flatOrangeColor();
std::shared_ptr<UIColor> flatOrangeColorDark();
std::shared_ptr<UIColor> flatPinkColor();
std::shared_ptr<UIColor> flatPinkColorDark();
std::shared_ptr<UIColor> flatPlumColor();
std::shared_ptr<UIColor> flatPlumColorDark();
std::shared_ptr<UIColor> flatPowderBlueColor();
std::shared_ptr<UIColor> flatPowderBlueColorDark();
std::shared_ptr<UIColor> flatPurpleColor();
std::shared_ptr<UIColor> flatPurpleColorDark();
std::shared_ptr<UIColor> flatRedColor();
std::shared_ptr<UIColor> flatRedColorDark();
std::shared_ptr<UIColor> flatSandColor();
std::shared_ptr<UIColor> flatSandColorDark();
std::shared_ptr<UIColor> flatSkyBlueColor();
std::shared_ptr<UIColor> flatSkyBlueColorDark();
std::shared_ptr<UIColor> flatTealColor();
std::shared_ptr<UIColor> flatTealColorDark();
std::shared_ptr<UIColor> flatWatermelonColor();
std::shared_ptr<UIColor> flatWatermelonColorDark();
std::shared_ptr<UIColor> flatWhiteColor();
std::shared_ptr<UIColor> flatWhiteColorDark();
std::shared_ptr<UIColor> flatYellowColor();
std::shared_ptr<UIColor> flatYellowColorDark();

inline constexpr std::size_t kFlatColorCount = 48;
// Hue (degrees), saturation and brightness (percent) of a palette entry.
struct FlatColorEntry {
    const char* name;
    int hue, saturation, brightness;
};
const FlatColorEntry& flatColorEntry(std::size_t index);  // index < kFlatColorCount
// The colour of a palette entry with the given alpha.
std::shared_ptr<UIColor> flatColorAtIndex(std::size_t index, CGFloat alpha = 1.0);

// All 48 in palette order; the 24 light (even) and the 24 dark (odd) ones in the same order.
std::vector<std::shared_ptr<UIColor>> flatColors();
std::vector<std::shared_ptr<UIColor>> lightFlatColors();
std::vector<std::shared_ptr<UIColor>> darkFlatColors();
