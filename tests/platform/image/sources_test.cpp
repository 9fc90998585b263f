// Image sources in every layout, frames shown turned, and renders from several threads at once.
#include <gtest/gtest.h>

#include <thread>
#include <utility>

#include "image_test_support.h"

using namespace imagetest;

TEST(Sources, LayoutsAndAlphaModesReadTheSamePicture) {
    Bitmap rgba = randomBitmap(13, 9, 21, false);
    // The same pixels as BGRA with padded rows, as straight floats, and premultiplied floats.
    const std::size_t padded = 13 * 4 + 12;
    std::vector<std::uint8_t> bgra(padded * 9, 0xAB);
    std::vector<float> straightFloats(13 * 9 * 4);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            const std::uint8_t* p = rgba.at(x, y);
            std::uint8_t* q = &bgra[static_cast<std::size_t>(y) * padded + static_cast<std::size_t>(x) * 4];
            q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = p[3];
            for (int c = 0; c < 4; ++c)
                straightFloats[(static_cast<std::size_t>(y) * 13 + static_cast<std::size_t>(x)) * 4 +
                               static_cast<std::size_t>(c)] = p[c] / 255.0f;
        }
    std::vector<std::uint8_t> floatBytes(straightFloats.size() * sizeof(float));
    std::memcpy(floatBytes.data(), straightFloats.data(), floatBytes.size());
    auto a = CIImage::imageWithBitmapData(rgba.rgba, 52, 13, 9, CIFormat::RGBA8, CIAlphaMode::Straight, nullptr);
    auto b = CIImage::imageWithBitmapData(bgra, padded, 13, 9, CIFormat::BGRA8, CIAlphaMode::Straight, nullptr);
    auto f = CIImage::imageWithBitmapData(floatBytes, 13 * 16, 13, 9, CIFormat::RGBAf, CIAlphaMode::Straight, nullptr);
    auto context = plainContext();
    auto ra = render(context, a, a->extent()), rb = render(context, b, b->extent()),
         rf = render(context, f, f->extent());
    ASSERT_FALSE(ra.rgba.empty());
    EXPECT_EQ(ra.rgba, rb.rgba);
    EXPECT_EQ(ra.rgba, rf.rgba);
    // Straight input comes out premultiplied; renderStraight gives the stored values back.
    std::vector<std::uint8_t> straight(13 * 9 * 4);
    ASSERT_TRUE(context->renderStraight(a, straight.data(), 52, a->extent(), CIFormat::RGBA8, nullptr));
    for (std::size_t i = 0; i < straight.size(); ++i) {
        if (rgba.rgba[i - i % 4 + 3] > 16) {
            ASSERT_NEAR(straight[i], rgba.rgba[i], 8) << i;
        }
    }
    // Float output keeps values finer than 8 bits.
    std::vector<float> out(13 * 9 * 4);
    ASSERT_TRUE(context->render(f, out.data(), 13 * 16, f->extent(), CIFormat::RGBAf, nullptr));
    EXPECT_FLOAT_EQ(out[3], straightFloats[3]);
    EXPECT_FLOAT_EQ(out[0], straightFloats[0] * straightFloats[3]);
}

TEST(Sources, ManyThreadsRenderingAtOnceGetTheSamePixels) {
    auto image = filtered("CIColorControls", imageOf(randomBitmap(200, 120, 5)), {{"inputContrast", Value(1.3)}});
    image = filtered("CIGaussianBlur", image, {{kCIInputRadiusKey, Value(2.0)}});
    auto shared = plainContext();
    auto expected = render(plainContext(1), image, CGRectMake(0, 0, 200, 120));
    std::vector<Bitmap> results(6);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            // Half share one context, half have their own.
            auto context = t % 2 ? shared : plainContext();
            for (int round = 0; round < 3; ++round) results[t] = render(context, image, CGRectMake(0, 0, 200, 120));
        });
    for (auto& t : threads) t.join();
    for (const auto& r : results) EXPECT_EQ(r.rgba, expected.rgba);
}

