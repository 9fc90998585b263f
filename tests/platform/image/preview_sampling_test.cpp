// The drawing context's fast down-scaling (bilinear samples) and the render pool's hand-offs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <vector>

#include "image_test_support.h"
#include "platform/image/engine/render_pool.h"

using namespace imagetest;

namespace {

std::shared_ptr<CIContext> drawingContext(int threads = 0) {
    return CIContext::gpuContextWithOptions(
        {{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}, {kCIContextThreadCount, Value(threads)}});
}

// A premultiplied bitmap: colour never above alpha.
Bitmap premultipliedBitmap(int w, int h, unsigned seed) {
    Bitmap b = randomBitmap(w, h, seed, false);
    for (std::size_t i = 0; i < b.rgba.size(); i += 4)
        for (int c = 0; c < 3; ++c) b.rgba[i + c] = static_cast<std::uint8_t>(b.rgba[i + c] * b.rgba[i + 3] / 255);
    return b;
}

// Independent reference: the bilinear sample of the bitmap at (x, y) in pixel-centre units
// (bottom-up rows), pixels outside the bitmap transparent.
double bilinear(const Bitmap& b, double x, double y, int c) {
    auto at = [&](long i, long j) -> double {
        if (i < 0 || j < 0 || i >= b.width || j >= b.height) return 0.0;
        return b.at(static_cast<int>(i), b.height - 1 - static_cast<int>(j))[c];
    };
    const double x0 = std::floor(x), y0 = std::floor(y), fx = x - x0, fy = y - y0;
    const long i = static_cast<long>(x0), j = static_cast<long>(y0);
    const double lower = (1 - fx) * at(i, j) + fx * at(i + 1, j);
    const double upper = (1 - fx) * at(i, j + 1) + fx * at(i + 1, j + 1);
    return (1 - fy) * lower + fy * upper;
}

// What the surface holds before a draw in the first test (a pattern, so blending shows).
std::uint8_t backdrop(std::size_t i) {
    return static_cast<std::uint8_t>(i * 37 % 251);
}

std::vector<std::uint8_t> draw(const std::shared_ptr<CIContext>& context, const std::shared_ptr<CIImage>& image, int w,
                               int h, CGRect inRect, bool patterned = false) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4, 0);
    if (patterned)
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = backdrop(i);
    CIBitmapSurface surface{pixels.data(), w, h, static_cast<std::size_t>(w) * 4, CIFormat::RGBA8};
    EXPECT_TRUE(context->drawImage(image, inRect, image->extent(), surface));
    return pixels;
}

}  // namespace

TEST(PreviewSampling, ShrinkingDrawsMatchBilinearSamplesBlendedOverTheSurface) {
    Bitmap src = premultipliedBitmap(97, 61, 3);
    // The left part opaque (covers the surface), the rest translucent (blends with it).
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 45; ++x) src.rgba[(static_cast<std::size_t>(y) * 97 + x) * 4 + 3] = 255;
    auto image = imageOf(src);
    // Off the surface's grid and shrunk unevenly, so edge pixels read partly outside the bitmap.
    const CGRect in = CGRectMake(3.5, 2.25, 80, 25);
    const int W = 90, H = 30;
    auto pixels = draw(drawingContext(), image, W, H, in, true);
    const double sx = in.size.width / 97, sy = in.size.height / 61;
    for (int yTop = 0; yTop < H; ++yTop)
        for (int x = 0; x < W; ++x) {
            const double u = x + 0.5, v = (H - 1 - yTop) + 0.5;
            const bool inside = u >= in.origin.x && u < in.origin.x + in.size.width && v >= in.origin.y &&
                                v < in.origin.y + in.size.height;
            const double px = (u - in.origin.x) / sx - 0.5, py = (v - in.origin.y) / sy - 0.5;
            const double alpha = inside ? bilinear(src, px, py, 3) : 0.0;
            for (int c = 0; c < 4; ++c) {
                const std::size_t at = (static_cast<std::size_t>(yTop) * W + x) * 4 + c;
                const double want = (inside ? bilinear(src, px, py, c) : 0.0) + backdrop(at) * (1 - alpha / 255);
                const int got = pixels[at];
                ASSERT_NEAR(got, want, 1.0) << "first difference at x " << x << ", row " << yTop << " (from the top)"
                                            << ", channel " << c;
            }
        }
}

