#include <gtest/gtest.h>

#include <functional>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "widgets/flat/flat_conversions.h"
#include "widgets/flat/flat_hex.h"
#include "widgets/flat/flat_image_colors.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/flat/flat_schemes.h"
#include "widgets_test_support.h"

using namespace NSArrayFlatKit;

namespace {
// An image of `size` pixels painted by `paint` in a scale-1 image context.
std::shared_ptr<UIImage> paintedImage(CGSize size, const std::function<void(CGContext&)>& paint) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    paint(*UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

std::shared_ptr<UIImage> solid(CGSize size, const std::shared_ptr<UIColor>& color) {
    return paintedImage(size, [&](CGContext& c) {
        c.setFillColorWithColor(color->cgColor());
        c.fillRect({{0, 0}, size});
    });
}

double hueDegrees(const std::shared_ptr<UIColor>& c) {
    return hsbaOf(c)[0] * 360;
}

// Bitmaps store eight bits a channel: a colour comes back within one step.
void expectBytesNear(const std::shared_ptr<UIColor>& actual, const std::shared_ptr<UIColor>& expected) {
    auto a = bytesOf(actual), e = bytesOf(expected);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], e[i], 1) << "channel " << i;
}
}  // namespace

TEST(FlatSchemes, HueSumsReflectBelowZeroAndWrapAbove) {
    EXPECT_EQ(add(-32, 10), 22);
    EXPECT_EQ(add(32, 350), 22);
    EXPECT_EQ(add(180, 180), 360);
    EXPECT_EQ(add(-16, 0), 16);
    auto analogous = analogousColorSchemeFromHue(10, 60, 70, false);
    ASSERT_EQ(analogous.size(), 5u);
    EXPECT_NEAR(hueDegrees(analogous[0]), 22, 1e-3) << "reflected, not 338";
    EXPECT_NEAR(hueDegrees(analogous[4]), 42, 1e-3);
    EXPECT_NEAR(hsbaOf(analogous[1])[2], 0.79, 1e-9);
}

TEST(FlatSchemes, TheInputIsTheMiddleElementWithoutItsAlpha) {
    auto input = UIColor::colorWithHue(0.25, 0.5, 0.6, 0.3);
    for (auto scheme : {ColorScheme::Analogous, ColorScheme::Triadic, ColorScheme::Complementary}) {
        auto colors = arrayOfColorsWithColorScheme(scheme, input, false);
        ASSERT_EQ(colors.size(), 5u);
        auto middle = hsbaOf(colors[2]);
        EXPECT_NEAR(middle[0], 0.25, 1e-12);
        EXPECT_NEAR(middle[1], 0.5, 1e-12);
        EXPECT_NEAR(middle[2], 0.6, 1e-12);
        EXPECT_EQ(middle[3], 1.0);
    }
    auto complementary = complementaryColorSchemeFromHue(90, 50, 60, false);
    EXPECT_NEAR(hueDegrees(complementary[3]), 270, 1e-3);
    auto triadic = triadicColorSchemeFromHue(90, 60, 60, false);
    EXPECT_NEAR(hueDegrees(triadic[0]), 210, 1e-3);
    EXPECT_NEAR(hsbaOf(triadic[0])[1], 0.7, 1e-9);
    EXPECT_NEAR(hueDegrees(triadic[4]), 330, 1e-3);
    EXPECT_EQ(arrayOfColorsWithColorScheme(static_cast<ColorScheme>(9), input, false).size(), 5u);
    EXPECT_EQ(arrayOfColorsWithColorScheme(ColorScheme::Triadic, UIColor::colorWithPatternImage(nullptr), true).size(),
              5u);
}

