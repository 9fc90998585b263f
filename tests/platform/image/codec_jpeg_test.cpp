// JPEG codec: fidelity by quality, layouts it must read, orientation, scaling and size limits.
#include <gtest/gtest.h>
#include <lcms2.h>

#include "platform/image/codec/icc.h"
#include "platform/image/codec/image_data.h"
#include "platform/image/codec/jpeg.h"
#include "tests/platform/image/codec_test_support.h"

using namespace codec_test;

namespace {

JpegEncodeOptions withQuality(double quality, bool progressive = false) {
    JpegEncodeOptions options;
    options.quality = quality;
    options.progressive = progressive;
    return options;
}

// A CMYK printer profile in which only black ink counts: lightness falls from L* 100 with no
// black to L* 0 with full black, whatever the coloured inks. (Version 2 Lab encoding.)
Bytes blackOnlyCmykProfile() {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 2.1);  // a bare CLUT is a valid lut16 only in version 2
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    std::vector<cmsUInt16Number> table;
    for (int corner = 0; corner < 16; ++corner)  // the last input (black) varies fastest
        table.insert(table.end(), {cmsUInt16Number(corner % 2 ? 0 : 0xFF00), 0x8000, 0x8000});
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 4, 3);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocCLut16bit(nullptr, 2, 4, 3, table.data()));
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsPipelineFree(pipeline);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

}  // namespace

TEST(CodecJpeg, RoundTripFidelityFollowsQuality) {
    const RasterRGBA8 source = photoLike(160, 120);
    auto best = encodeJpeg(source, withQuality(1.0));
    auto high = encodeJpeg(source, withQuality(0.9));
    auto low = encodeJpeg(source, withQuality(0.2));
    ASSERT_TRUE(best && high && low);
    EXPECT_EQ(detectImageFormat(*best), ImageFormat::JPEG);

    auto decodedBest = decodeJpeg(*best);
    auto decodedHigh = decodeJpeg(*high);
    ASSERT_TRUE(decodedBest && decodedHigh) << decodedBest.error();
    EXPECT_EQ(decodedBest->raster.width, 160);
    EXPECT_EQ(decodedBest->raster.height, 120);
    for (std::size_t i = 3; i < decodedBest->raster.pixels.size(); i += 4)
        ASSERT_EQ(decodedBest->raster.pixels[i], 255);

    ErrorStats atBest = compareRGB(source, decodedBest->raster);
    ErrorStats atHigh = compareRGB(source, decodedHigh->raster);
    EXPECT_GE(atBest.psnr, 48.0);
    EXPECT_LE(atBest.maxError, 4);
    EXPECT_GE(atHigh.psnr, 42.0);
    EXPECT_LE(atHigh.maxError, 8);
    EXPECT_GT(atBest.psnr, atHigh.psnr);
    // The quality must reach the quantiser: a low one gives a much smaller file.
    EXPECT_LT(low->size() * 2, high->size());
}

TEST(CodecJpeg, ProgressiveAndBaselineDecodeAlike) {
    const RasterRGBA8 source = photoLike(96, 64);
    auto baseline = encodeJpeg(source, withQuality(0.95));
    auto progressive = encodeJpeg(source, withQuality(0.95, true));
    ASSERT_TRUE(baseline && progressive);
    auto a = decodeJpeg(*baseline);
    auto b = decodeJpeg(*progressive);
    ASSERT_TRUE(a && b) << b.error();
    EXPECT_LE(compareRGB(a->raster, b->raster).maxError, 2);
}

