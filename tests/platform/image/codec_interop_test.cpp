// Other programs read what the codecs write: pixels through another decoder, properties through
// another metadata reader. Each part is skipped when its program is not on the machine.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"
#include "tests/platform/image/codec_test_support.h"
#include "tests/support/required_tool.h"

using namespace codec_test;

namespace {

// Decodes a file to packed RGB24 or RGBA with ffmpeg's own decoders.
Bytes decodeElsewhere(const std::string& path, const char* pixelFormat) {
    const std::string out = runCommand("ffmpeg -v error -i " + path + " -f rawvideo -pix_fmt " + pixelFormat + " -");
    return Bytes(out.begin(), out.end());
}

}  // namespace

TEST(CodecInterop, AnotherDecoderSeesTheSamePixels) {
    if (auto why = testsupport::missingTool("ffmpeg")) GTEST_SKIP() << *why;
    TempFolder folder;
    const RasterRGBA8 picture = photoLike(96, 64);

    JpegEncodeOptions options;
    options.quality = 0.95;
    options.progressive = true;
    options.properties = photoProperties();
    options.properties.set("Orientation", Value());  // the other decoder would turn the picture
    options.iccProfile = *iccProfileForColorSpace("kCGColorSpaceSRGB");
    const std::string jpegPath = folder.file("photo.jpg");
    ASSERT_TRUE(writeFile(jpegPath, *encodeJpeg(picture, options)));
    const Bytes rgb = decodeElsewhere(jpegPath, "rgb24");
    ASSERT_EQ(rgb.size(), 96u * 64u * 3u);
    int maxError = 0;
    for (std::size_t i = 0; i < 96 * 64; ++i)
        for (int c = 0; c < 3; ++c)
            maxError = std::max(maxError, std::abs(int(rgb[i * 3 + c]) - picture.pixels[i * 4 + c]));
    EXPECT_LE(maxError, 6);

    RasterRGBA8 translucent = picture;
    for (std::size_t i = 3; i < translucent.pixels.size(); i += 4) translucent.pixels[i] = std::uint8_t(i / 4);
    const std::string pngPath = folder.file("picture.png");
    ASSERT_TRUE(writeFile(pngPath, *encodePng(translucent)));
    EXPECT_EQ(decodeElsewhere(pngPath, "rgba"), translucent.pixels);
}

TEST(CodecInterop, AnotherReaderSeesTheSameProperties) {
    if (auto why = testsupport::missingTool("exiftool")) GTEST_SKIP() << *why;
    TempFolder folder;
    const std::string path = folder.file("photo.jpg");
    JpegEncodeOptions options;
    options.properties = photoProperties();
    ASSERT_TRUE(writeFile(path, *encodeJpeg(photoLike(48, 32), options)));
    const auto parsed = nlohmann::json::parse(runCommand("exiftool -j -n -G " + path), nullptr, false);
    ASSERT_TRUE(parsed.is_array() && !parsed.empty());
    const auto& tags = parsed[0];
    EXPECT_EQ(tags.value("File:ImageWidth", 0), 48);
    EXPECT_EQ(tags.value("EXIF:Make", ""), "Quillon");
    EXPECT_EQ(tags.value("EXIF:Model", ""), "Test Body");
    EXPECT_EQ(tags.value("EXIF:Software", ""), "Korva Sepia");
    EXPECT_EQ(tags.value("EXIF:ModifyDate", ""), "2026:12:06 14:03:07");
    EXPECT_EQ(tags.value("EXIF:DateTimeOriginal", ""), "2026:12:06 14:03:07");
    EXPECT_EQ(tags.value("EXIF:Orientation", 0), 6);
    EXPECT_EQ(tags.value("EXIF:ISO", 0), 400);
    EXPECT_NEAR(tags.value("EXIF:ExposureTime", 0.0), 1.0 / 60, 1e-6);
    EXPECT_NEAR(tags.value("EXIF:FNumber", 0.0), 1.8, 1e-6);
    EXPECT_EQ(tags.value("EXIF:LensModel", ""), "back camera 4.2mm f/1.8");
    EXPECT_EQ(tags.value("EXIF:UserComment", ""), "Grüße aus Kapstadt");
    EXPECT_NEAR(tags.value("Composite:GPSLatitude", 0.0), -33.9, 1e-6);
    EXPECT_NEAR(tags.value("Composite:GPSLongitude", 0.0), 18.4, 1e-6);
    EXPECT_NEAR(tags.value("Composite:GPSAltitude", 0.0), -5.0, 1e-6);
    EXPECT_EQ(tags.value("EXIF:GPSDateStamp", ""), "2026:12:06");
    EXPECT_EQ(tags.value("EXIF:GPSTimeStamp", ""), "12:03:07.25");
    EXPECT_EQ(tags.value("EXIF:ExifImageWidth", 0), 48);

    // The EXIF block passes the reader's conformance check.
    const std::string validation = runCommand("exiftool -validate -warning -a -s3 " + path);
    EXPECT_EQ(validation.substr(0, 2), "OK") << validation;
}
