// Rendering: tiles and threads change nothing, geometry composes, bad requests fail cleanly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "image_test_support.h"
#include "platform/image/affine_value.h"
#include "platform/runtime/log.h"

using namespace imagetest;

namespace {

// A chain with every kind of step: geometry, neighbourhoods, fused colour steps, a composite.
std::shared_ptr<CIImage> busyChain(const std::shared_ptr<CIImage>& source) {
    auto image = source->imageByApplyingTransform(CGAffineTransformMakeRotation(M_PI / 2));
    image = image->imageByApplyingTransform(CGAffineTransformMakeTranslation(source->extent().size.height, 0));
    image = image->imageByApplyingTransform(CGAffineTransformMakeScale(0.85, 0.7));  // area resampling
    image = filtered("CINoiseReduction", image, {{"inputNoiseLevel", Value(0.1)}, {"inputSharpness", Value(0.5)}});
    image = filtered("CIToneCurve", image, {{"inputPoint1", Value(CIVector::vectorWithX(0.2, 0.3))}});
    image = filtered("CIVignette", image, {{"inputIntensity", Value(0.6)}, {"inputRadius", Value(0.8)}});
    image = filtered("CIColorControls", image, {{"inputSaturation", Value(1.4)}, {"inputContrast", Value(1.2)}});
    image = filtered("CIGaussianBlur", image, {{"inputRadius", Value(1.5)}});
    auto back = CIImage::imageWithColor(CIColor::colorWithRed(0.2, 0.4, 0.6, 1));
    return image->imageByCompositingOverImage(back)->imageByCroppingToRect(CGRectMake(-5, -5, 400, 700));
}

}  // namespace

TEST(Render, TilesThreadsAndPiecesGiveIdenticalPixels) {
    // Large enough for many tiles in both directions, small enough for a quick sanitised run.
    Bitmap src = randomBitmap(300, 530, 11);
    auto image = busyChain(imageOf(src));
    CGRect whole = CGRectMake(-3, -3, 540, 310);
    auto single = render(plainContext(1), image, whole);
    auto parallel = render(plainContext(0), image, whole);
    ASSERT_FALSE(single.rgba.empty());
    EXPECT_EQ(single.rgba, parallel.rgba);
    // Rendered in four uneven pieces and put together.
    auto context = plainContext(3);
    for (auto piece : {CGRectMake(-3, -3, 200, 100), CGRectMake(197, -3, 340, 100), CGRectMake(-3, 97, 200, 210),
                       CGRectMake(197, 97, 340, 210)}) {
        auto part = render(context, image, piece);
        ASSERT_FALSE(part.rgba.empty());
        int ox = static_cast<int>(piece.origin.x - whole.origin.x);
        int oyTop = static_cast<int>((whole.origin.y + whole.size.height) - (piece.origin.y + piece.size.height));
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x)
                for (int c = 0; c < 4; ++c)
                    ASSERT_EQ(part.at(x, y)[c], single.at(x + ox, y + oyTop)[c])
                        << "piece at (" << piece.origin.x << ", " << piece.origin.y << ") pixel " << x << "," << y;
    }
}

TEST(Render, RowAtATimeColourChainsMatchTheTiledPath) {
    // A colour chain straight over a bitmap runs row by row; with a crop in between it takes the
    // tiled path. Both must give the same pixels, translucent ones and the bitmap's edges included.
    Bitmap src = randomBitmap(70, 40, 31, false);
    auto image = CIImage::imageWithBitmapData(src.rgba, 280, 70, 40, CIFormat::RGBA8, CIAlphaMode::Straight,
                                              CGColorSpaceCreateWithName(kCGColorSpaceDisplayP3));
    auto chain = [](std::shared_ptr<CIImage> in) {
        in = filtered("CIVignette", in, {{"inputIntensity", Value(0.7)}});
        in = filtered("CIToneCurve", in, {{"inputPoint2", Value(CIVector::vectorWithX(0.5, 0.6))}});
        return filtered("CIColorControls", in, {{"inputSaturation", Value(1.5)}});
    };
    auto direct = chain(image);
    auto tiled = chain(image->imageByCroppingToRect(CGRectMake(-100, -100, 400, 400)));
    for (auto context : {plainContext(), CIContext::contextWithOptions({})}) {
        std::vector<std::uint8_t> a(80 * 50 * 4), b(80 * 50 * 4);
        ASSERT_TRUE(context->render(direct, a.data(), 320, CGRectMake(-5, -5, 80, 50), CIFormat::RGBA8,
                                    context->outputColorSpace()));
        ASSERT_TRUE(context->render(tiled, b.data(), 320, CGRectMake(-5, -5, 80, 50), CIFormat::RGBA8,
                                    context->outputColorSpace()));
        EXPECT_EQ(a, b);
    }
}

