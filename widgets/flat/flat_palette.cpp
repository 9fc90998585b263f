// The palette table. Components are the single-precision values nearest to degrees / 360 and
// percent / 100, widened to double, so that colours made elsewhere from the same constants (the
// contrast colours) compare equal to palette colours.
#include "widgets/flat/flat_palette.h"

#include <array>

namespace {
constexpr std::array<FlatColorEntry, kFlatColorCount> kPalette = {{
    {"flatBlackColor", 0, 0, 17},          {"flatBlackColorDark", 0, 0, 15},
    {"flatBlueColor", 224, 50, 63},        {"flatBlueColorDark", 224, 56, 51},
    {"flatBrownColor", 24, 45, 37},        {"flatBrownColorDark", 25, 45, 31},
    {"flatCoffeeColor", 25, 31, 64},       {"flatCoffeeColorDark", 25, 34, 56},
    {"flatForestGreenColor", 138, 45, 37}, {"flatForestGreenColorDark", 135, 44, 31},
    {"flatGrayColor", 184, 10, 65},        {"flatGrayColorDark", 184, 10, 55},
    {"flatGreenColor", 145, 77, 80},       {"flatGreenColorDark", 145, 78, 68},
    {"flatLimeColor", 74, 70, 78},         {"flatLimeColorDark", 74, 81, 69},
    {"flatMagentaColor", 283, 51, 71},     {"flatMagentaColorDark", 282, 61, 68},
    {"flatMaroonColor", 5, 65, 47},        {"flatMaroonColorDark", 4, 68, 40},
    {"flatMintColor", 168, 86, 74},        {"flatMintColorDark", 168, 86, 63},
    {"flatNavyBlueColor", 210, 45, 37},    {"flatNavyBlueColorDark", 210, 45, 31},
    {"flatOrangeColor", 28, 85, 90},       {"flatOrangeColorDark", 24, 100, 83},
    {"flatPinkColor", 324, 49, 96},        {"flatPinkColorDark", 327, 57, 83},
    {"flatPlumColor", 300, 45, 37},        {"flatPlumColorDark", 300, 46, 31},
    {"flatPowderBlueColor", 222, 24, 95},  {"flatPowderBlueColorDark", 222, 28, 84},
    {"flatPurpleColor", 253, 52, 77},      {"flatPurpleColorDark", 253, 56, 64},
    {"flatRedColor", 6, 74, 91},           {"flatRedColorDark", 6, 78, 75},
    {"flatSandColor", 42, 25, 94},         {"flatSandColorDark", 42, 30, 84},
    {"flatSkyBlueColor", 204, 76, 86},     {"flatSkyBlueColorDark", 204, 78, 73},
    {"flatTealColor", 195, 55, 51},        {"flatTealColorDark", 196, 54, 45},
    {"flatWatermelonColor", 356, 53, 94},  {"flatWatermelonColorDark", 358, 61, 85},
    {"flatWhiteColor", 192, 2, 95},        {"flatWhiteColorDark", 204, 5, 78},
    {"flatYellowColor", 48, 99, 100},      {"flatYellowColorDark", 40, 100, 100},
}};
}  // namespace

const FlatColorEntry& flatColorEntry(std::size_t index) {
    return kPalette.at(index);
}

std::shared_ptr<UIColor> flatColorAtIndex(std::size_t index, CGFloat alpha) {
    const FlatColorEntry& e = kPalette.at(index);
    return UIColor::colorWithHue(static_cast<float>(e.hue) / 360.0f, static_cast<float>(e.saturation) / 100.0f,
                                 static_cast<float>(e.brightness) / 100.0f, alpha);
}

