// The JPEG strip encoder: a file written in strips of any height (and from BGRA rows) is the file
// written whole; rows beyond the picture, a finish before the last row and sizes the format
// cannot hold are refused.
#include <gtest/gtest.h>

#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/jpeg_strip_encoder.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

Bytes inStrips(const RasterRGBA8& r, int strip, const JpegEncodeOptions& options,
               JpegStripEncoder::PixelOrder order = JpegStripEncoder::PixelOrder::RGBA,
               const std::uint8_t* pixels = nullptr) {
    auto encoder = JpegStripEncoder::start(r.width, r.height, options, order);
    EXPECT_TRUE(encoder) << encoder.error();
    if (!encoder) return {};
    const std::uint8_t* rows = pixels ? pixels : r.pixels.data();
    for (int top = 0; top < r.height; top += strip) {
        int count = std::min(strip, r.height - top);
        auto written = (*encoder)->write(rows + std::size_t(top) * r.rowBytes(), r.rowBytes(), count);
        EXPECT_TRUE(written) << written.error();
        EXPECT_EQ((*encoder)->rowsWritten(), top + count);
    }
    auto file = (*encoder)->finish();
    EXPECT_TRUE(file) << file.error();
    return file ? *file : Bytes{};
}

}  // namespace

TEST(CodecJpegStrips, AnyStripHeightAndEitherByteOrderGiveTheWholeFile) {
    const RasterRGBA8 picture = photoLike(97, 61);
    for (double quality : {0.8, 0.95}) {
        JpegEncodeOptions options;
        options.quality = quality;
        options.properties = Value::dictionary({{"{TIFF}", Value::dictionary({{"Software", "Korva"}})}});
        auto whole = encodeJpeg(picture, options);
        ASSERT_TRUE(whole) << whole.error();
        for (int strip : {1, 7, 16, 17, 60, 61, 500}) EXPECT_EQ(inStrips(picture, strip, options), *whole) << strip;

        RasterRGBA8 bgra = picture;
        for (std::size_t i = 0; i < bgra.pixels.size(); i += 4) std::swap(bgra.pixels[i], bgra.pixels[i + 2]);
        EXPECT_EQ(inStrips(picture, 13, options, JpegStripEncoder::PixelOrder::BGRA, bgra.pixels.data()), *whole);
    }
}

TEST(CodecJpegStrips, RefusesRowsItCannotPlaceAndSizesItCannotHold) {
    EXPECT_FALSE(JpegStripEncoder::start(0, 10));
    EXPECT_FALSE(JpegStripEncoder::start(10, -1));
    EXPECT_FALSE(JpegStripEncoder::start(70000, 10));
    JpegEncodeOptions notADictionary;
    notADictionary.properties = Value(3);
    EXPECT_FALSE(JpegStripEncoder::start(10, 10, notADictionary));

    const RasterRGBA8 picture = photoLike(20, 10);
    auto encoder = JpegStripEncoder::start(20, 10);
    ASSERT_TRUE(encoder);
    EXPECT_FALSE((*encoder)->write(picture.pixels.data(), 20 * 4 - 1, 1)) << "rows shorter than the picture";
    EXPECT_FALSE((*encoder)->write(nullptr, 80, 1));
    ASSERT_TRUE((*encoder)->write(picture.pixels.data(), 80, 6));
    EXPECT_FALSE((*encoder)->finish()) << "four rows were never written";
    EXPECT_FALSE((*encoder)->write(picture.pixels.data(), 80, 5)) << "one row too many";
    ASSERT_TRUE((*encoder)->write(picture.pixels.data(), 80, 4));
    auto file = (*encoder)->finish();
    ASSERT_TRUE(file) << file.error();
    auto decoded = decodeJpeg(*file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->raster.width, 20);
    EXPECT_EQ(decoded->raster.height, 10);
    EXPECT_FALSE((*encoder)->finish()) << "a file is finished once";
}