namespace {

// Where upright pixel (x, yFromTop) of a w x h bitmap shown with an EXIF orientation lies in the
// stored bitmap (stored width sw, height sh): the orientation's definition, written out.
std::pair<int, int> storedPixel(int orientation, int x, int y, int sw, int sh) {
    switch (orientation) {
        case 2: return {sw - 1 - x, y};
        case 3: return {sw - 1 - x, sh - 1 - y};
        case 4: return {x, sh - 1 - y};
        case 5: return {y, x};
        case 6: return {y, sh - 1 - x};
        case 7: return {sw - 1 - y, sh - 1 - x};
        case 8: return {sw - 1 - y, x};
        default: return {x, y};
    }
}

}  // namespace

TEST(Sources, AFrameShownTurnedIsCroppedAndReadPixelForPixelFromWhereItLies) {
    // A stored frame over several tiles each way, every pixel naming its place (red and blue the
    // column, green the row), in BGRA with padded rows as a camera hands it on.
    constexpr int kW = 300, kH = 77;
    const std::size_t stride = kW * 4 + 20;
    std::vector<std::uint8_t> frame(stride * kH, 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = &frame[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 4];
            p[0] = static_cast<std::uint8_t>(x >> 8), p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x & 0xFF), p[3] = 255;
        }
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(frame);
    std::shared_ptr<const std::uint8_t> bytes(pixels, pixels->data());
    auto context = plainContext();
    for (int orientation = 1; orientation <= 8; ++orientation) {
        auto image = CIImage::imageWithBitmapData(bytes, frame.size(), stride, kW, kH, CIFormat::BGRA8,
                                                  CIAlphaMode::Premultiplied, nullptr, orientation);
        ASSERT_NE(image, nullptr);
        const int w = static_cast<int>(image->extent().size.width), h = static_cast<int>(image->extent().size.height);
        ASSERT_EQ(w, orientation >= 5 ? kH : kW);
        // A crop off every edge (as a photo's ratio crops a frame), read as it is, mirrored either
        // way and turned a quarter by the request (a photo taken with the device on its side).
        // Each request maps an output pixel (X, Y) back to its upright place (counted from the
        // bottom).
        struct Request {
            const char* name;
            CGAffineTransform transform;
            std::pair<int, int> (*upright)(int X, int Y);
        };
        const Request requests[] = {
            {"as it is", CGAffineTransformIdentity,
             [](int X, int Y) {
                 return std::pair{X, Y};
             }},
            {"mirrored across", CGAffineTransformMakeScale(-1, 1),
             [](int X, int Y) {
                 return std::pair{-X - 1, Y};
             }},
            {"mirrored upside down", CGAffineTransformMakeScale(1, -1),
             [](int X, int Y) {
                 return std::pair{X, -Y - 1};
             }},
            {"turned a quarter",
             {0, 1, -1, 0, 0, 0},
             [](int X, int Y) {
                 return std::pair{Y, -X - 1};
             }},
        };
        const CGRect crop = CGRectMake(3, 5, w - 10, h - 12);
        for (const Request& request : requests) {
            SCOPED_TRACE("orientation " + std::to_string(orientation) + ", " + request.name);
            auto shown = image->imageByCroppingToRect(crop)->imageByApplyingTransform(request.transform);
            const CGRect area = shown->extent();
            Bitmap out = render(context, shown, area);
            ASSERT_FALSE(out.rgba.empty());
            ASSERT_EQ(double(out.width) * out.height, crop.size.width * crop.size.height);
            for (int oy = 0; oy < out.height; ++oy)
                for (int ox = 0; ox < out.width; ++ox) {
                    const auto [ux, uyUp] = request.upright(static_cast<int>(area.origin.x) + ox,
                                                            static_cast<int>(area.origin.y) + out.height - 1 - oy);
                    const auto [x, y] = storedPixel(orientation, ux, h - 1 - uyUp, kW, kH);
                    const std::uint8_t* p = out.at(ox, oy);
                    ASSERT_EQ(p[0] | (p[2] << 8), x) << "at " << ox << ", " << oy;
                    ASSERT_EQ(p[1], y) << "at " << ox << ", " << oy;
                    ASSERT_EQ(p[3], 255);
                }
            // The whole frame asked for with a margin: transparent around it (the reads stop at its
            // edges).
            auto whole = image->imageByApplyingTransform(request.transform);
            const CGRect extent = whole->extent();
            Bitmap wider = render(context, whole, CGRectInset(extent, -2, -3));
            ASSERT_EQ(wider.width, static_cast<int>(extent.size.width) + 4);
            for (int oy = 0; oy < wider.height; ++oy)
                for (int ox = 0; ox < wider.width; ++ox) {
                    const std::uint8_t* p = wider.at(ox, oy);
                    if (ox < 2 || ox >= wider.width - 2 || oy < 3 || oy >= wider.height - 3) {
                        ASSERT_EQ(p[0] | p[1] | p[2] | p[3], 0) << "at " << ox << ", " << oy;
                        continue;
                    }
                    const auto [ux, uyUp] = request.upright(static_cast<int>(extent.origin.x) + ox - 2,
                                                            static_cast<int>(extent.origin.y) + wider.height - 4 - oy);
                    const auto [x, y] = storedPixel(orientation, ux, h - 1 - uyUp, kW, kH);
                    ASSERT_EQ(p[0] | (p[2] << 8), x) << "at " << ox << ", " << oy;
                    ASSERT_EQ(p[1], y) << "at " << ox << ", " << oy;
                }
        }
    }
}