TEST(Render, CropOfRotatedEqualsRotationOfMatchingCrop) {
    auto context = plainContext();
    Bitmap src = randomBitmap(64, 48, 5);
    auto image = imageOf(src);
    // Quarter turns, a half turn, a mirror, each with a translation.
    for (CGAffineTransform t : {CGAffineTransform{0, 1, -1, 0, 7, 0}, CGAffineTransform{-1, 0, 0, -1, 0, 3},
                                CGAffineTransform{0, -1, 1, 0, 0, 0}, CGAffineTransform{-1, 0, 0, 1, 64, 2}}) {
        CGRect crop = CGRectMake(10, 5, 20, 30);  // in the source's space
        CGRect rotatedCrop = CGRectIntegral(CGRectApplyAffineTransform(crop, t));
        auto a = image->imageByApplyingTransform(t)->imageByCroppingToRect(rotatedCrop);
        auto b = image->imageByCroppingToRect(crop)->imageByApplyingTransform(t);
        EXPECT_EQ(a->extent(), b->extent());
        auto pa = render(context, a, a->extent()), pb = render(context, b, b->extent());
        ASSERT_FALSE(pa.rgba.empty());
        EXPECT_EQ(pa.rgba, pb.rgba) << "transform " << t.a << " " << t.b << " " << t.c << " " << t.d;
    }
}

TEST(Render, QuarterTurnsOfByteBitmapsMatchTheSameTurnOfTheirFloats) {
    // Quarter turns at unit scale gather an 8-bit bitmap's pixels turned before converting them;
    // the same turn of the bitmap's own float values (read the general way) gives the same
    // floats, in either byte order, with straight alpha, and where tiles reach past the edges.
    auto context = plainContext();
    const int w = 301, h = 45;
    const Bitmap src = randomBitmap(w, h, 9, false);
    auto floatsOf = [&](const std::shared_ptr<CIImage>& image, CGRect rect) {
        std::vector<std::uint8_t> px(static_cast<std::size_t>(rect.size.width * rect.size.height) * 16);
        EXPECT_TRUE(context->render(image, px.data(), static_cast<std::size_t>(rect.size.width) * 16, rect,
                                    CIFormat::RGBAf, nullptr));
        return px;
    };
    for (CIFormat format : {CIFormat::RGBA8, CIFormat::BGRA8})
        for (CIAlphaMode alpha : {CIAlphaMode::Premultiplied, CIAlphaMode::Straight}) {
            auto bytes =
                CIImage::imageWithBitmapData(src.rgba, static_cast<std::size_t>(w) * 4, w, h, format, alpha, nullptr);
            auto floats =
                CIImage::imageWithBitmapData(floatsOf(bytes, CGRectMake(0, 0, w, h)), static_cast<std::size_t>(w) * 16,
                                             w, h, CIFormat::RGBAf, CIAlphaMode::Premultiplied, nullptr);
            for (CGAffineTransform t : {CGAffineTransform{0, 1, -1, 0, 7, 0}, CGAffineTransform{0, -1, 1, 0, 0, 3}}) {
                const CGRect area =
                    CGRectInset(CGRectIntegral(CGRectApplyAffineTransform(CGRectMake(0, 0, w, h), t)), -9, -40);
                auto a = floatsOf(bytes->imageByApplyingTransform(t), area);
                auto b = floatsOf(floats->imageByApplyingTransform(t), area);
                EXPECT_TRUE(a == b) << "format " << int(format) << " alpha " << int(alpha) << " turn " << t.b;
            }
        }
}

TEST(Render, QuarterTurnsMoveExactPixels) {
    Bitmap src = randomBitmap(5, 3, 2);
    auto image = imageOf(src);
    // A quarter turn anticlockwise: the top row (left to right) becomes the left column (bottom up).
    auto turned = image->imageByApplyingTransform(CGAffineTransformMakeRotation(M_PI / 2));
    EXPECT_EQ(CGRectIntegral(turned->extent()), CGRectMake(-3, 0, 3, 5));
    auto out = render(plainContext(), turned, CGRectMake(-3, 0, 3, 5));
    ASSERT_EQ(out.width, 3);
    for (int x = 0; x < 5; ++x)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(out.at(0, 4 - x)[c], src.at(x, 0)[c]);
    // Orientation 3 turns the picture half way, keeping it at the origin.
    auto upside = image->imageByApplyingOrientation(3);
    EXPECT_EQ(upside->extent(), CGRectMake(0, 0, 5, 3));
    auto flipped = render(plainContext(), upside, upside->extent());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(flipped.at(x, y)[1], src.at(4 - x, 2 - y)[1]);
    // Orientation 6 turns a 5 x 3 picture into a 3 x 5 one at the origin.
    EXPECT_EQ(image->imageByApplyingOrientation(6)->extent(), CGRectMake(0, 0, 3, 5));
}

