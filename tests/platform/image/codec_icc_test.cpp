// Colour spaces: profiles by name, and conversions checked against published colour values.
#include <gtest/gtest.h>

#include <thread>

#include "platform/image/codec/icc.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

std::array<std::uint8_t, 4> convert8(const char* from, const char* to, std::array<std::uint8_t, 4> rgba) {
    auto conversion = colorConversion(from, to);
    EXPECT_TRUE(conversion) << from << " -> " << to;
    if (conversion) conversion->convert(rgba.data(), 1, AlphaMode::Straight);
    return rgba;
}

}  // namespace

TEST(CodecIcc, ProfilesExistForTheNamedSpacesOnly) {
    for (const char* name : {"kCGColorSpaceSRGB", "kCGColorSpaceLinearSRGB", "kCGColorSpaceDisplayP3",
                             "kCGColorSpaceAdobeRGB1998", "kCGColorSpaceGenericGrayGamma2_2", "kCGColorSpaceROMMRGB",
                             "kCGColorSpaceACESCGLinear", "kCGColorSpaceITUR_2020", "kCGColorSpaceGenericRGB"}) {
        auto profile = iccProfileForColorSpace(name);
        ASSERT_TRUE(profile) << name;
        EXPECT_TRUE(iccProfileDescription(*profile).has_value()) << name;
        EXPECT_EQ(std::string(profile->begin() + 36, profile->begin() + 40), "acsp") << name;
    }
    EXPECT_EQ(iccProfileDescription(*iccProfileForColorSpace("kCGColorSpaceDisplayP3")), "Display P3");
    EXPECT_FALSE(iccProfileForColorSpace("kCGColorSpaceNULL"));
    EXPECT_FALSE(iccProfileForColorSpace("no such space"));
    EXPECT_FALSE(colorConversion("kCGColorSpaceSRGB", "kCGColorSpaceNULL"));
    EXPECT_FALSE(iccProfileDescription(Bytes{1, 2, 3}));
    EXPECT_FALSE(colorConversionFromProfile(Bytes(200, 7), "kCGColorSpaceSRGB"));
    EXPECT_TRUE(colorConversion("kCGColorSpaceSRGB", "kCGColorSpaceSRGB")->isIdentity());
}

