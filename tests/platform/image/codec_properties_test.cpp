// Image properties: written into JPEG data, read back, and replaced without touching the
// encoded pixels.
#include <gtest/gtest.h>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

Bytes encodedWith(const Value& properties, int width = 48, int height = 32) {
    JpegEncodeOptions options;
    options.quality = 0.9;
    options.properties = properties;
    options.iccProfile = *iccProfileForColorSpace("kCGColorSpaceDisplayP3");
    auto data = encodeJpeg(photoLike(width, height), options);
    EXPECT_TRUE(data) << data.error();
    return data ? *data : Bytes{};
}

}  // namespace

TEST(CodecProperties, WrittenPropertiesReadBackWithTheirKinds) {
    const Bytes data = encodedWith(photoProperties());
    auto read = readImageProperties(data);
    ASSERT_TRUE(read) << read.error();
    const Value& p = *read;
    EXPECT_EQ(p["PixelWidth"].integerValue(), 48);
    EXPECT_EQ(p["PixelHeight"].integerValue(), 32);
    EXPECT_EQ(p["Orientation"].integerValue(), 6);
    EXPECT_EQ(p["ColorModel"].stringValue(), "RGB");
    EXPECT_EQ(p["DPIWidth"].doubleValue(), 72.0);
    EXPECT_EQ(p["ProfileName"].stringValue(), "Display P3");

    const Value& tiff = p["{TIFF}"];
    EXPECT_EQ(tiff["Make"].stringValue(), "Quillon");
    EXPECT_EQ(tiff["Software"].stringValue(), "Korva Sepia");
    EXPECT_EQ(tiff["DateTime"].stringValue(), "2026:12:06 14:03:07");
    EXPECT_EQ(tiff["Orientation"].integerValue(), 6);

    const Value& exif = p["{Exif}"];
    EXPECT_TRUE(exif["ExposureTime"].isFloating());
    EXPECT_NEAR(exif["ExposureTime"].doubleValue(), 1.0 / 60, 1e-9);
    EXPECT_NEAR(exif["FNumber"].doubleValue(), 1.8, 1e-9);
    EXPECT_NEAR(exif["ExposureBiasValue"].doubleValue(), -0.5, 1e-9);
    ASSERT_TRUE(exif["ISOSpeedRatings"].isArray());
    EXPECT_EQ(exif["ISOSpeedRatings"][std::size_t{0}].integerValue(), 400);
    EXPECT_TRUE(exif["Flash"].isInteger());
    EXPECT_EQ(exif["LensModel"].stringValue(), "back camera 4.2mm f/1.8");
    ASSERT_EQ(exif["LensSpecification"].count(), 4u);
    EXPECT_NEAR(exif["LensSpecification"][std::size_t{2}].doubleValue(), 1.8, 1e-9);
    EXPECT_EQ(exif["SubjectArea"], Value::array({2015, 1511, 2217, 1330}));
    EXPECT_EQ(exif["SceneType"].integerValue(), 1);
    EXPECT_EQ(exif["UserComment"].stringValue(), "Grüße aus Kapstadt");
    EXPECT_EQ(exif["DateTimeDigitized"].stringValue(), "2026:12:06 14:03:08");
    // The stated size follows the pixels, not a copied dictionary.
    EXPECT_EQ(exif["PixelXDimension"].integerValue(), 48);
    EXPECT_EQ(exif["PixelYDimension"].integerValue(), 32);
    EXPECT_EQ(exif["ExifVersion"], Value::array({2, 3, 2}));

    const Value& gps = p["{GPS}"];
    EXPECT_NEAR(gps["Latitude"].doubleValue(), 33.9, 1e-7);
    EXPECT_EQ(gps["LatitudeRef"].stringValue(), "S");
    EXPECT_NEAR(gps["Longitude"].doubleValue(), 18.4, 1e-7);
    EXPECT_EQ(gps["LongitudeRef"].stringValue(), "E");
    EXPECT_NEAR(gps["Altitude"].doubleValue(), 5.0, 1e-9);
    EXPECT_EQ(gps["AltitudeRef"].integerValue(), 1);
    EXPECT_EQ(gps["TimeStamp"].stringValue(), "12:03:07.25");
    EXPECT_EQ(gps["DateStamp"].stringValue(), "2026:12:06");
    EXPECT_NEAR(gps["Speed"].doubleValue(), 3.5, 1e-9);
    EXPECT_NEAR(gps["ImgDirection"].doubleValue(), 271.25, 1e-9);
}