std::shared_ptr<UIColor> flatBlackColor() {
    return flatColorAtIndex(0);
}
std::shared_ptr<UIColor> flatBlackColorDark() {
    return flatColorAtIndex(1);
}
std::shared_ptr<UIColor> flatBlueColor() {
    return flatColorAtIndex(2);
}
std::shared_ptr<UIColor> flatBlueColorDark() {
    return flatColorAtIndex(3);
}
std::shared_ptr<UIColor> flatBrownColor() {
    return flatColorAtIndex(4);
}
std::shared_ptr<UIColor> flatBrownColorDark() {
    return flatColorAtIndex(5);
}
std::shared_ptr<UIColor> flatCoffeeColor() {
    return flatColorAtIndex(6);
}
std::shared_ptr<UIColor> flatCoffeeColorDark() {
    return flatColorAtIndex(7);
}
std::shared_ptr<UIColor> flatForestGreenColor() {
    return flatColorAtIndex(8);
}
std::shared_ptr<UIColor> flatForestGreenColorDark() {
    return flatColorAtIndex(9);
}
std::shared_ptr<UIColor> flatGrayColor() {
    return flatColorAtIndex(10);
}
std::shared_ptr<UIColor> flatGrayColorDark() {
    return flatColorAtIndex(11);
}
std::shared_ptr<UIColor> flatGreenColor() {
    return flatColorAtIndex(12);
}
std::shared_ptr<UIColor> flatGreenColorDark() {
    return flatColorAtIndex(13);
}
std::shared_ptr<UIColor> flatLimeColor() {
    return flatColorAtIndex(14);
}
std::shared_ptr<UIColor> flatLimeColorDark() {
    return flatColorAtIndex(15);
}
std::shared_ptr<UIColor> flatMagentaColor() {
    return flatColorAtIndex(16);
}
std::shared_ptr<UIColor> flatMagentaColorDark() {
    return flatColorAtIndex(17);
}
std::shared_ptr<UIColor> flatMaroonColor() {
    return flatColorAtIndex(18);
}
std::shared_ptr<UIColor> flatMaroonColorDark() {
    return flatColorAtIndex(19);
}
std::shared_ptr<UIColor> flatMintColor() {
    return flatColorAtIndex(20);
}
std::shared_ptr<UIColor> flatMintColorDark() {
    return flatColorAtIndex(21);
}
std::shared_ptr<UIColor> flatNavyBlueColor() {
    return flatColorAtIndex(22);
}
std::shared_ptr<UIColor> flatNavyBlueColorDark() {
    return flatColorAtIndex(23);
}
std::shared_ptr<UIColor> flatOrangeColor() {
    return flatColorAtIndex(24);
}
std::shared_ptr<UIColor> flatOrangeColorDark() {
    return flatColorAtIndex(25);
}
std::shared_ptr<UIColor> flatPinkColor() {
    return flatColorAtIndex(26);
}
std::shared_ptr<UIColor> flatPinkColorDark() {
    return flatColorAtIndex(27);
}
std::shared_ptr<UIColor> flatPlumColor() {
    return flatColorAtIndex(28);
}
std::shared_ptr<UIColor> flatPlumColorDark() {
    return flatColorAtIndex(29);
}
std::shared_ptr<UIColor> flatPowderBlueColor() {
    return flatColorAtIndex(30);
}
std::shared_ptr<UIColor> flatPowderBlueColorDark() {
    return flatColorAtIndex(31);
}
std::shared_ptr<UIColor> flatPurpleColor() {
    return flatColorAtIndex(32);
}
std::shared_ptr<UIColor> flatPurpleColorDark() {
    return flatColorAtIndex(33);
}
std::shared_ptr<UIColor> flatRedColor() {
    return flatColorAtIndex(34);
}
std::shared_ptr<UIColor> flatRedColorDark() {
    return flatColorAtIndex(35);
}
std::shared_ptr<UIColor> flatSandColor() {
    return flatColorAtIndex(36);
}
std::shared_ptr<UIColor> flatSandColorDark() {
    return flatColorAtIndex(37);
}
std::shared_ptr<UIColor> flatSkyBlueColor() {
    return flatColorAtIndex(38);
}
std::shared_ptr<UIColor> flatSkyBlueColorDark() {
    return flatColorAtIndex(39);
}
std::shared_ptr<UIColor> flatTealColor() {
    return flatColorAtIndex(40);
}
std::shared_ptr<UIColor> flatTealColorDark() {
    return flatColorAtIndex(41);
}
std::shared_ptr<UIColor> flatWatermelonColor() {
    return flatColorAtIndex(42);
}
std::shared_ptr<UIColor> flatWatermelonColorDark() {
    return flatColorAtIndex(43);
}
std::shared_ptr<UIColor> flatWhiteColor() {
    return flatColorAtIndex(44);
}
std::shared_ptr<UIColor> flatWhiteColorDark() {
    return flatColorAtIndex(45);
}
std::shared_ptr<UIColor> flatYellowColor() {
    return flatColorAtIndex(46);
}
std::shared_ptr<UIColor> flatYellowColorDark() {
    return flatColorAtIndex(47);
}

std::vector<std::shared_ptr<UIColor>> flatColors() {
    std::vector<std::shared_ptr<UIColor>> all;
    for (std::size_t i = 0; i < kFlatColorCount; ++i) all.push_back(flatColorAtIndex(i));
    return all;
}

std::vector<std::shared_ptr<UIColor>> lightFlatColors() {
    std::vector<std::shared_ptr<UIColor>> light;
    for (std::size_t i = 0; i < kFlatColorCount; i += 2) light.push_back(flatColorAtIndex(i));
    return light;
}

std::vector<std::shared_ptr<UIColor>> darkFlatColors() {
    std::vector<std::shared_ptr<UIColor>> dark;
    for (std::size_t i = 1; i < kFlatColorCount; i += 2) dark.push_back(flatColorAtIndex(i));
    return dark;
}
