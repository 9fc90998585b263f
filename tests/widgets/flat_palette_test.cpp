#include "widgets/flat/flat_palette.h"

#include <gtest/gtest.h>

#include <functional>

#include "widgets/flat/flat_contrast.h"
#include "widgets_test_support.h"

namespace {
struct PaletteRow {
    const char* name;
    std::function<std::shared_ptr<UIColor>()> make;
    std::array<int, 3> bytes;
};

const std::vector<PaletteRow>& paletteRows() {
    static const std::vector<PaletteRow> rows = {
        {"flatBlackColor", flatBlackColor, {43, 43, 43}},
        {"flatBlackColorDark", flatBlackColorDark, {38, 38, 38}},
        {"flatBlueColor", flatBlueColor, {80, 102, 161}},
        {"flatBlueColorDark", flatBlueColorDark, {57, 77, 130}},
        {"flatBrownColor", flatBrownColor, {94, 69, 52}},
        {"flatBrownColorDark", flatBrownColorDark, {79, 58, 43}},
        {"flatCoffeeColor", flatCoffeeColor, {163, 134, 113}},
        {"flatCoffeeColorDark", flatCoffeeColorDark, {143, 114, 94}},
        {"flatForestGreenColor", flatForestGreenColor, {52, 94, 65}},
        {"flatForestGreenColorDark", flatForestGreenColorDark, {44, 79, 53}},
        {"flatGrayColor", flatGrayColor, {149, 165, 166}},
        {"flatGrayColorDark", flatGrayColorDark, {126, 139, 140}},
        {"flatGreenColor", flatGreenColor, {47, 204, 112}},
        {"flatGreenColorDark", flatGreenColorDark, {38, 173, 95}},
        {"flatLimeColor", flatLimeColor, {166, 199, 60}},
        {"flatLimeColorDark", flatLimeColorDark, {143, 176, 33}},
        {"flatMagentaColor", flatMagentaColor, {155, 89, 181}},
        {"flatMagentaColorDark", flatMagentaColorDark, {142, 68, 173}},
        {"flatMaroonColor", flatMaroonColor, {120, 48, 42}},
        {"flatMaroonColorDark", flatMaroonColorDark, {102, 37, 33}},
        {"flatMintColor", flatMintColor, {26, 189, 156}},
        {"flatMintColorDark", flatMintColorDark, {22, 161, 133}},
        {"flatNavyBlueColor", flatNavyBlueColor, {52, 73, 94}},
        {"flatNavyBlueColorDark", flatNavyBlueColorDark, {43, 61, 79}},
        {"flatOrangeColor", flatOrangeColor, {229, 125, 34}},
        {"flatOrangeColorDark", flatOrangeColorDark, {212, 85, 0}},
        {"flatPinkColor", flatPinkColor, {245, 125, 197}},
        {"flatPinkColorDark", flatPinkColorDark, {212, 91, 157}},
        {"flatPlumColor", flatPlumColor, {94, 52, 94}},
        {"flatPlumColorDark", flatPlumColorDark, {79, 43, 79}},
        {"flatPowderBlueColor", flatPowderBlueColor, {184, 202, 242}},
        {"flatPowderBlueColorDark", flatPowderBlueColorDark, {154, 172, 214}},
        {"flatPurpleColor", flatPurpleColor, {116, 94, 196}},
        {"flatPurpleColorDark", flatPurpleColorDark, {92, 72, 163}},
        {"flatRedColor", flatRedColor, {232, 78, 60}},
        {"flatRedColorDark", flatRedColorDark, {191, 57, 42}},
        {"flatSandColor", flatSandColor, {240, 222, 180}},
        {"flatSandColorDark", flatSandColorDark, {214, 195, 150}},
        {"flatSkyBlueColor", flatSkyBlueColor, {53, 153, 219}},
        {"flatSkyBlueColorDark", flatSkyBlueColorDark, {41, 128, 186}},
        {"flatTealColor", flatTealColor, {59, 112, 130}},
        {"flatTealColorDark", flatTealColorDark, {53, 98, 115}},
        {"flatWatermelonColor", flatWatermelonColor, {240, 113, 121}},
        {"flatWatermelonColorDark", flatWatermelonColorDark, {217, 85, 89}},
        {"flatWhiteColor", flatWhiteColor, {237, 241, 242}},
        {"flatWhiteColorDark", flatWhiteColorDark, {189, 195, 199}},
        {"flatYellowColor", flatYellowColor, {255, 205, 3}},
        {"flatYellowColorDark", flatYellowColorDark, {255, 170, 0}},
    };
    return rows;
}
}  // namespace