TEST(FlatSchemes, FlatSchemesArePaletteColoursWithNeighboursPushedApart) {
    auto isPalette = [](const std::shared_ptr<UIColor>& c) {
        auto all = flatColors();
        return std::any_of(all.begin(), all.end(), [&](const auto& p) { return rgbaOf(p) == rgbaOf(c); });
    };
    auto scheme = analogousColorSchemeFromHue(200, 60, 70, true);
    for (const auto& c : scheme) EXPECT_TRUE(isPalette(c));
    // A grey input snaps every element onto the dark grey. The analogous repairs move elements to
    // hues that snap back onto it, until the fourth rule darkens hue 96 (-96 reflected) unsnapped.
    auto hexes = [](const std::vector<std::shared_ptr<UIColor>>& colors) {
        std::vector<std::string> out;
        for (const auto& c : colors) out.push_back(hexValue(*c));
        return out;
    };
    EXPECT_EQ(hexes(analogousColorSchemeFromHue(0, 0, 50, true)),
              (std::vector<std::string>{"#545652", "#7E8B8C", "#7E8B8C", "#7E8B8C", "#7E8B8C"}));
    // The triadic repairs darken and snap again, once per rule: equal colours may remain.
    EXPECT_EQ(hexes(triadicColorSchemeFromHue(0, 0, 50, true)),
              (std::vector<std::string>{"#262626", "#33495E", "#7E8B8C", "#33495E", "#2B2B2B"}));
}

TEST(FlatImageColors, PixelsAreReadWithinTheImageOnly) {
    auto image = paintedImage({4, 3}, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1, 1));
        c.fillRect({{0, 0}, {4, 3}});
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0, 1));
        c.fillRect({{3, 2}, {1, 1}});
    });
    EXPECT_EQ(bytesOf(colorFromImage(image, {0, 0})), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(bytesOf(colorFromImage(image, {3, 2})), (std::array<int, 3>{255, 0, 0})) << "bottom-right";
    for (CGPoint outside : {CGPoint{4, 0}, CGPoint{0, 3}, CGPoint{-1, 0}, CGPoint{3.9, 2.5}, CGPoint{NAN, 0}})
        EXPECT_EQ(colorFromImage(image, outside), nullptr) << outside.x << ", " << outside.y;
    auto empty = make<UIImage>(std::shared_ptr<CGImage>(), 1.0, UIImageOrientation::Up);
    EXPECT_EQ(colorFromImage(empty, {0, 0}), nullptr);
    EXPECT_EQ(colorFromImage(nullptr, {0, 0}), nullptr);
    EXPECT_EQ(colorWithAverageColorFromImage(empty), nullptr);
    EXPECT_EQ(imageWithImage(image, {0, 0}), nullptr);
}

TEST(FlatImageColors, AveragesAndMinimumSaturation) {
    auto red = solid({10, 10}, flatRedColor());
    expectBytesNear(colorWithAverageColorFromImage(red), flatRedColor());
    auto clear = paintedImage({10, 10}, [](CGContext&) {});
    EXPECT_EQ(rgbaOf(colorWithAverageColorFromImage(clear, 1.0)), (std::array<CGFloat, 4>{0, 0, 0, 0}));
    auto halves = paintedImage({10, 10}, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0, 1));
        c.fillRect({{0, 0}, {5, 10}});
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1, 1));
        c.fillRect({{5, 0}, {5, 10}});
    });
    auto mixed = bytesOf(colorWithAverageColorFromImage(halves));
    EXPECT_NEAR(mixed[0], 128, 3);
    EXPECT_NEAR(mixed[2], 128, 3);

    auto saturated = flatBlueColor();
    EXPECT_EQ(colorWithMinimumSaturation(saturated, 0.15).get(), saturated.get()) << "the very receiver";
    auto raised = hsbaOf(colorWithMinimumSaturation(UIColor::colorWithRed(0.5, 0.5, 0.5, 0.7), 0.15));
    EXPECT_NEAR(raised[1], 0.15, 1e-12);
    EXPECT_EQ(raised[0], 0.0);
    EXPECT_EQ(raised[3], 0.7);
}

TEST(FlatImageColors, DistinctnessIgnoresPairsOfNearGreys) {
    auto red = UIColor::colorWithRed(1, 0, 0, 1);
    EXPECT_FALSE(isDistinct(red, UIColor::colorWithRed(0.8, 0.2, 0.2, 0.8)));
    EXPECT_FALSE(isDistinct(UIColor::blackColor(), UIColor::whiteColor()));
    EXPECT_TRUE(isDistinct(red, UIColor::colorWithRed(0, 1, 0, 1)));
    EXPECT_TRUE(isDistinct(UIColor::whiteColor(), red)) << "only one of them is grey";
    EXPECT_FALSE(isDistinct(red, nullptr));
}