TEST(Render, EveryOrientationMovesExactPixelsAtAnySize) {
    // Sizes that are not whole vectors or blocks, with tiles cut across them: each orientation
    // is a plain re-indexing of the pixels (rows of the bitmaps top first).
    for (auto [w, h] : {std::pair{67, 29}, std::pair{301, 45}}) {
        Bitmap src = randomBitmap(w, h, static_cast<unsigned>(w));
        auto image = imageOf(src);
        for (int o = 1; o <= 8; ++o) {
            auto oriented = image->imageByApplyingOrientation(o);
            const bool turned = o >= 5;
            const int ow = turned ? h : w, oh = turned ? w : h;
            ASSERT_EQ(oriented->extent(), CGRectMake(0, 0, ow, oh)) << o;
            auto out = render(plainContext(), oriented, oriented->extent());
            for (int y = 0; y < oh; ++y)
                for (int x = 0; x < ow; ++x) {
                    int sx = x, sy = y;
                    switch (o) {
                        case 2: sx = w - 1 - x; break;
                        case 3: sx = w - 1 - x, sy = h - 1 - y; break;
                        case 4: sy = h - 1 - y; break;
                        case 5: sx = y, sy = x; break;
                        case 6: sx = y, sy = h - 1 - x; break;
                        case 7: sx = w - 1 - y, sy = h - 1 - x; break;
                        case 8: sx = w - 1 - y, sy = x; break;
                        default: break;
                    }
                    ASSERT_EQ(0, std::memcmp(out.at(x, y), src.at(sx, sy), 4))
                        << "orientation " << o << " at (" << x << ", " << y << ") of " << w << "x" << h;
                }
        }
    }
}

TEST(Render, DownScalingAveragesAreas) {
    // A 2 x 2 checker of black and white scaled by one half is mid-grey everywhere.
    Bitmap src{8, 8, std::vector<std::uint8_t>(8 * 8 * 4, 255)};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x + y) % 2)
                for (int c = 0; c < 3; ++c) src.rgba[(y * 8 + x) * 4 + c] = 0;
    auto half = imageOf(src)->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
    auto out = render(plainContext(), half, CGRectMake(0, 0, 4, 4));
    ASSERT_FALSE(out.rgba.empty());
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        EXPECT_NEAR(out.rgba[i], 128, 1);
        EXPECT_EQ(out.rgba[i + 3], 255);
    }
}

TEST(Render, HalvingMatchesBlockAverages) {
    // Each output pixel of a 2:1 reduction is the mean of its 2 x 2 block, also when the rendered
    // rectangle reaches past the image (as neighbourhood filters ask for margins).
    Bitmap src = randomBitmap(40, 30, 17);
    auto half = imageOf(src)->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
    auto out = render(plainContext(), half, CGRectMake(0, 0, 20, 15));
    auto wide = render(plainContext(), half, CGRectMake(-1, -1, 22, 17));
    ASSERT_FALSE(out.rgba.empty());
    ASSERT_FALSE(wide.rgba.empty());
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x)
            for (int c = 0; c < 4; ++c) {
                double sum = src.at(2 * x, 2 * y)[c] + src.at(2 * x + 1, 2 * y)[c] + src.at(2 * x, 2 * y + 1)[c] +
                             src.at(2 * x + 1, 2 * y + 1)[c];
                ASSERT_NEAR(out.at(x, y)[c], sum / 4, 1.0) << x << "," << y;
                ASSERT_EQ(wide.at(x + 1, y + 1)[c], out.at(x, y)[c]) << x << "," << y;
            }
    EXPECT_EQ(wide.at(0, 0)[3], 0);
}

