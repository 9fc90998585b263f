// Value texts: name colours, initials, colour spaces, images by address, dates, hashtags,
// shortened names, clock texts and four-character codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "foundation/string_custom_values.h"
#include "platform/image/ci_image.h"
#include "platform/image/color_space.h"
#include "platform/text/date_formatter.h"
#include "platform/ui/draw/color.h"

TEST(ValueTexts, NameColoursAreStablePaletteEntries) {
    EXPECT_EQ(nameColorIndex(""), 11u);
    EXPECT_EQ(nameColorIndex("abc"), 3u);
    EXPECT_EQ(nameColorIndex("A"), 8u);
    CGFloat r = 0, g = 0, b = 0, a = 0;
    ASSERT_TRUE(color("")->getRed(&r, &g, &b, &a));
    EXPECT_DOUBLE_EQ(r, 221 / 255.0);
    EXPECT_DOUBLE_EQ(g, 44 / 255.0);
    EXPECT_DOUBLE_EQ(b, 0.0);
    EXPECT_DOUBLE_EQ(a, 1.0);
    EXPECT_TRUE(color("Jüri Mäkinen 😀")->isEqual(*color("Jüri Mäkinen 😀")));
    std::string longName(100000, 'x');  // the hash wraps instead of overflowing
    EXPECT_LT(nameColorIndex(longName), 30u);
}

TEST(ValueTexts, InitialsFromTokens) {
    EXPECT_EQ(initial("Alpha Beta Gamma"), "AG");
    EXPECT_EQ(initial("alpha, beta"), "ab");
    EXPECT_EQ(initial("Solo"), "S");
    EXPECT_EQ(initial("Éva"), "É");
    EXPECT_EQ(initial("!!"), "");
    EXPECT_EQ(initial(""), "");
}

TEST(ValueTexts, ColourSpacesByName) {
    EXPECT_EQ(colorspace("Default"), nullptr);
    EXPECT_EQ(colorspace("no such space"), nullptr);
    EXPECT_EQ(colorspace(kCGColorSpaceNULL), nullptr);
    auto srgb = colorspace(kCGColorSpaceSRGB);
    ASSERT_NE(srgb, nullptr);
    EXPECT_EQ(srgb->name(), kCGColorSpaceSRGB);
}

TEST(ValueTexts, ImagesLoadFromFileAddresses) {
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7B, 0x40, 0xE8, 0xDD, 0x00, 0x00, 0x00,
        0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0x00, 0x04, 0xFF, 0x01, 0x07, 0x00, 0x01, 0xFF,
        0xE2, 0x23, 0x9E, 0x59, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    auto dir = std::filesystem::temp_directory_path() / ("korva-ciimage-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto good = dir / "two.png", bad = dir / "bad.png";
    std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(png), sizeof png);
    std::ofstream(bad, std::ios::binary) << "not an image";
    auto image = ciimage("file://" + good.string());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->extent(), CGRectMake(0, 0, 2, 1));
    EXPECT_EQ(ciimage("file://" + bad.string()), nullptr);
    EXPECT_EQ(ciimage("file://" + (dir / "missing.png").string()), nullptr);
    EXPECT_EQ(ciimage(""), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(ValueTexts, DatesOfTheDayForm) {
    auto date = toDate("2024-02-29");
    ASSERT_TRUE(date);
    NSDateFormatter check;
    check.setDateFormat("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(check.stringFromDate(*date), "2024-02-29 00:00:00");  // midnight in the device's zone
    for (const char* bad : {"", "2023-02-29", "29.02.2024", "2024-02-29 10:00", "today"})
        EXPECT_FALSE(toDate(bad)) << bad;
}

TEST(ValueTexts, HashtagsAndShortNames) {
    EXPECT_EQ(tags("a #b #c# # #"), (std::vector<std::string>{"b", "c#"}));
    EXPECT_EQ(tags("#é\n#😀\t#x"), (std::vector<std::string>{"é", "😀", "x"}));
    EXPECT_TRUE(tags("").empty());
    std::string thirty(30, 'n');
    EXPECT_EQ(userNameShort(thirty), thirty);
    EXPECT_EQ(userNameShort(thirty + "n"), std::string(27, 'n') + "...");
    // Counted in UTF-16 units, and a surrogate pair is never cut in half.
    std::string emoji;
    for (int i = 0; i < 16; ++i) emoji += "😀";
    EXPECT_EQ(userNameShort(emoji), "😀😀😀😀😀😀😀😀😀😀😀😀😀...");
    EXPECT_EQ(userNameShort(""), "");
}

TEST(ValueTexts, ClockTexts) {
    EXPECT_EQ(stringElapsedFromSecond(59), "00:59");
    EXPECT_EQ(stringElapsedFromSecond(3599), "59:59");
    EXPECT_EQ(stringElapsedFromSecond(3600), "1:00:00");
    EXPECT_EQ(stringElapsedFromSecond(7325), "2:02:05");
    EXPECT_EQ(stringRemainedFromSecond(5), "- 00:05");
    EXPECT_EQ(stringRemainedFromSecond(-5), "- 00:00");
    EXPECT_EQ(stringElapsedFromSecond(std::numeric_limits<std::int32_t>::min()), "00:00");
    EXPECT_EQ(stringElapsedFromSecond(std::numeric_limits<std::int32_t>::max()), "596523:14:07");
    EXPECT_EQ(fromSec(65.5f), "01:05.50");
    EXPECT_EQ(fromSec(0), "00:00.00");
    EXPECT_EQ(fromSec(std::numeric_limits<float>::quiet_NaN()), "00:00.00");
    EXPECT_FALSE(fromSec(std::numeric_limits<float>::infinity()).empty());
    EXPECT_FLOAT_EQ(toSec("01:05.50"), 65.5f);
    EXPECT_FLOAT_EQ(toSec("2:03"), 123);
    EXPECT_FLOAT_EQ(toSec("12.5"), 12.5f);
    EXPECT_FLOAT_EQ(toSec("at :30 now"), 30);
    EXPECT_FLOAT_EQ(toSec(""), 0);
    EXPECT_FLOAT_EQ(toSec("x"), 0);
    EXPECT_GT(toSec("99999999999999:00"), 0);  // saturates instead of overflowing
    for (float s : {0.0f, 1.25f, 59.99f, 61.5f, 3599.75f, 5999.5f}) EXPECT_NEAR(toSec(fromSec(s)), s, 0.0101f) << s;
}

TEST(ValueTexts, FourCharacterCodes) {
    EXPECT_EQ(stringFromFourCharCode(0x61766331), "'avc1'");
    EXPECT_EQ(stringFromFourCharCode(0x20202020), "'    '");
    EXPECT_EQ(stringFromFourCharCode(0x61766300), "");
    EXPECT_EQ(stringFromFourCharCode(0xFF766331), "");
}