TEST(CodecJpeg, GreyAndCmykFilesDecodeToRgba) {
    std::vector<std::uint8_t> grey(32 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) grey[std::size_t(y) * 32 + x] = x < 16 ? 40 : 200;
    for (bool progressive : {false, true}) {
        auto decoded = decodeJpeg(writeRawJpeg(32, 16, 1, grey, progressive));
        ASSERT_TRUE(decoded) << decoded.error();
        EXPECT_EQ(decoded->info.components, 1);
        const std::uint8_t* dark = pixelAt(decoded->raster, 4, 8);
        const std::uint8_t* light = pixelAt(decoded->raster, 28, 8);
        EXPECT_NEAR(dark[0], 40, 3);
        EXPECT_EQ(dark[0], dark[1]);
        EXPECT_EQ(dark[1], dark[2]);
        EXPECT_NEAR(light[2], 200, 3);
        EXPECT_EQ(light[3], 255);
    }

    // Adobe-style CMYK (stored inverted): left half pure red ink mix, right half 50% black.
    std::vector<std::uint8_t> cmyk(32 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = cmyk.data() + (std::size_t(y) * 32 + x) * 4;
            if (x < 16)
                p[0] = 255, p[1] = 0, p[2] = 0, p[3] = 255;  // M and Y full, no C, no K
            else
                p[0] = 255, p[1] = 255, p[2] = 255, p[3] = 128;  // only K at half
        }
    auto decoded = decodeJpeg(writeRawJpeg(32, 16, 4, cmyk));
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->info.components, 4);
    const std::uint8_t* red = pixelAt(decoded->raster, 4, 8);
    EXPECT_GE(red[0], 250);
    EXPECT_LE(red[1], 5);
    EXPECT_LE(red[2], 5);
    const std::uint8_t* mid = pixelAt(decoded->raster, 28, 8);
    EXPECT_NEAR(mid[0], 128, 3);
    EXPECT_NEAR(mid[2], 128, 3);
    EXPECT_FALSE(decoded->convertedToSRGB);

    // With a profile, the profile decides the colours: the red half has no black ink, so white;
    // the half-black half is L* 50, which is sRGB 119.
    auto profiled = decodeJpeg(writeRawJpeg(32, 16, 4, cmyk, false, {}, blackOnlyCmykProfile()));
    ASSERT_TRUE(profiled) << profiled.error();
    EXPECT_TRUE(profiled->convertedToSRGB);
    const std::uint8_t* white = pixelAt(profiled->raster, 4, 8);
    const std::uint8_t* halfBlack = pixelAt(profiled->raster, 28, 8);
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(white[c], 250);
        EXPECT_NEAR(halfBlack[c], 119, 4);
    }
    EXPECT_EQ(halfBlack[3], 255);
}

TEST(CodecJpeg, OrientationIsReportedAndAppliedOnRequest) {
    // Left half red, right half blue, stored 32x16 with orientation 6 (turn right to view).
    RasterRGBA8 source = solid(32, 16, 255, 0, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x) {
            std::uint8_t* p = source.pixels.data() + (std::size_t(y) * 32 + x) * 4;
            p[0] = 0, p[2] = 255;
        }
    JpegEncodeOptions options = withQuality(0.95);
    options.properties = Value::dictionary({{"Orientation", 6}});
    auto data = encodeJpeg(source, options);
    ASSERT_TRUE(data) << data.error();

    auto info = readJpegInfo(*data);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->orientation, 6);
    auto stored = decodeJpeg(*data);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->orientation, 6);
    EXPECT_EQ(stored->raster.width, 32);

    auto upright = decodeJpeg(*data, {.applyOrientation = true});
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->orientation, 1);
    ASSERT_EQ(upright->raster.width, 16);
    ASSERT_EQ(upright->raster.height, 32);
    EXPECT_GT(pixelAt(upright->raster, 8, 4)[0], 200);   // top: what was the left
    EXPECT_GT(pixelAt(upright->raster, 8, 28)[2], 200);  // bottom: what was the right
}

TEST(CodecJpeg, OrientRasterCoversAllEight) {
    // A 3x2 raster whose pixels are numbered; each orientation's upright image, row by row.
    RasterRGBA8 r = makeRaster(3, 2);
    for (int i = 0; i < 6; ++i) r.pixels[std::size_t(i) * 4] = std::uint8_t(i + 1);
    const std::vector<std::vector<int>> expected = {{1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}, {6, 5, 4, 3, 2, 1},
                                                    {4, 5, 6, 1, 2, 3}, {1, 4, 2, 5, 3, 6}, {4, 1, 5, 2, 6, 3},
                                                    {6, 3, 5, 2, 4, 1}, {3, 6, 2, 5, 1, 4}};
    for (int o = 1; o <= 8; ++o) {
        RasterRGBA8 out = orientRaster(r, o);
        std::vector<int> got;
        for (std::size_t i = 0; i < out.pixels.size(); i += 4) got.push_back(out.pixels[i]);
        EXPECT_EQ(got, expected[std::size_t(o - 1)]) << "orientation " << o;
        EXPECT_EQ(out.width, o >= 5 ? 2 : 3);
    }
}

TEST(CodecJpeg, DownscaleOnDecodeKeepsAtLeastTheAskedSize) {
    const RasterRGBA8 source = solid(400, 300, 10, 200, 30);
    auto data = encodeJpeg(source, withQuality(0.9));
    ASSERT_TRUE(data);
    auto thumb = decodeJpeg(*data, {.minWidth = 100, .minHeight = 100});
    ASSERT_TRUE(thumb) << thumb.error();
    EXPECT_EQ(thumb->raster.width, 150);  // 3/8: the next step (2/8) would give 75 rows
    EXPECT_EQ(thumb->raster.height, 113);
    EXPECT_EQ(thumb->info.width, 400);
    EXPECT_NEAR(pixelAt(thumb->raster, 70, 50)[1], 200, 3);
    auto full = decodeJpeg(*data, {.minWidth = 500});
    ASSERT_TRUE(full);
    EXPECT_EQ(full->raster.width, 400);
}

