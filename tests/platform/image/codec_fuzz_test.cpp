// Damaged files: every truncation is refused, and random byte changes never crash a reader.
#include <gtest/gtest.h>

#include <random>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

struct Sample {
    const char* name;
    Bytes data;
};

std::vector<Sample> samples() {
    const RasterRGBA8 picture = photoLike(64, 48);
    JpegEncodeOptions baseline;
    baseline.quality = 0.8;
    JpegEncodeOptions rich = baseline;
    rich.progressive = true;
    rich.iccProfile = *iccProfileForColorSpace("kCGColorSpaceDisplayP3");
    rich.properties =
        Value::dictionary({{"Orientation", 8},
                           {"{TIFF}", Value::dictionary({{"Make", "Quillon"}})},
                           {"{GPS}", Value::dictionary({{"Latitude", 1.5}, {"TimeStamp", "01:02:03.00"}})}});
    RasterRGBA8 translucent = picture;
    for (std::size_t i = 3; i < translucent.pixels.size(); i += 4) translucent.pixels[i] = std::uint8_t(i);
    PngEncodeOptions png;
    png.iccProfile = *iccProfileForColorSpace("kCGColorSpaceAdobeRGB1998");
    return {{"baseline JPEG", *encodeJpeg(picture, baseline)},
            {"progressive JPEG with profile and properties", *encodeJpeg(picture, rich)},
            {"PNG", *encodePng(translucent, png)}};
}

// Whatever a reader makes of damaged data, it must be self-consistent.
void readEverything(const Bytes& data) {
    auto decoded =
        decodeImage(data, {.minWidth = 16, .minHeight = 16, .applyOrientation = true, .convertToSRGB = true});
    if (decoded) {
        ASSERT_TRUE(decoded->raster.isValid());
        ASSERT_LE(decoded->raster.width, std::max(decoded->info.width, decoded->info.height));
    }
    (void)readImageInfo(data);
    auto properties = readImageProperties(data);
    if (properties) {
        ASSERT_TRUE(properties->isDictionary());
    }
    (void)replaceImageProperties(data, Value::dictionary({{"Orientation", 2}}));
}

}  // namespace

TEST(CodecFuzz, EveryTruncationIsRefused) {
    std::mt19937 random(1234);
    for (const Sample& sample : samples()) {
        ASSERT_TRUE(decodeImage(sample.data)) << sample.name;
        std::uniform_int_distribution<std::size_t> length(0, sample.data.size() - 1);
        for (int i = 0; i < 80; ++i) {
            const std::size_t n = i == 0 ? sample.data.size() - 1 : length(random);
            const Bytes cut(sample.data.begin(), sample.data.begin() + std::ptrdiff_t(n));
            auto decoded = decodeImage(cut);
            ASSERT_FALSE(decoded) << sample.name << " cut at " << n << " of " << sample.data.size();
            EXPECT_FALSE(decoded.error().empty());
            readEverything(cut);
        }
    }
}

TEST(CodecFuzz, ChangedBytesNeverCrashAReader) {
    std::mt19937 random(99);
    for (const Sample& sample : samples()) {
        std::uniform_int_distribution<std::size_t> at(0, sample.data.size() - 1);
        std::uniform_int_distribution<int> mask(1, 255), count(1, 4);
        // The headers hold the structure: bias half of the changes into the first 600 bytes.
        std::uniform_int_distribution<std::size_t> early(0, std::min<std::size_t>(600, sample.data.size() - 1));
        for (int i = 0; i < 300; ++i) {
            Bytes damaged = sample.data;
            for (int k = count(random); k > 0; --k)
                damaged[i % 2 ? at(random) : early(random)] ^= std::uint8_t(mask(random));
            SCOPED_TRACE(std::string(sample.name) + " iteration " + std::to_string(i));
            readEverything(damaged);
        }
    }
}

TEST(CodecFuzz, GarbageIsNoImage) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t size : {0u, 1u, 3u, 16u, 500u}) {
        Bytes garbage(size);
        for (auto& b : garbage) b = std::uint8_t(byte(random));
        EXPECT_FALSE(decodeImage(garbage));
        EXPECT_FALSE(readImageProperties(garbage));
        // Signatures alone are not enough.
        Bytes fakeJpeg = garbage;
        fakeJpeg.insert(fakeJpeg.begin(), {0xFF, 0xD8, 0xFF});
        EXPECT_FALSE(decodeJpeg(fakeJpeg));
        Bytes fakePng = garbage;
        fakePng.insert(fakePng.begin(), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
        EXPECT_FALSE(decodePng(fakePng));
    }
}
