#include <gtest/gtest.h>

#include "widgets/button/ui_color_icon_button.h"
#include "widgets_test_support.h"

TEST(ButtonPalette, ConstantsAreSinglePrecisionValuesWidened) {
    EXPECT_EQ(rgbaOf(ib_defaultColorV2())[0], double(0.85f));
    EXPECT_NE(rgbaOf(ib_defaultColorV2())[0], 0.85);
    EXPECT_EQ(rgbaOf(ib_primaryColorV2()), (std::array<CGFloat, 4>{0.0, double(0.33f), double(0.8f), 1.0}));
    EXPECT_DOUBLE_EQ(double(0.06f), 0.0599999986588955) << "the shade amounts the button passes";
    EXPECT_NE(double(0.06f), 0.06);
    auto white = hsbaOf(ib_defaultColorV3());
    EXPECT_EQ(white, (std::array<CGFloat, 4>{0, 0, 1, 1}));
    auto primary = hsbaOf(ib_primaryColorV3());
    EXPECT_NEAR(primary[0], double(208.0f / 360.0f), 1e-12);
    EXPECT_NEAR(primary[1], double(0.72f), 1e-12);
    EXPECT_NEAR(primary[2], double(0.69f), 1e-12);
    EXPECT_EQ(rgbaOf(ib_grayIconButtonColor())[1], double(0.6f));
}

TEST(ButtonPalette, LightColoursDecideTheTitleColour) {
    EXPECT_TRUE(ib_isLightColor(*ib_defaultColorV3()));
    EXPECT_TRUE(ib_isLightColor(*ib_defaultColorV2()));
    EXPECT_TRUE(ib_isLightColor(*ib_inverseColorV3()));
    EXPECT_FALSE(ib_isLightColor(*ib_inverseColorV2()));
    EXPECT_FALSE(ib_isLightColor(*ib_grayIconButtonColor()));
    EXPECT_TRUE(ib_isLightColor(*UIColor::colorWithWhite(0.75, 1)));
    EXPECT_FALSE(ib_isLightColor(*UIColor::colorWithWhite(0.74, 1)));
}

TEST(ButtonPalette, ShadesStopAtTheirBoundsAndSpreadGreyLevels) {
    EXPECT_EQ(rgbaOf(ib_darkenColorWithValue(*UIColor::blackColor(), 0.06)), (std::array<CGFloat, 4>{0, 0, 0, 1}));
    EXPECT_EQ(rgbaOf(ib_lightenColorWithValue(*UIColor::whiteColor(), 0.5)), (std::array<CGFloat, 4>{1, 1, 1, 1}));
    auto lighter = ib_lightenColorWithValue(*UIColor::colorWithWhite(0.2, 0.5), 0.1);
    EXPECT_EQ(lighter->cgColor().model, CGColorModel::RGB);
    auto c = rgbaOf(lighter);
    EXPECT_DOUBLE_EQ(c[0], 0.3);
    EXPECT_EQ(c[0], c[1]);
    EXPECT_EQ(c[1], c[2]);
    EXPECT_EQ(c[3], 0.5) << "alpha is copied";
    // A negative amount moves the other way without a bound.
    EXPECT_DOUBLE_EQ(rgbaOf(ib_darkenColorWithValue(*UIColor::colorWithRed(0.5, 0.5, 0.5, 1), -0.2))[0], 0.7);
}

TEST(ButtonPalette, DesaturationKeepsHueAndBrightnessAndLeavesGreysAlone) {
    auto grey = UIColor::colorWithRed(0.4, 0.4, 0.4, 1);
    EXPECT_EQ(rgbaOf(ib_desaturatedColorToPercentSaturation(*grey, 0.6)), rgbaOf(grey));
    auto danger = ib_dangerColorV3();
    auto faded = hsbaOf(ib_desaturatedColorToPercentSaturation(*danger, 0.6));
    auto before = hsbaOf(danger);
    EXPECT_NEAR(faded[0], before[0], 1e-9);
    EXPECT_NEAR(faded[1], before[1] * 0.6, 1e-9);
    EXPECT_NEAR(faded[2], before[2], 1e-9);
}

TEST(ButtonPalette, PatternColoursAreNeverReadAsComponents) {
    auto pattern = UIColor::colorWithPatternImage(nullptr);
    EXPECT_FALSE(ib_isLightColor(*pattern));
    EXPECT_EQ(ib_lightenColorWithValue(*pattern, 0.1).get(), pattern.get());
    EXPECT_EQ(ib_darkenColorWithValue(*pattern, 0.1).get(), pattern.get());
    EXPECT_EQ(ib_desaturatedColorToPercentSaturation(*pattern, 0.6).get(), pattern.get());
}
