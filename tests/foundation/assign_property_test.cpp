// Rewriting the image properties of encoded data in place: written and read back, type and pixels
// kept, and data left untouched when the rewrite cannot be done.
#include <gtest/gtest.h>

#include "foundation/data_custom_photos.h"
#include "foundation/date_custom.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"

namespace {

RasterRGBA8 gradient(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(x * 255 / w), p[1] = std::uint8_t(y * 255 / h), p[2] = 40, p[3] = 255;
        }
    return r;
}

Bytes jpeg(int w, int h) {
    auto data = encodeJpeg(gradient(w, h));
    return data ? *data : Bytes{};
}

}  // namespace

TEST(AssignProperty, WritesPropertiesIntoTheSameDataKeepingTypeAndPixels) {
    Bytes data = jpeg(20, 12);
    ASSERT_FALSE(data.empty());
    const Bytes original = data;
    Value properties =
        Value::dictionary({{"Orientation", Value(3)},
                           {"{TIFF}", Value::dictionary({{"Make", Value("Korva")}, {"Model", Value("Test rig")}})},
                           {"{Exif}", Value::dictionary({{"DateTimeOriginal", Value("2026:12:06 10:20:30")}})}});

    ASSERT_TRUE(assignProperty(data, properties));
    EXPECT_NE(data, original);
    EXPECT_EQ(detectImageFormat(data), ImageFormat::JPEG);
    Value read = getMetadata(data);
    ASSERT_TRUE(read.isDictionary());
    EXPECT_EQ(read["Orientation"].integerValue(), 3);
    EXPECT_EQ(read["{TIFF}"]["Make"].stringValue(), "Korva");
    EXPECT_EQ(read["{TIFF}"]["Model"].stringValue(), "Test rig");
    EXPECT_EQ(read["{Exif}"]["DateTimeOriginal"].stringValue(), "2026:12:06 10:20:30");
    EXPECT_EQ(read["PixelWidth"].integerValue(), 20);
    auto before = decodeImage(original), after = decodeImage(data);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->raster.pixels, after->raster.pixels);

    // A second assignment adds to what the first wrote.
    ASSERT_TRUE(assignProperty(data, Value::dictionary({{"{TIFF}", Value::dictionary({{"Software", Value("v2")}})}})));
    read = getMetadata(data);
    EXPECT_EQ(read["{TIFF}"]["Software"].stringValue(), "v2");
    EXPECT_EQ(read["{TIFF}"]["Make"].stringValue(), "Korva");

    // PNG stays PNG.
    auto png = encodePng(gradient(8, 8));
    ASSERT_TRUE(png);
    Bytes pngData = *png;
    ASSERT_TRUE(assignProperty(pngData, Value::dictionary({{"DPIWidth", Value(144)}, {"DPIHeight", Value(144)}})));
    EXPECT_EQ(detectImageFormat(pngData), ImageFormat::PNG);
    EXPECT_EQ(getMetadata(pngData)["PixelHeight"].integerValue(), 8);
}

TEST(AssignProperty, FailureReportsNoAndLeavesTheDataAsItWas) {
    const Value properties = Value::dictionary({{"Orientation", Value(6)}});
    Bytes junk{1, 2, 3, 4, 5};
    EXPECT_FALSE(assignProperty(junk, properties));
    EXPECT_EQ(junk, (Bytes{1, 2, 3, 4, 5}));

    Bytes empty;
    EXPECT_FALSE(assignProperty(empty, properties));
    EXPECT_TRUE(empty.empty());

    Bytes cut = jpeg(32, 32);
    cut.resize(40);
    const Bytes cutCopy = cut;
    EXPECT_FALSE(assignProperty(cut, properties));
    EXPECT_EQ(cut, cutCopy);

    Bytes good = jpeg(4, 4);
    const Bytes goodCopy = good;
    EXPECT_FALSE(assignProperty(good, Value("not a dictionary")));
    EXPECT_EQ(good, goodCopy);
}
