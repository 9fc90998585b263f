// Neighbourhood filters, compositing, automatic adjustments and warm renders.
#include <gtest/gtest.h>

#include <cmath>

#include "image_test_support.h"

using namespace imagetest;

TEST(GaussianBlur, KeepsFlatAreasGrowsTheExtentAndSpreadsAPoint) {
    Bitmap flat{20, 20, std::vector<std::uint8_t>(20 * 20 * 4, 255)};
    auto blurred = filtered("CIGaussianBlur", imageOf(flat), {{kCIInputRadiusKey, Value(2.0)}});
    EXPECT_EQ(blurred->extent(), CGRectMake(-6, -6, 32, 32));
    auto out = render(plainContext(), blurred, CGRectMake(-6, -6, 32, 32));
    ASSERT_FALSE(out.rgba.empty());
    EXPECT_EQ(out.at(16, 16)[0], 255);  // the middle stays white
    EXPECT_LT(out.at(6, 16)[3], 200);   // the edge fades to transparent
    EXPECT_EQ(out.at(0, 0)[3], 0);
    // One white pixel spreads as a Gaussian of standard deviation = radius; the sum is kept.
    Bitmap dot{21, 21, std::vector<std::uint8_t>(21 * 21 * 4, 0)};
    for (int c = 0; c < 4; ++c) dot.rgba[(10 * 21 + 10) * 4 + static_cast<std::size_t>(c)] = 255;
    auto spread = CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    std::vector<float> px(21 * 21 * 4);
    ASSERT_TRUE(spread->render(filtered("CIGaussianBlur", imageOf(dot), {{kCIInputRadiusKey, Value(1.5)}}), px.data(),
                               21 * 16, CGRectMake(0, 0, 21, 21), CIFormat::RGBAf, nullptr));
    double sum = 0;
    for (std::size_t i = 3; i < px.size(); i += 4) sum += px[i];
    EXPECT_NEAR(sum, 1.0, 1e-3);
    double g0 = 1 / (2 * M_PI * 1.5 * 1.5);
    EXPECT_NEAR(px[(10 * 21 + 10) * 4 + 3], g0, 0.01);
    EXPECT_NEAR(px[(10 * 21 + 12) * 4 + 3], g0 * std::exp(-4 / (2 * 1.5 * 1.5)), 0.005);
    // Radius 0 is the image itself.
    auto same = filtered("CIGaussianBlur", imageOf(dot), {{kCIInputRadiusKey, Value(0)}});
    EXPECT_EQ(same->extent(), CGRectMake(0, 0, 21, 21));
}

TEST(NoiseReduction, SmoothsSmallDifferencesAndKeepsEdges) {
    // Left half dark, right half light, with a little noise on both.
    Bitmap src{16, 8, {}};
    std::mt19937 rng(3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            int base = x < 8 ? 60 : 200, v = base + static_cast<int>(rng() % 7) - 3;
            src.rgba.insert(src.rgba.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                                             static_cast<std::uint8_t>(v), 255});
        }
    auto out = render(
        plainContext(),
        filtered("CINoiseReduction", imageOf(src), {{"inputNoiseLevel", Value(0.1)}, {"inputSharpness", Value(0)}}),
        CGRectMake(0, 0, 16, 8));
    ASSERT_FALSE(out.rgba.empty());
    double spreadIn = 0, spreadOut = 0;
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 7; ++x) {
            spreadIn += std::abs(src.at(x, y)[0] - 60);
            spreadOut += std::abs(out.at(x, y)[0] - 60);
        }
    EXPECT_LT(spreadOut, spreadIn * 0.7);
    // The edge between the halves stays sharp.
    for (int y = 1; y < 7; ++y) {
        EXPECT_LT(out.at(7, y)[0], 70);
        EXPECT_GT(out.at(8, y)[0], 190);
    }
}

TEST(SourceOver, LaysTheImageOverTheBackground) {
    Bitmap fg{2, 1, {255, 0, 0, 255, 0, 0, 0, 0}};
    auto background = CIImage::imageWithColor(CIColor::colorWithRed(0, 0, 1));
    auto out = filtered("CISourceOverCompositing", imageOf(fg), {{kCIInputBackgroundImageKey, Value(background)}});
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(CGRectIsInfinite(out->extent()));
    auto px = render(plainContext(), out, CGRectMake(0, 0, 3, 1));
    EXPECT_EQ(px.rgba, (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255}));
    EXPECT_EQ(filtered("CISourceOverCompositing", imageOf(fg)), nullptr);  // no background
}

TEST(AutoAdjust, StretchesFlatPicturesAndLeavesGoodOnesAlone) {
    // Values only between 80 and 160: a tone curve that reaches black and white.
    Bitmap dull{64, 64, {}};
    for (int i = 0; i < 64 * 64; ++i) {
        auto v = static_cast<std::uint8_t>(80 + (i % 81));
        dull.rgba.insert(dull.rgba.end(), {v, v, v, 255});
    }
    auto image = imageOf(dull);
    auto filters = image->autoAdjustmentFiltersWithOptions({{CIDetectorImageOrientation, Value(1)}});
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0]->name(), "CIToneCurve");
    filters[0]->setValue(Value(image), kCIInputImageKey);
    auto out = render(plainContext(), filters[0]->outputImage(), CGRectMake(0, 0, 64, 64));
    int lo = 255, hi = 0;
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        lo = std::min<int>(lo, out.rgba[i]);
        hi = std::max<int>(hi, out.rgba[i]);
    }
    EXPECT_LT(lo, 10);
    EXPECT_GT(hi, 245);
    Bitmap full{256, 4, {}};
    for (int i = 0; i < 256 * 4; ++i) {
        auto v = static_cast<std::uint8_t>(i % 256);
        full.rgba.insert(full.rgba.end(), {v, v, v, 255});
    }
    EXPECT_TRUE(imageOf(full)->autoAdjustmentFilters().empty());
    EXPECT_TRUE(image->autoAdjustmentFiltersWithOptions({{kCIImageAutoAdjustEnhance, Value(false)}}).empty());
    EXPECT_TRUE(CIImage::imageWithColor(CIColor::colorWithRed(1, 1, 1))->autoAdjustmentFilters().empty());
}

TEST(WarmRenders, AllocateNoScratchMemory) {
    auto image = filtered("CIVignette", imageOf(randomBitmap(300, 200, 2)), {{"inputIntensity", Value(0.5)}});
    image = image->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
    // Single-threaded, so every tile goes through the same scratch memory.
    auto context = plainContext(1);
    std::vector<std::uint8_t> surfacePixels(150 * 100 * 4);
    CIBitmapSurface surface{surfacePixels.data(), 150, 100, 600, CIFormat::RGBA8};
    context->drawImage(image, CGRectMake(0, 0, 150, 100), image->extent(), surface);
    std::size_t before = context->scratchAllocations();
    EXPECT_GT(before, 0u);
    for (int i = 0; i < 5; ++i) context->drawImage(image, CGRectMake(0, 0, 150, 100), image->extent(), surface);
    EXPECT_EQ(context->scratchAllocations(), before);
}
