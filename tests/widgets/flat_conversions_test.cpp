#include "widgets/flat/flat_conversions.h"

#include <gtest/gtest.h>

#include "widgets/flat/flat_gradient.h"
#include "widgets/flat/flat_palette.h"
#include "widgets_test_support.h"

TEST(FlatConversions, EveryPaletteColourFlattensToItselfAndTheExtremesToTheirNearest) {
    for (std::size_t i = 0; i < kFlatColorCount; ++i) {
        auto color = flatColorAtIndex(i);
        EXPECT_EQ(rgbaOf(colorWithFlatVersionOf(color)), rgbaOf(color)) << flatColorEntry(i).name;
    }
    EXPECT_EQ(rgbaOf(colorWithFlatVersionOf(UIColor::whiteColor(), 0.3)),
              rgbaOf(flatWhiteColor()->colorWithAlphaComponent(0.3)));
    EXPECT_EQ(rgbaOf(colorWithFlatVersionOf(UIColor::blackColor())), rgbaOf(flatBlackColorDark()));
    EXPECT_EQ(rgbaOf(flatten(UIColor::colorWithRed(0.9, 0.3, 0.2, 0.5)))[3], 0.5);
    EXPECT_EQ(rgbaOf(flatten(UIColor::colorWithRed(0.9, 0.3, 0.2, 0)))[3], 1.0);
    EXPECT_EQ(colorWithFlatVersionOf(nullptr), nullptr);
    EXPECT_EQ(arrayColorWithFlatVersionOf(UIColor::colorWithPatternImage(nullptr)), nullptr)
        << "the array's form does not resolve patterns";
    setGradientImage(nullptr);
    EXPECT_EQ(rgbaOf(colorWithFlatVersionOf(UIColor::colorWithPatternImage(nullptr))), rgbaOf(flatBlackColorDark()))
        << "a pattern with no gradient stands for black";
}

TEST(FlatConversions, CIEDE2000MatchesPublishedPairs) {
    struct Pair {
        double l1, a1, b1, l2, a2, b2, expected;
    };
    for (const Pair& p : std::vector<Pair>{{50, 2.6772, -79.7751, 50, 0, -82.7485, 2.0425},
                                           {50, 0, 0, 50, -1, 2, 2.3669},
                                           {50, 2.49, -0.001, 50, -2.49, 0.0009, 7.1792},
                                           {50, 2.49, -0.001, 50, -2.49, 0.0011, 7.2195},
                                           {50, 2.5, 0, 73, 25, -18, 27.1492},
                                           {60.2574, -34.0099, 36.2677, 60.4626, -34.1751, 39.4387, 1.2644}})
        EXPECT_NEAR(totalSumOfDifferencesFroml1(p.l1, p.l2, p.a1, p.a2, p.b1, p.b2), p.expected, 1e-4);
    EXPECT_EQ(totalSumOfDifferencesFroml1(40, 40, 10, 10, -5, -5), 0.0f);
}

TEST(FlatConversions, ComponentsPackedValuesAndEquality) {
    EXPECT_EQ(RGBAValue(*UIColor::colorWithRed(1, 0.5, 0, 1)), 0xFF7F00FFu);
    EXPECT_EQ(RGBAValue(*UIColor::colorWithWhite(1, 1)), 0xFFFFFFFFu);
    CGFloat c[4] = {9, 9, 9, 9};
    getRGBAComponents(*UIColor::colorWithPatternImage(nullptr), c);
    EXPECT_EQ((std::array<CGFloat, 4>{c[0], c[1], c[2], c[3]}), (std::array<CGFloat, 4>{0, 0, 0, 1}));
    getRGBAComponents(*UIColor::colorWithWhite(0.25, 0.5), c);
    EXPECT_EQ((std::array<CGFloat, 4>{c[0], c[1], c[2], c[3]}), (std::array<CGFloat, 4>{0.25, 0.25, 0.25, 0.5}));
    EXPECT_TRUE(isEqualToColor(*UIColor::colorWithWhite(1, 1), *UIColor::colorWithRed(1, 1, 1, 1)));
    EXPECT_TRUE(isEqualToColor(*UIColor::colorWithRed(0.5, 0, 0, 1), *UIColor::colorWithRed(0.501, 0, 0, 1)));
    EXPECT_FALSE(isEqualToColor(*UIColor::colorWithRed(0.5, 0, 0, 1), *UIColor::colorWithRed(0.51, 0, 0, 1)));
    EXPECT_FALSE(isEqualToColor(*UIColor::colorWithPatternImage(nullptr), *UIColor::blackColor()));
    auto color = flatRedColor();
    EXPECT_EQ(colorCount(*color), 0u);
    setColorCount(*color, 3);
    EXPECT_EQ(colorCount(*color), 3u);
}

TEST(FlatConversions, XYZAndLabAtTheirReferencePoints) {
    auto black = arrayOfLABValuesForX(0, 0, 0, 1);
    EXPECT_NEAR(black[0], 0, 1e-12);
    EXPECT_NEAR(black[1], 0, 1e-12);
    EXPECT_NEAR(black[2], 0, 1e-12);
    auto white = arrayOfLABValuesForX(95.05, 100, 108.9, 0.5);
    EXPECT_NEAR(white[0], 100, 1e-9);
    EXPECT_NEAR(white[1], 0, 1e-9);
    EXPECT_NEAR(white[2], 0, 1e-9);
    EXPECT_EQ(white[3], 0.5);
    auto xyz = arrayOfXYZValuesForR(1, 1, 1, 1);
    EXPECT_NEAR(xyz[0], 95.05, 1e-9);
    EXPECT_NEAR(xyz[1], 100, 1e-9);
    double x, y, z, alpha, l, a, b;
    ASSERT_TRUE(getValueForX(*UIColor::colorWithRed(1, 0, 0, 0.5), &x, &y, &z, &alpha));
    EXPECT_NEAR(x, 41.24, 1e-4);
    EXPECT_EQ(alpha, 0.5);
    ASSERT_TRUE(getLightness(*UIColor::colorWithRed(1, 0, 0, 1), &l, &a, &b, nullptr));
    EXPECT_NEAR(l, 53.24, 0.01);
    EXPECT_NEAR(a, 80.09, 0.05);  // the four-digit matrix and white move a* and b* a little
    EXPECT_NEAR(b, 67.20, 0.05);
    EXPECT_EQ(l, double(float(l))) << "held to single precision";
    EXPECT_FALSE(getLightness(*UIColor::colorWithPatternImage(nullptr), &l, &a, &b, &alpha));
}