TEST(CodecJpeg, OversizedImagesAreRefusedBeforeDecoding) {
    auto data = encodeJpeg(solid(64, 64, 1, 2, 3));
    ASSERT_TRUE(data);
    auto limited = decodeJpeg(*data, {.maxPixels = 1000});
    ASSERT_FALSE(limited);
    EXPECT_NE(limited.error().find("limit"), std::string::npos);

    // A bomb: the frame header claims 60000 x 60000 over a tiny body.
    Bytes bomb = *data;
    for (std::size_t i = 2; i + 8 < bomb.size(); ++i)
        if (bomb[i] == 0xFF && (bomb[i + 1] == 0xC0 || bomb[i + 1] == 0xC2)) {
            bomb[i + 5] = 0xEA, bomb[i + 6] = 0x60, bomb[i + 7] = 0xEA, bomb[i + 8] = 0x60;
            break;
        }
    auto info = readJpegInfo(bomb);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 60000);
    EXPECT_FALSE(decodeJpeg(bomb));
}

TEST(CodecJpeg, EndlessProgressiveScansAreRefused) {
    // Grey, one DC scan then one AC scan at full precision; that AC scan repeated thousands of
    // times is a valid progression (each repeat replaces the same coefficients) and each repeat
    // is a full pass over the image.
    std::vector<std::uint8_t> grey(256 * 256);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = std::uint8_t(i * 13);
    const std::vector<jpeg_scan_info> script = {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 63, 0, 0}};
    const Bytes data = writeRawJpeg(256, 256, 1, grey, false, script);
    ASSERT_TRUE(decodeJpeg(data));
    std::size_t lastScan = 0;
    for (std::size_t i = 2; i + 1 < data.size(); ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xDA) lastScan = i;
    ASSERT_GT(lastScan, 0u);
    const Bytes scan(data.begin() + std::ptrdiff_t(lastScan), data.end() - 2);
    Bytes endless(data.begin(), data.end() - 2);
    for (int i = 0; i < 1200; ++i) endless.insert(endless.end(), scan.begin(), scan.end());
    endless.insert(endless.end(), {0xFF, 0xD9});
    auto decoded = decodeJpeg(endless);
    ASSERT_FALSE(decoded);
    EXPECT_NE(decoded.error().find("scans"), std::string::npos) << decoded.error();
}

TEST(CodecJpeg, EmbeddedProfileIsKeptAndConvertedOnRequest) {
    auto p3 = iccProfileForColorSpace("kCGColorSpaceDisplayP3");
    ASSERT_TRUE(p3);
    const RasterRGBA8 source = solid(16, 16, 200, 100, 50);
    JpegEncodeOptions options = withQuality(1.0);
    options.iccProfile = *p3;
    auto data = encodeJpeg(source, options);
    ASSERT_TRUE(data);

    auto asStored = decodeJpeg(*data);
    ASSERT_TRUE(asStored);
    EXPECT_EQ(asStored->iccProfile, *p3);
    EXPECT_TRUE(asStored->info.hasIccProfile);
    EXPECT_FALSE(asStored->convertedToSRGB);

    auto converted = decodeJpeg(*data, {.convertToSRGB = true});
    ASSERT_TRUE(converted);
    EXPECT_TRUE(converted->convertedToSRGB);
    RasterRGBA8 expected = asStored->raster;
    colorConversion("kCGColorSpaceDisplayP3", "kCGColorSpaceSRGB")->convert(expected);
    EXPECT_LE(compareRGB(expected, converted->raster).maxError, 1);
    // P3's red primary is beyond sRGB's, so the same numbers mean a redder colour.
    EXPECT_GT(pixelAt(converted->raster, 8, 8)[0], 205);
}

TEST(CodecJpeg, EncodeRefusesMalformedRasters) {
    EXPECT_FALSE(encodeJpeg(RasterRGBA8{}));
    RasterRGBA8 wrong = makeRaster(10, 10);
    wrong.pixels.resize(10);
    EXPECT_FALSE(encodeJpeg(wrong));
    JpegEncodeOptions notDictionary;
    notDictionary.properties = Value("text");
    EXPECT_FALSE(encodeJpeg(solid(4, 4, 0, 0, 0), notDictionary));
}

TEST(CodecJpeg, PremultipliedPixelsComeOutOverBlack) {
    RasterRGBA8 source = solid(16, 16, 100, 50, 20, 128);
    source.alpha = AlphaMode::Premultiplied;
    auto decoded = decodeJpeg(*encodeJpeg(source, withQuality(1.0)));
    ASSERT_TRUE(decoded);
    EXPECT_NEAR(pixelAt(decoded->raster, 8, 8)[0], 100, 2);
    EXPECT_EQ(pixelAt(decoded->raster, 8, 8)[3], 255);
}