TEST(CodecIcc, ConversionsMatchPublishedValues) {
    // sRGB red in Display P3 is (0.9175, 0.2003, 0.1387).
    auto red = convert8("kCGColorSpaceSRGB", "kCGColorSpaceDisplayP3", {255, 0, 0, 255});
    EXPECT_NEAR(red[0], 234, 2);
    EXPECT_NEAR(red[1], 51, 2);
    EXPECT_NEAR(red[2], 35, 2);
    // sRGB green in Adobe RGB (1998) is (0.5649, 1.0, 0.2344).
    auto green = convert8("kCGColorSpaceSRGB", "kCGColorSpaceAdobeRGB1998", {0, 255, 0, 255});
    EXPECT_NEAR(green[0], 144, 2);
    EXPECT_NEAR(green[1], 255, 1);
    EXPECT_NEAR(green[2], 60, 2);
    // The sRGB curve: 0.5 encoded is 0.2140 linear.
    float half[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    colorConversion("kCGColorSpaceSRGB", "kCGColorSpaceLinearSRGB")->convert(half, 1, AlphaMode::Straight);
    EXPECT_NEAR(half[0], 0.2140f, 2e-3f);
    EXPECT_EQ(half[3], 1.0f);
    // Grey destinations put the grey value in all three channels; white stays white.
    auto grey = convert8("kCGColorSpaceSRGB", "kCGColorSpaceGenericGrayGamma2_2", {255, 255, 255, 77});
    EXPECT_EQ(grey, (std::array<std::uint8_t, 4>{255, 255, 255, 77}));
    auto mid = convert8("kCGColorSpaceSRGB", "kCGColorSpaceGenericGrayGamma2_2", {10, 200, 30, 255});
    EXPECT_EQ(mid[0], mid[1]);
    EXPECT_EQ(mid[1], mid[2]);
    EXPECT_GT(mid[0], 120);  // green carries most of the luminance
}

TEST(CodecIcc, RoundTripsThroughAWiderSpaceStayClose) {
    auto there = colorConversion("kCGColorSpaceSRGB", "kCGColorSpaceDisplayP3");
    auto back = colorConversion("kCGColorSpaceDisplayP3", "kCGColorSpaceSRGB");
    ASSERT_TRUE(there && back);
    RasterRGBA8 grid = makeRaster(16 * 16, 16);
    for (int b = 0; b < 16; ++b)
        for (int g = 0; g < 16; ++g)
            for (int r = 0; r < 16; ++r) {
                std::uint8_t* p = grid.pixels.data() + ((std::size_t(b) * 16 + g) * 16 + r) * 4;
                p[0] = std::uint8_t(r * 17), p[1] = std::uint8_t(g * 17), p[2] = std::uint8_t(b * 17),
                p[3] = std::uint8_t(r * 16);
            }
    RasterRGBA8 trip = grid;
    there->convert(trip);
    EXPECT_NE(trip.pixels, grid.pixels);
    back->convert(trip);
    // Eight bits in the wider space cannot hold every sRGB colour: near a zero channel the sRGB
    // curve is steep, so one step there is several here. Most colours come back exactly.
    const ErrorStats stats = compareRGB(grid, trip);
    EXPECT_LE(stats.maxError, 8);
    EXPECT_GE(stats.psnr, 45.0);
    for (std::size_t i = 3; i < grid.pixels.size(); i += 4) ASSERT_EQ(trip.pixels[i], grid.pixels[i]);

    std::vector<float> floats;
    for (int i = 0; i < 64; ++i) floats.insert(floats.end(), {i / 63.0f, 1.0f - i / 63.0f, (i % 7) / 6.0f, 1.0f});
    std::vector<float> original = floats;
    there->convert(floats.data(), 64, AlphaMode::Straight);
    back->convert(floats.data(), 64, AlphaMode::Straight);
    for (std::size_t i = 0; i < floats.size(); ++i) ASSERT_NEAR(floats[i], original[i], 2e-3f) << i;
}

TEST(CodecIcc, PremultipliedPixelsConvertTheirColourNotTheirCoverage) {
    auto conversion = colorConversion("kCGColorSpaceSRGB", "kCGColorSpaceDisplayP3");
    std::array<std::uint8_t, 4> straight{255, 0, 0, 255};
    conversion->convert(straight.data(), 1, AlphaMode::Straight);
    std::array<std::uint8_t, 4> premultiplied{128, 0, 0, 128};  // the same red at half coverage
    conversion->convert(premultiplied.data(), 1, AlphaMode::Premultiplied);
    EXPECT_EQ(premultiplied[3], 128);
    EXPECT_NEAR(premultiplied[0], straight[0] / 2, 2);
    EXPECT_NEAR(premultiplied[1], straight[1] / 2, 2);
    std::array<std::uint8_t, 4> clear{0, 0, 0, 0};
    conversion->convert(clear.data(), 1, AlphaMode::Premultiplied);
    EXPECT_EQ(clear, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(CodecIcc, ConversionsAreSharedSafelyBetweenThreads) {
    auto conversion = colorConversion("kCGColorSpaceAdobeRGB1998", "kCGColorSpaceSRGB");
    RasterRGBA8 reference = photoLike(64, 64);
    conversion->convert(reference);
    std::vector<RasterRGBA8> results(4, photoLike(64, 64));
    std::vector<std::thread> threads;
    for (auto& raster : results)
        threads.emplace_back(
            [&] { colorConversion("kCGColorSpaceAdobeRGB1998", "kCGColorSpaceSRGB")->convert(raster); });
    for (auto& t : threads) t.join();
    for (const auto& raster : results) EXPECT_EQ(raster.pixels, reference.pixels);
}
