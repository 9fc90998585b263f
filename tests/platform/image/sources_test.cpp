// Image sources in every layout, and renders from several threads at once.
#include <gtest/gtest.h>

#include <thread>

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