TEST(Sources, AFrameShownTurnedAveragesAsItsPixels) {
    // The average of a whole frame on its side is that of its pixels as stored, to the level,
    // and an area reaching past the frame counts what lies outside as transparent (a small frame,
    // and one large enough to be summed on several threads).
    auto context = plainContext();
    auto average = [&](const std::shared_ptr<CIImage>& image, CGRect area) {
        auto a = filtered("CIAreaAverage", image, {{kCIInputExtentKey, Value(CIVector::vectorWithCGRect(area))}});
        return render(context, a, a->extent()).rgba;
    };
    for (auto [w, h] : {std::pair{64, 40}, std::pair{1280, 960}}) {
        // Opaque, each channel with a mean of its own.
        Bitmap src = randomBitmap(w, h, 3);
        for (std::size_t i = 0; i < src.rgba.size(); i += 4)
            src.rgba[i] = static_cast<std::uint8_t>(src.rgba[i] / 4), src.rgba[i + 1] /= 2;
        double mean[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < src.rgba.size(); ++i) mean[i % 4] += src.rgba[i];
        for (double& m : mean) m /= static_cast<double>(w) * h;
        auto rgba = std::make_shared<std::vector<std::uint8_t>>(src.rgba);
        auto bgra = std::make_shared<std::vector<std::uint8_t>>(src.rgba);
        for (std::size_t i = 0; i < bgra->size(); i += 4) std::swap((*bgra)[i], (*bgra)[i + 2]);
        for (auto [orientation, layout] : {std::pair{1, CIFormat::RGBA8}, std::pair{6, CIFormat::BGRA8},
                                           std::pair{7, CIFormat::RGBA8}, std::pair{8, CIFormat::BGRA8}}) {
            SCOPED_TRACE(std::to_string(w) + " wide, orientation " + std::to_string(orientation));
            const auto& owner = layout == CIFormat::RGBA8 ? rgba : bgra;
            auto image = CIImage::imageWithBitmapData(std::shared_ptr<const std::uint8_t>(owner, owner->data()),
                                                      owner->size(), static_cast<std::size_t>(w) * 4, w, h, layout,
                                                      CIAlphaMode::Premultiplied, nullptr, orientation);
            const CGRect extent = image->extent();
            auto whole = average(image, extent);
            auto wider = average(image, CGRectInset(extent, -extent.size.width / 2, 0));
            ASSERT_EQ(whole.size(), 4u);
            ASSERT_EQ(wider.size(), 4u);
            for (int c = 0; c < 4; ++c) {
                EXPECT_NEAR(whole[c], mean[c], 0.5);
                EXPECT_NEAR(wider[c], mean[c] / 2, 0.5);
            }
        }
    }
}