TEST(Render, BadRequestsFailWithoutWriting) {
    LogCapture log;
    auto context =
        CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)},
                                       {kCIContextMaximumOutputSize, Value(CIVector::vectorWithX(64, 64))},
                                       {kCIContextMaximumInputSize, Value(CIVector::vectorWithX(100, 100))}});
    auto image = imageOf(randomBitmap(16, 16, 1));
    std::vector<std::uint8_t> buffer(128 * 128 * 4, 7);
    auto untouched = buffer;
    // Empty, null and infinite rectangles.
    EXPECT_FALSE(context->render(image, buffer.data(), 512, CGRectMake(0, 0, 0, 10), CIFormat::RGBA8, nullptr));
    EXPECT_FALSE(context->render(image, buffer.data(), 512, CGRectNull(), CIFormat::RGBA8, nullptr));
    auto colour = CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0));
    EXPECT_FALSE(context->render(colour, buffer.data(), 512, colour->extent(), CIFormat::RGBA8, nullptr));
    EXPECT_EQ(context->createCGImage(colour, colour->extent()), nullptr);
    EXPECT_FALSE(context->JPEGRepresentationOfImage(colour, nullptr).has_value());
    // Over the limits: output size, and a source larger than the input limit.
    EXPECT_FALSE(context->render(image, buffer.data(), 512, CGRectMake(0, 0, 65, 10), CIFormat::RGBA8, nullptr));
    auto big = imageOf(randomBitmap(101, 2, 1));
    EXPECT_EQ(context->createCGImage(big, CGRectMake(0, 0, 10, 2)), nullptr);
    // Rows too short, no buffer, no image.
    EXPECT_FALSE(context->render(image, buffer.data(), 40, CGRectMake(0, 0, 16, 16), CIFormat::RGBA8, nullptr));
    EXPECT_FALSE(context->render(image, nullptr, 64, CGRectMake(0, 0, 16, 16), CIFormat::RGBA8, nullptr));
    EXPECT_FALSE(context->render(nullptr, buffer.data(), 64, CGRectMake(0, 0, 16, 16), CIFormat::RGBA8, nullptr));
    EXPECT_EQ(buffer, untouched);
    EXPECT_TRUE(log.contains("maximum output size"));
    // Images of zero size are refused when made; the empty image has nothing to render.
    EXPECT_EQ(CIImage::imageWithBitmapData(std::vector<std::uint8_t>{}, 0, 0, 0, CIFormat::RGBA8), nullptr);
    EXPECT_EQ(CIImage::imageWithBitmapData(std::vector<std::uint8_t>(16), 16, 4, 4, CIFormat::RGBA8), nullptr);
    EXPECT_EQ(context->createCGImage(CIImage::emptyImage(), CIImage::emptyImage()->extent()), nullptr);
    EXPECT_TRUE(CGRectIsEmpty(CIImage::emptyImage()->extent()));
    // Numbers beyond any bitmap, and a buffer length that would overflow.
    EXPECT_FALSE(context->render(image, buffer.data(), 512, CGRectMake(1e300, 0, 10, 10), CIFormat::RGBA8, nullptr));
    EXPECT_FALSE(context->render(image, buffer.data(), 512, CGRectMake(NAN, 0, 10, 10), CIFormat::RGBA8, nullptr));
    EXPECT_EQ(CIImage::imageWithBitmapData(std::vector<std::uint8_t>(64), SIZE_MAX / 2, 4, 4, CIFormat::RGBA8),
              nullptr);
    EXPECT_EQ(buffer, untouched);
}

TEST(Render, ExtremeParametersStayBounded) {
    auto image = imageOf(randomBitmap(16, 16, 4));
    auto broken = image->imageByApplyingTransform({NAN, 0, 0, 1, 0, 0});
    EXPECT_TRUE(CGRectIsEmpty(broken->extent()));
    // A huge blur radius renders (as a wide average) instead of asking for endless memory.
    auto blurred = filtered("CIGaussianBlur", image->imageByClampingToExtent(), {{kCIInputRadiusKey, Value(1e9)}});
    auto out = render(plainContext(), blurred->imageByCroppingToRect(CGRectMake(0, 0, 8, 8)), CGRectMake(0, 0, 8, 8));
    EXPECT_EQ(out.rgba.size(), 8u * 8 * 4);
    // A singular transform (scale by zero) gives nothing to render, not a crash.
    auto flat = image->imageByApplyingTransform(CGAffineTransformMakeScale(0, 1));
    EXPECT_EQ(plainContext()->createCGImage(flat, flat->extent()), nullptr);
}

TEST(Render, InfiniteImagesRenderOnceCropped) {
    auto colour = CIImage::imageWithColor(CIColor::colorWithRed(1, 0.5, 0, 0.5));
    EXPECT_TRUE(CGRectIsInfinite(colour->extent()));
    auto out = render(plainContext(), colour->imageByCroppingToRect(CGRectMake(0, 0, 3, 2)), CGRectMake(0, 0, 3, 2));
    ASSERT_EQ(out.rgba.size(), 24u);
    // Premultiplied: (0.5, 0.25, 0, 0.5).
    EXPECT_EQ(out.rgba[0], 128);
    EXPECT_EQ(out.rgba[1], 64);
    EXPECT_EQ(out.rgba[2], 0);
    EXPECT_EQ(out.rgba[3], 128);
    // Clamped images repeat their edge pixels.
    Bitmap src = randomBitmap(2, 1, 9);
    auto clamped = imageOf(src)->imageByClampingToExtent();
    EXPECT_TRUE(CGRectIsInfinite(clamped->extent()));
    auto wide = render(plainContext(), clamped, CGRectMake(-2, -1, 6, 3));
    ASSERT_FALSE(wide.rgba.empty());
    for (int y = 0; y < 3; ++y) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(wide.at(0, y)[c], src.at(0, 0)[c]);
            EXPECT_EQ(wide.at(5, y)[c], src.at(1, 0)[c]);
        }
    }
}