TEST(FlatPalette, EveryColourHasItsBytesAndItsPlaceInTheLists) {
    auto all = flatColors();
    auto light = lightFlatColors();
    auto dark = darkFlatColors();
    ASSERT_EQ(all.size(), paletteRows().size());
    ASSERT_EQ(light.size(), 24u);
    ASSERT_EQ(dark.size(), 24u);
    for (std::size_t i = 0; i < paletteRows().size(); ++i) {
        const auto& row = paletteRows()[i];
        auto color = row.make();
        EXPECT_EQ(bytesOf(color), row.bytes) << row.name;
        EXPECT_EQ(rgbaOf(color)[3], 1.0) << row.name;
        EXPECT_TRUE(sameColor(color, row.make())) << row.name << " is the same on every call";
        EXPECT_TRUE(sameColor(all[i], color)) << row.name << " at index " << i;
        EXPECT_TRUE(sameColor((i % 2 ? dark : light)[i / 2], color)) << row.name;
    }
}

TEST(FlatPalette, ComponentsAreSinglePrecisionFractionsWidened) {
    auto blue = hsbaOf(flatBlueColor());
    EXPECT_NEAR(blue[0], double(224.0f / 360.0f), 1e-12);
    EXPECT_NE(double(224.0f / 360.0f), 224.0 / 360.0);
    EXPECT_NEAR(blue[1], double(0.5f), 1e-12);
    EXPECT_NEAR(blue[2], double(0.63f), 1e-12);
}

TEST(FlatContrast, BlackOrWhiteFollowsTheLuminanceOfTheBackground) {
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(flatRedColor(), true), flatWhiteColor()));
    EXPECT_EQ(rgbaOf(colorWithContrastingBlackOrWhiteColorOn(flatRedColor(), false)),
              (std::array<CGFloat, 4>{1, 1, 1, 1}));
    for (auto dark : {flatYellowColor(), flatGrayColor(), flatGreenColor()}) {
        EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(dark, true), flatBlackColorDark()));
        EXPECT_EQ(rgbaOf(colorWithContrastingBlackOrWhiteColorOn(dark, false)), (std::array<CGFloat, 4>{0, 0, 0, 1}));
    }
    for (auto light : {flatOrangeColor(), flatRedColor()})
        EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(light, true), flatWhiteColor()));
    EXPECT_EQ(rgbaOf(colorWithContrastingBlackOrWhiteColorOn(flatYellowColor(), false, 0.5))[3], 0.5);
    // Alpha 0 is the clear colour whatever the background; no background counts as black.
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(flatWhiteColor(), true, 0), UIColor::clearColor()));
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(nullptr, true), flatWhiteColor()));
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(UIColor::colorWithWhite(0.9, 1), false),
                          UIColor::colorWithRed(0, 0, 0, 1)));
}

TEST(FlatShades, DarkenHandsOnNegativeBrightnessAndLightenStopsAtOne) {
    auto dim = UIColor::colorWithHue(0, 0, 0.1, 1);
    EXPECT_NEAR(hsbaOf(darkenByPercentage(*dim, 0.25))[2], -0.15, 1e-12);
    auto bright = UIColor::colorWithHue(0.5, 0.5, 0.9, 0.7);
    auto lighter = hsbaOf(lightenByPercentage(*bright, 0.25));
    EXPECT_DOUBLE_EQ(lighter[2], 1.0);
    EXPECT_NEAR(lighter[0], 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(lighter[3], 0.7);
    EXPECT_NEAR(hsbaOf(darkenByPercentage(*bright, 0))[2], 0.9, 1e-12) << "no amount changes nothing";
    EXPECT_NEAR(hsbaOf(lightenByPercentage(*bright, -1))[2], 0.9, 1e-12);
    EXPECT_EQ(darkenByPercentage(*UIColor::colorWithPatternImage(nullptr), 0.25), nullptr);
}