TEST(FlatImageColors, TheMostFrequentDistinctColoursComeFirstThenWhites) {
    auto one = arrayOfColorsFromImage(solid({32, 32}, flatRedColor()), false);
    ASSERT_EQ(one.size(), 5u);
    expectBytesNear(one[0], flatRedColor());
    for (int i = 1; i < 5; ++i) EXPECT_TRUE(sameColor(one[i], UIColor::whiteColor()));
    auto flat = arrayOfColorsFromImage(solid({32, 32}, UIColor::colorWithRed(0.9, 0.3, 0.25, 1)), true);
    EXPECT_EQ(rgbaOf(flat[0]), rgbaOf(flatRedColor()));

    auto greyish = arrayOfColorsFromImage(solid({16, 16}, UIColor::colorWithWhite(0.5, 1)), false);
    auto raised = hsbaOf(greyish[0]);
    EXPECT_EQ(raised[1], double(0.15f)) << "the grey comes back with its saturation raised";
    EXPECT_EQ(raised[0], 0.0);
    auto none = arrayOfColorsFromImage(nullptr, true);
    ASSERT_EQ(none.size(), 5u);
    EXPECT_TRUE(sameColor(none[4], UIColor::whiteColor()));

    // Top half red, bottom left blue, bottom right green (and a sliver of a red-like colour).
    auto blocks = paintedImage({64, 64}, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0, 1));
        c.fillRect({{0, 0}, {64, 32}});
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1, 1));
        c.fillRect({{0, 32}, {32, 32}});
        c.setFillColorWithColor(CGColor::rgb(0, 1, 0, 1));
        c.fillRect({{32, 32}, {32, 32}});
        c.setFillColorWithColor(CGColor::rgb(0.9, 0.05, 0.05, 1));
        c.fillRect({{0, 0}, {1, 1}});
    });
    CountedColorSet counted;
    auto three = findColorsOfImage(3, blocks, &counted);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(bytesOf(three[0]), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(bytesOf(three[1]), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(bytesOf(three[2]), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(counted.size(), 4u);
    EXPECT_EQ(findColorsOfImage(2, blocks).size(), 2u);
    EXPECT_TRUE(findColorsOfImage(0, blocks).empty());
    auto fromSmall = arrayOfColorsFromImage(blocks, false);
    EXPECT_EQ(bytesOf(fromSmall[0]), (std::array<int, 3>{255, 0, 0}));
    EXPECT_TRUE(sameColor(fromSmall[3], UIColor::whiteColor()));
}

TEST(FlatImageColors, CountedColoursOrderHighestFirst) {
    auto many = FlatKitCountedColor::make(flatRedColor(), 5);
    auto few = FlatKitCountedColor::make(flatBlueColor(), 2);
    EXPECT_EQ(many->compare(*few), -1);
    EXPECT_EQ(few->compare(*many), 1);
    EXPECT_EQ(many->compare(*FlatKitCountedColor::make(nullptr, 5)), 0);
    EXPECT_EQ(few->compare(*flatRedColor()), -1) << "anything else sorts after";
}

TEST(FlatImageColors, ALargeImageIsSampledFromOneDrawing) {
    auto large = paintedImage({1000, 1000}, [](CGContext& c) {
        for (int band = 0; band < 10; ++band) {
            c.setFillColorWithColor(CGColor::rgb(band / 10.0, 0.2, 1 - band / 10.0, 1));
            c.fillRect({{0, band * 100.0}, {1000, 100}});
        }
    });
    CountedColorSet counted;
    auto colors = findColorsOfImage(5, large, &counted);
    EXPECT_EQ(counted.size(), 10u);
    EXPECT_FALSE(colors.empty());
    EXPECT_LE(colors.size(), 5u);
}