TEST(PreviewSampling, ThreadsTurnsAndFormatsAgree) {
    Bitmap src = premultipliedBitmap(301, 203, 8);
    auto image = imageOf(src);
    auto one = draw(drawingContext(1), image, 120, 80, CGRectMake(0, 0, 120, 80));
    auto all = draw(drawingContext(0), image, 120, 80, CGRectMake(0, 0, 120, 80));
    ASSERT_EQ(one.size(), all.size());
    for (std::size_t i = 0; i < one.size(); ++i)
        ASSERT_EQ(one[i], all[i]) << "first difference at pixel " << i / 4 % 120 << ", row " << i / 4 / 120;

    // The same picture turned a quarter (as the preview turns camera frames) gives the turned pixels.
    auto turned = image->imageByApplyingTransform({0, -1, 1, 0, 0, 0});
    turned = turned->imageByApplyingTransform(CGAffineTransformMakeTranslation(0, 301));
    auto sideways = draw(drawingContext(), turned, 80, 120, CGRectMake(0, 0, 80, 120));
    for (int yTop = 0; yTop < 120; ++yTop)
        for (int x = 0; x < 80; ++x) {
            // Turned pixel (x, y) bottom-up is upright pixel (119 - y, x) bottom-up.
            const int yUp = 119 - yTop;
            const int ux = 119 - yUp, uyTop = 79 - x;
            for (int c = 0; c < 4; ++c)
                ASSERT_NEAR(sideways[(static_cast<std::size_t>(yTop) * 80 + x) * 4 + c],
                            one[(static_cast<std::size_t>(uyTop) * 120 + ux) * 4 + c], 1)
                    << "first difference at x " << x << ", row " << yTop << " (from the top), channel " << c;
        }

    // A BGRA bitmap of the same picture draws the same pixels.
    Bitmap bgra = src;
    for (std::size_t i = 0; i < bgra.rgba.size(); i += 4) std::swap(bgra.rgba[i], bgra.rgba[i + 2]);
    auto fromBgra = CIImage::imageWithBitmapData(bgra.rgba, 301 * 4, 301, 203, CIFormat::BGRA8,
                                                 CIAlphaMode::Premultiplied, nullptr);
    EXPECT_EQ(draw(drawingContext(1), fromBgra, 120, 80, CGRectMake(0, 0, 120, 80)), one);
}

TEST(PreviewSampling, TinyAndDistantImagesDrawWithoutFaults) {
    // Bitmaps too thin to sample in pairs take the area path; pictures far off the surface draw nothing.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 40}, std::pair{40, 1}}) {
        Bitmap src{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 200)};
        auto pixels = draw(drawingContext(), imageOf(src), 4, 4, CGRectMake(0, 0, 0.9 * w, 0.9 * h));
        EXPECT_GT(pixels[(3 * 4) * 4 + 3], 0) << w << "x" << h;  // bottom-left pixel covered
    }
    Bitmap src = premultipliedBitmap(50, 50, 4);
    std::vector<std::uint8_t> pixels(16 * 16 * 4, 7);
    CIBitmapSurface surface{pixels.data(), 16, 16, 64, CIFormat::RGBA8};
    EXPECT_FALSE(
        drawingContext()->drawImage(imageOf(src), CGRectMake(1e6, 1e6, 10, 10), CGRectMake(0, 0, 50, 50), surface));
    EXPECT_EQ(pixels, std::vector<std::uint8_t>(16 * 16 * 4, 7));
}

TEST(PreviewSampling, WarmFramesAllocateNoScratchMemory) {
    auto image = filtered("CIVignette", imageOf(premultipliedBitmap(400, 300, 2)), {{"inputIntensity", Value(0.5)}});
    auto context = drawingContext(1);
    std::vector<std::uint8_t> pixels(150 * 100 * 4);
    CIBitmapSurface surface{pixels.data(), 150, 100, 600, CIFormat::BGRA8};
    ASSERT_TRUE(context->drawImage(image, CGRectMake(0, 0, 150, 100), image->extent(), surface));
    const std::size_t before = context->scratchAllocations();
    for (int i = 0; i < 5; ++i) context->drawImage(image, CGRectMake(0, 0, 150, 100), image->extent(), surface);
    EXPECT_EQ(context->scratchAllocations(), before);
}

TEST(RenderPool, BackToBackJobsRunEveryTaskOnceAndShutDownCleanly) {
    // Many small jobs in a row: workers pick them up while still watching for work, and a pool
    // destroyed right after a job does not hang.
    for (int round = 0; round < 3; ++round) {
        RenderPool pool(4);
        std::vector<std::atomic<int>> hits(3);
        for (int job = 0; job < 300; ++job)
            pool.run(hits.size(), 0, [&](std::size_t i, RenderArena&) { hits[i].fetch_add(1); });
        for (const auto& h : hits) EXPECT_EQ(h.load(), 300);
    }
}
