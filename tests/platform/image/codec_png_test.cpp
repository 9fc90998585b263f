// PNG codec: exact round trips, every stored layout read as RGBA8, profiles and size limits.
#include <gtest/gtest.h>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/png.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

}  // namespace

TEST(CodecPng, RoundTripIsExactAndKeepsAlpha) {
    RasterRGBA8 source = photoLike(70, 33);
    for (std::size_t i = 0; i < source.pixels.size(); i += 4) source.pixels[i + 3] = std::uint8_t(i * 7);
    auto data = encodePng(source);
    ASSERT_TRUE(data) << data.error();
    EXPECT_EQ(detectImageFormat(*data), ImageFormat::PNG);
    auto decoded = decodePng(*data);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->raster.width, 70);
    EXPECT_EQ(decoded->raster.height, 33);
    EXPECT_EQ(decoded->raster.alpha, AlphaMode::Straight);
    EXPECT_EQ(decoded->raster.pixels, source.pixels);
    EXPECT_TRUE(decoded->info.hasAlpha);
}

TEST(CodecPng, PremultipliedRastersAreStoredStraight) {
    RasterRGBA8 source = solid(8, 8, 60, 30, 0, 128);  // straight (120, 60, 0) at half alpha
    source.alpha = AlphaMode::Premultiplied;
    auto decoded = decodePng(*encodePng(source));
    ASSERT_TRUE(decoded);
    const std::uint8_t* p = pixelAt(decoded->raster, 3, 3);
    EXPECT_NEAR(p[0], 120, 1);
    EXPECT_NEAR(p[1], 60, 1);
    EXPECT_EQ(p[3], 128);
}

TEST(CodecPng, StoredLayoutsDecodeToRgba8) {
    // Grey, 8-bit: each value repeated in red, green and blue, opaque.
    RawPng grey = rawPng(4, 1, PNG_COLOR_TYPE_GRAY, 8);
    grey.rows = {{0, 85, 170, 255}};
    // 1-bit grey: bits expand to 0 and 255.
    RawPng bits = rawPng(4, 1, PNG_COLOR_TYPE_GRAY, 1);
    bits.rows = {{0b10100000}};
    // Palette with transparency for the first two entries.
    RawPng palette = rawPng(3, 1, PNG_COLOR_TYPE_PALETTE, 8);
    palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    palette.paletteAlpha = {0, 128};
    palette.rows = {{0, 1, 2}};
    // 16-bit RGB: the high byte, rounded.
    RawPng deep = rawPng(1, 1, PNG_COLOR_TYPE_RGB, 16);
    deep.rows = {{0xAB, 0xCD, 0x00, 0x80, 0xFF, 0xFF}};
    // Grey with alpha, interlaced.
    RawPng greyAlpha = rawPng(9, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 8, true);
    for (int y = 0; y < 9; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < 9; ++x) row.insert(row.end(), {std::uint8_t(x * 20 + y), std::uint8_t(255 - x)});
        greyAlpha.rows.push_back(row);
    }

    auto pixels = [](const RawPng& layout) {
        auto decoded = decodePng(writeRawPng(layout));
        EXPECT_TRUE(decoded) << decoded.error();
        return decoded ? decoded->raster.pixels : std::vector<std::uint8_t>{};
    };
    EXPECT_EQ(pixels(grey),
              (std::vector<std::uint8_t>{0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 255, 255, 255, 255, 255}));
    EXPECT_EQ(pixels(bits),
              (std::vector<std::uint8_t>{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255}));
    EXPECT_EQ(pixels(palette), (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255}));
    EXPECT_EQ(pixels(deep), (std::vector<std::uint8_t>{0xAB, 0x00, 0xFF, 255}));
    auto ga = pixels(greyAlpha);
    ASSERT_EQ(ga.size(), 9u * 9u * 4u);
    const std::uint8_t* p = ga.data() + (5 * 9 + 7) * 4;  // x 7, y 5
    EXPECT_EQ(p[0], 145);
    EXPECT_EQ(p[2], 145);
    EXPECT_EQ(p[3], 248);
}

TEST(CodecPng, ExifOrientationIsReportedAndApplied) {
    RawPng layout = rawPng(2, 1, PNG_COLOR_TYPE_GRAY, 8);
    layout.rows = {{10, 200}};
    // Big-endian TIFF: one IFD entry, Orientation (0x0112) SHORT 1 = 8.
    layout.exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0};
    const Bytes data = writeRawPng(layout);
    EXPECT_EQ(readPngInfo(data)->orientation, 8);
    auto upright = decodePng(data, {.applyOrientation = true});
    ASSERT_TRUE(upright);
    ASSERT_EQ(upright->raster.width, 1);
    ASSERT_EQ(upright->raster.height, 2);
    EXPECT_EQ(pixelAt(upright->raster, 0, 0)[0], 200);  // turned left: the right end comes to the top
    EXPECT_EQ(pixelAt(upright->raster, 0, 1)[0], 10);
}

TEST(CodecPng, ProfileIsKeptAndConvertedOnRequest) {
    auto adobe = iccProfileForColorSpace("kCGColorSpaceAdobeRGB1998");
    ASSERT_TRUE(adobe);
    PngEncodeOptions options;
    options.iccProfile = *adobe;
    auto data = encodePng(solid(4, 4, 0, 200, 0), options);
    ASSERT_TRUE(data) << data.error();
    auto stored = decodePng(*data);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->iccProfile, *adobe);
    EXPECT_EQ(pixelAt(stored->raster, 0, 0)[1], 200);
    auto converted = decodePng(*data, {.convertToSRGB = true});
    ASSERT_TRUE(converted);
    EXPECT_TRUE(converted->convertedToSRGB);
    // Adobe RGB's green lies outside sRGB: the converted green channel saturates, red and blue stay near 0.
    const std::uint8_t* p = pixelAt(converted->raster, 0, 0);
    EXPECT_GT(p[1], 200);
    EXPECT_LE(p[0], 10);
}

TEST(CodecPng, OversizedAndMalformedInputsFail) {
    auto data = encodePng(solid(50, 50, 1, 2, 3));
    ASSERT_TRUE(data);
    auto limited = decodePng(*data, {.maxPixels = 2499});
    ASSERT_FALSE(limited);
    EXPECT_NE(limited.error().find("limit"), std::string::npos);

    // A bomb: the header claims 60000 x 60000 (with a correct checksum) over a tiny body.
    Bytes bomb = *data;
    const std::uint8_t size[8] = {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60};
    std::copy(size, size + 8, bomb.begin() + 16);  // IHDR data starts after signature, length, type
    const std::uint32_t crc = crc32(bomb.data() + 12, 17);
    for (int i = 0; i < 4; ++i) bomb[29 + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
    auto info = readPngInfo(bomb);
    ASSERT_TRUE(info) << info.error();
    EXPECT_EQ(info->width, 60000);
    EXPECT_FALSE(decodePng(bomb));

    EXPECT_FALSE(decodePng(Bytes{}));
    EXPECT_FALSE(decodePng(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(encodePng(RasterRGBA8{}));
    EXPECT_FALSE(decodeImage(Bytes{'G', 'I', 'F', '8'}));
}
