#include <gtest/gtest.h>

#include <algorithm>

#include "platform/runtime/random.h"
#include "platform/ui/draw/image.h"
#include "widgets/flat/flat_contrast.h"
#include "widgets/flat/flat_conversions.h"
#include "widgets/flat/flat_gradient.h"
#include "widgets/flat/flat_hex.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/flat/flat_random.h"
#include "widgets_test_support.h"

namespace {
std::size_t paletteIndexOf(const std::shared_ptr<UIColor>& color) {
    auto all = flatColors();
    auto it = std::find_if(all.begin(), all.end(), [&](const auto& c) { return c->isEqual(*color); });
    return static_cast<std::size_t>(it - all.begin());
}

// A source whose draws bounded by `bound` give the results listed, in turn.
// Raw draws one whole cycle above the results, so the bounded draw keeps them.
ScopedRandomSource::Source scripted(std::vector<std::uint32_t> results, std::uint32_t bound) {
    auto next = std::make_shared<std::size_t>(0);
    return [results, next, bound] { return bound + results[(*next)++ % results.size()]; };
}
}  // namespace

TEST(FlatHex, StringsOfThreeOrSixDigitsWithOrWithoutTheHash) {
    auto white = rgbaOf(colorWithHexString("#FFFFFF"));
    EXPECT_EQ(white, (std::array<CGFloat, 4>{1, 1, 1, 1}));
    EXPECT_EQ(rgbaOf(colorWithHexString("FFF")), white);
    EXPECT_EQ(rgbaOf(colorWithHexString("#FFF")), white);
    EXPECT_EQ(bytesOf(colorWithHexString("#ABC")), (std::array<int, 3>{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(rgbaOf(colorWithHexString("#abc", 0.5))[3], 0.5);
    EXPECT_EQ(rgbaOf(colorWithHexString("#336699"))[1], double(0x66 / 255.0f));
    for (const char* bad : {"", "#12345", "12345", " #FFF", "#FFFF", "#", "#FFFFFFF"})
        EXPECT_EQ(colorWithHexString(bad), nullptr) << '"' << bad << '"';
    // Pairs read as far as their digits go.
    EXPECT_EQ(rgbaOf(colorWithHexString("#GG0000"))[0], 0.0);
    EXPECT_EQ(bytesOf(colorWithHexString("#1G2H3Z")), (std::array<int, 3>{1, 2, 3}));
    // A character beyond ASCII counts once and is no digit.
    EXPECT_EQ(bytesOf(colorWithHexString("#\xC3\xA9"
                                         "12")),
              (std::array<int, 3>{0, 0x11, 0x22}));
    EXPECT_EQ(hexValueToUnsigned("0x1F"), 0x1Fu);
    EXPECT_EQ(hexValueToUnsigned("  ff"), 0xFFu);
    EXPECT_EQ(hexValueToUnsigned("zz"), 0u);
    EXPECT_EQ(hexValueToUnsigned("123456789ABC"), 0xFFFFFFFFu);
}

TEST(FlatHex, HexValueTruncatesAndKnowsOnlyGreyAndRGB) {
    EXPECT_EQ(hexValue(*UIColor::colorWithRed(0.5, 0.5, 0.5, 1)), "#7F7F7F");
    EXPECT_EQ(hexValue(*UIColor::colorWithWhite(1, 1)), "#FFFFFF");
    EXPECT_EQ(hexValue(*UIColor::colorWithWhite(0, 0.2)), "#000000");
    EXPECT_EQ(hexValue(*flatRedColor()), "#E84D3C") << "77.9 is truncated, not rounded";
    EXPECT_EQ(hexValue(*UIColor::colorWithPatternImage(nullptr)), "#FFFFFF") << "another colour model";
    EXPECT_EQ(hexValue(*UIColor::colorWithRed(-0.5, 1.5, 0.25, 1)), "#00FF3F");
    EXPECT_EQ(hexValue(*colorWithHexString("#A1B2C3")), "#A1B2C3");
}

using FlatRandom = SandboxedTest;

TEST_F(FlatRandom, APaletteIndexIsNotDrawnTwiceInARowUnlessItIsZero) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    {
        ScopedRandomSource source(scripted({5, 5, 5, 7}, 48));
        EXPECT_EQ(paletteIndexOf(randomFlatColor()), 5u) << "an absent key blocks nothing";
        EXPECT_EQ(defaults->integerForKey(kPreviousRandomNumberKey), 5);
        EXPECT_EQ(paletteIndexOf(randomFlatColor()), 7u) << "5 twice is drawn again";
    }
    {
        ScopedRandomSource source(scripted({0}, 48));
        EXPECT_EQ(paletteIndexOf(randomFlatColor()), 0u);
        EXPECT_EQ(paletteIndexOf(randomFlatColor()), 0u) << "a remembered 0 may repeat";
    }
    // The light/dark draw shares the key: list index 5 is blocked after a stored 5.
    defaults->setInteger(5, kPreviousRandomNumberKey);
    {
        ScopedRandomSource source(scripted({5, 3}, 24));
        auto dark = colorWithRandomFlatColorOfShadeStyle(UIShadeStyle::Dark, 0.5);
        EXPECT_TRUE(sameColor(dark, darkFlatColors()[3]->colorWithAlphaComponent(0.5)));
        EXPECT_EQ(defaults->integerForKey(kPreviousRandomNumberKey), 3);
        auto light = colorWithRandomFlatColorOfShadeStyle(static_cast<UIShadeStyle>(7));
        EXPECT_TRUE(sameColor(light, lightFlatColors()[5]));
    }
    // Over many seeded draws no index follows itself, except 0.
    ScopedRandomSource seeded(7u);
    std::size_t previous = paletteIndexOf(randomFlatColor());
    for (int i = 0; i < 60; ++i) {
        std::size_t index = paletteIndexOf(randomFlatColor());
        ASSERT_LT(index, kFlatColorCount);
        if (previous != 0) {
            ASSERT_NE(index, previous);
        }
        previous = index;
    }
}

TEST_F(FlatRandom, StrangeStoredIndicesNeverLeaveThePalette) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    ScopedRandomSource seeded(3u);
    for (Value stored : {Value("text"), Value(-4LL), Value(1000LL), Value(2.5)}) {
        defaults->setObject(stored, kPreviousRandomNumberKey);
        EXPECT_LT(paletteIndexOf(randomFlatColor()), kFlatColorCount);
        defaults->setObject(stored, kPreviousRandomNumberKey);
        EXPECT_NE(colorWithRandomFlatColorOfShadeStyle(UIShadeStyle::Dark), nullptr);
    }
}

TEST_F(FlatRandom, ExclusionsAndArrays) {
    ScopedRandomSource seeded(11u);
    auto all = flatColors();
    std::vector<std::shared_ptr<UIColor>> allButOne(all.begin(), all.end());
    auto kept = allButOne[17];
    allButOne.erase(allButOne.begin() + 17);
    EXPECT_TRUE(sameColor(colorWithRandomFlatColorExcludingColorsInArray(allButOne), kept));

    // Everything excluded: none at once, with no draw and no key written.
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->removeObjectForKey(kPreviousRandomNumberKey);
    int draws = 0;
    ScopedRandomSource counting([&] {
        ++draws;
        return 1u;
    });
    EXPECT_EQ(colorWithRandomFlatColorExcludingColorsInArray(all), nullptr);
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(defaults->objectForKey(kPreviousRandomNumberKey).isNull());

    EXPECT_EQ(colorWithRandomColorInArray({}), nullptr);
    std::vector<std::shared_ptr<UIColor>> three = {flatRedColor(), flatBlueColor(), flatMintColor()};
    EXPECT_TRUE(sameColor(colorWithRandomColorInArray(three), flatBlueColor())) << "1 % 3";
}

TEST(FlatGradient, TheLastGradientDecidesWhatAPatternColourStandsFor) {
    setGradientImage(nullptr);
    auto pattern = UIColor::colorWithPatternImage(nullptr);
    EXPECT_EQ(rgbaOf(resolvingPatternColor(pattern)), (std::array<CGFloat, 4>{0, 0, 0, 1})) << "no gradient yet";

    auto dark = colorWithGradientStyle(UIGradientStyle::TopToBottom, {{40, 40}, {20, 30}},
                                       {flatNavyBlueColor(), flatNavyBlueColorDark()});
    ASSERT_TRUE(dark && dark->cgColor().isPattern());
    ASSERT_TRUE(gradientImage());
    EXPECT_EQ(gradientImage()->size().width, 20);
    EXPECT_EQ(gradientImage()->size().height, 30);
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(dark, true), flatWhiteColor()));

    auto light =
        colorWithGradientStyle(UIGradientStyle::LeftToRight, {{0, 0}, {16, 16}}, {flatYellowColor(), flatWhiteColor()});
    EXPECT_TRUE(sameColor(colorWithContrastingBlackOrWhiteColorOn(dark, true), flatBlackColorDark()))
        << "the first pattern now resolves through the second gradient";
    auto resolved = rgbaOf(resolvingPatternColor(dark));
    EXPECT_GT(resolved[0], 0.8);
    EXPECT_EQ(resolved[3], 1.0);

    auto radial = colorWithGradientStyle(UIGradientStyle::Radial, {{0, 0}, {10, 10}},
                                         {UIColor::whiteColor(), UIColor::blackColor(), UIColor::redColor()});
    EXPECT_TRUE(radial && radial->cgColor().isPattern()) << "more than two colours are spread evenly";
    EXPECT_EQ(colorWithGradientStyle(UIGradientStyle::LeftToRight, {{0, 0}, {0, 10}}, {flatRedColor()}), nullptr);
    setGradientImage(nullptr);
}

TEST(FlatComplement, OppositeHueSnappedToThePalette) {
    EXPECT_TRUE(sameColor(colorWithComplementaryFlatColorOf(UIColor::colorWithRed(1, 0, 0, 0)), UIColor::clearColor()));
    EXPECT_TRUE(sameColor(colorWithComplementaryFlatColorOf(nullptr), UIColor::clearColor()));
    // Red's opposite is cyan; the nearest palette colour to a full cyan is the mint.
    auto opposite = colorWithComplementaryFlatColorOf(UIColor::colorWithRed(1, 0, 0, 1), 0.5);
    EXPECT_EQ(bytesOf(opposite), bytesOf(flatMintColor()));
    EXPECT_EQ(rgbaOf(opposite)[3], 0.5);
    // Hue 180 turns to 360, the same hue as red.
    auto fromCyan = colorWithComplementaryFlatColorOf(UIColor::colorWithHue(0.5, 1, 1, 1));
    auto fromRed = colorWithFlatVersionOf(UIColor::colorWithHue(0, 1, 1, 1));
    EXPECT_EQ(bytesOf(fromCyan), bytesOf(fromRed));
}