TEST(CodecProperties, ReplacingPropertiesKeepsPixelsAndMergesKeys) {
    const Bytes plain = encodedWith(Value());
    auto first =
        replaceImageProperties(plain, Value::dictionary({{"{TIFF}", Value::dictionary({{"Make", "Quillon"}})}}));
    ASSERT_TRUE(first) << first.error();
    auto second = replaceImageProperties(
        *first, Value::dictionary(
                    {{"Orientation", 3},
                     {"{TIFF}", Value::dictionary({{"Model", "Second"}})},
                     {"{GPS}", Value::dictionary({{"Latitude", -12.5}, {"Longitude", -70.25}, {"Altitude", -3.25}})}}));
    ASSERT_TRUE(second) << second.error();

    auto read = readImageProperties(*second);
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)["{TIFF}"]["Make"].stringValue(), "Quillon");  // kept from the first write
    EXPECT_EQ((*read)["{TIFF}"]["Model"].stringValue(), "Second");
    EXPECT_EQ((*read)["Orientation"].integerValue(), 3);
    // Signed coordinates and altitudes without their references are stored unsigned with the
    // reference their sign gives.
    EXPECT_NEAR((*read)["{GPS}"]["Latitude"].doubleValue(), 12.5, 1e-7);
    EXPECT_EQ((*read)["{GPS}"]["LatitudeRef"].stringValue(), "S");
    EXPECT_EQ((*read)["{GPS}"]["LongitudeRef"].stringValue(), "W");
    EXPECT_NEAR((*read)["{GPS}"]["Altitude"].doubleValue(), 3.25, 1e-9);
    EXPECT_EQ((*read)["{GPS}"]["AltitudeRef"].integerValue(), 1);

    // The entropy-coded data is carried over byte for byte: everything from the first SOS on.
    auto scanOf = [](const Bytes& jpeg) {
        for (std::size_t i = 2; i + 1 < jpeg.size(); ++i)
            if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return Bytes(jpeg.begin() + std::ptrdiff_t(i), jpeg.end());
        return Bytes{};
    };
    EXPECT_FALSE(scanOf(plain).empty());
    EXPECT_EQ(scanOf(*second), scanOf(plain));
    auto before = decodeJpeg(plain);
    auto after = decodeJpeg(*second);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->raster.pixels, after->raster.pixels);
    EXPECT_EQ(after->orientation, 3);
    EXPECT_EQ(after->iccProfile, before->iccProfile);
    EXPECT_FALSE(after->iccProfile.empty());
}

TEST(CodecProperties, FilesAndPngDataCarryPropertiesToo) {
    TempFolder folder;
    const std::string path = folder.file("photo.jpg");
    ASSERT_TRUE(writeFile(path, encodedWith(photoProperties(), 20, 10)));
    auto fromFile = readImagePropertiesFromFile(path);
    ASSERT_TRUE(fromFile) << fromFile.error();
    EXPECT_EQ((*fromFile)["PixelWidth"].integerValue(), 20);
    EXPECT_EQ((*fromFile)["{GPS}"]["LatitudeRef"].stringValue(), "S");
    EXPECT_FALSE(readImagePropertiesFromFile(folder.file("missing.jpg")));

    auto png = encodePng(solid(5, 7, 9, 9, 9, 100));
    ASSERT_TRUE(png);
    auto tagged =
        replaceImageProperties(*png, Value::dictionary({{"{TIFF}", Value::dictionary({{"Make", "Quillon"}})}}));
    ASSERT_TRUE(tagged) << tagged.error();
    auto read = readImageProperties(*tagged);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ((*read)["PixelHeight"].integerValue(), 7);
    EXPECT_EQ((*read)["HasAlpha"], Value(true));
    EXPECT_EQ((*read)["{TIFF}"]["Make"].stringValue(), "Quillon");
    EXPECT_EQ(decodePng(*tagged)->raster.pixels, decodePng(*png)->raster.pixels);
}

TEST(CodecProperties, BadInputsFailClearly) {
    const Bytes plain = encodedWith(Value());
    EXPECT_FALSE(replaceImageProperties(plain, Value("not a dictionary")));
    EXPECT_FALSE(replaceImageProperties(Bytes{1, 2, 3}, Value::dictionary()));
    EXPECT_FALSE(readImageProperties(Bytes{}));
    Bytes truncated(plain.begin(), plain.begin() + 40);
    EXPECT_FALSE(replaceImageProperties(truncated, Value::dictionary({{"Orientation", 2}})));
    // Values of the wrong kind are skipped, not written as garbage.
    auto odd = replaceImageProperties(
        plain, Value::dictionary({{"{GPS}", Value::dictionary({{"TimeStamp", "noon"}, {"Latitude", Value::array()}})},
                                  {"{TIFF}", Value::dictionary({{"Orientation", 0}})},
                                  {"Orientation", 42}}));
    ASSERT_TRUE(odd) << odd.error();
    auto read = readImageProperties(*odd);
    ASSERT_TRUE(read);
    EXPECT_TRUE((*read)["{GPS}"].isNull());
    EXPECT_TRUE((*read)["Orientation"].isNull());
}
