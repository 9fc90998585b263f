// Geometry filters: straightening, perspective correction and stretch-crop against point maps
// computed here.
#include "filters2_support.h"

using namespace imagetest;
using namespace filters2;

namespace {
Value vec(std::vector<double> v) {
    return Value(CIVector::vectorWithValues(std::move(v)));
}
}  // namespace

TEST(Filters2Geometry, StraightenRotatesAndFillsTheExtent) {
    Bitmap src = premultipliedBitmap(40, 30, 51, true);
    auto image = imageOf(src);
    EXPECT_EQ(filtered("CIStraightenFilter", image), image);
    auto out = filtered("CIStraightenFilter", image, {{"inputAngle", Value(0.2)}});
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->extent(), image->extent());
    // Every pixel is covered (the scale-up leaves no transparent corner).
    auto bitmap = render(plainContext(1), out, CGRectMake(0, 0, 40, 30));
    for (std::size_t i = 3; i < bitmap.rgba.size(); i += 4) ASSERT_EQ(bitmap.rgba[i], 255) << i / 4;
    // The centre stays where it is.
    auto centre = render(plainContext(1), filtered("CIStraightenFilter", image, {{"inputAngle", Value(M_PI)}}),
                         CGRectMake(19, 14, 2, 2));
    auto original = render(plainContext(1), image, CGRectMake(19, 14, 2, 2));
    // A half turn swaps the four centre pixels diagonally.
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(centre.at(0, 0)[c], original.at(1, 1)[c], 12);
}

TEST(Filters2Geometry, PerspectiveCorrectionMapsTheQuadOntoARectangle) {
    Bitmap src = premultipliedBitmap(64, 48, 53, true);
    auto image = imageOf(src);
    // A quad that is already an upright rectangle gives those pixels back.
    auto same = filtered("CIPerspectiveCorrection", image,
                         {{"inputTopLeft", vec({8, 40})},
                          {"inputTopRight", vec({48, 40})},
                          {"inputBottomRight", vec({48, 10})},
                          {"inputBottomLeft", vec({8, 10})}});
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->extent(), CGRectMake(8, 10, 40, 30));
    auto a = render(plainContext(1), same, CGRectMake(8, 10, 40, 30));
    auto b = render(plainContext(1), image, CGRectMake(8, 10, 40, 30));
    for (std::size_t i = 0; i < a.rgba.size(); ++i) ASSERT_NEAR(a.rgba[i], b.rgba[i], 1) << i;
    // A trapezoid over a smooth ramp (red = 4 x, green = 5 y) so colours tell where each output
    // pixel was read from: the output's corners come from the quad's corners.
    Bitmap ramp{64, 48, std::vector<std::uint8_t>(64 * 48 * 4, 255)};
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = &ramp.rgba[((47 - y) * 64 + x) * 4];
            p[0] = static_cast<std::uint8_t>(4 * x), p[1] = static_cast<std::uint8_t>(5 * y), p[2] = 128;
        }
    auto fixed = filtered("CIPerspectiveCorrection", imageOf(ramp),
                          {{"inputTopLeft", vec({20, 44})},
                           {"inputTopRight", vec({44, 44})},
                           {"inputBottomRight", vec({60, 4})},
                           {"inputBottomLeft", vec({4, 4})}});
    ASSERT_NE(fixed, nullptr);
    const CGRect e = fixed->extent();
    EXPECT_EQ(e, CGRectMake(4, 4, 56, std::hypot(16, 40)));
    auto out = render(plainContext(1), fixed, CGRectMake(4, 4, 56, 43));
    auto expectFrom = [&](int i, int jTop, double sx, double sy) {
        EXPECT_NEAR(out.at(i, jTop)[0], 4 * (sx - 0.5), 6) << i << "," << jTop;
        EXPECT_NEAR(out.at(i, jTop)[1], 5 * (sy - 0.5), 8) << i << "," << jTop;
    };
    expectFrom(0, 42, 4.5, 4.5);    // bottom left
    expectFrom(55, 42, 59.5, 4.5);  // bottom right
    expectFrom(0, 0, 20.3, 43.5);   // top left
    expectFrom(55, 0, 43.7, 43.5);  // top right
    expectFrom(28, 42, 32, 4.5);    // the bottom edge is mapped evenly
    // A degenerate quad gives no output.
    EXPECT_EQ(filtered("CIPerspectiveCorrection", image,
                       {{"inputTopLeft", vec({5, 5})},
                        {"inputTopRight", vec({5, 5})},
                        {"inputBottomRight", vec({5, 5})},
                        {"inputBottomLeft", vec({5, 5})}}),
              nullptr);
}

TEST(Filters2Geometry, StretchCropFillsTheRequestedSize) {
    // Columns of distinct colours so horizontal positions can be told apart.
    Bitmap src{40, 10, std::vector<std::uint8_t>(40 * 10 * 4, 255)};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) src.rgba[(y * 40 + x) * 4] = static_cast<std::uint8_t>(x * 6);
    auto image = imageOf(src);
    auto out = filtered(
        "CIStretchCrop", image,
        {{"inputSize", vec({40, 20})}, {"inputCropAmount", Value(0.0)}, {"inputCenterStretchAmount", Value(1.0)}});
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->extent(), CGRectMake(0, 0, 40, 20));
    // No cropping and an even stretch: the whole input squeezed to the width, doubled in height.
    auto bitmap = render(plainContext(1), out, CGRectMake(0, 0, 40, 20));
    for (int x = 1; x < 39; ++x) EXPECT_NEAR(bitmap.at(x, 10)[0], x * 6, 4) << x;
    for (std::size_t i = 3; i < bitmap.rgba.size(); i += 4) ASSERT_EQ(bitmap.rgba[i], 255);
    // Cropping everything keeps the centre at its natural scale: the middle columns come from
    // the middle of the input.
    auto cropped = filtered("CIStretchCrop", image, {{"inputSize", vec({40, 20})}, {"inputCropAmount", Value(1.0)}});
    auto c = render(plainContext(1), cropped, CGRectMake(0, 0, 40, 20));
    EXPECT_NEAR(c.at(20, 10)[0], 20 * 6, 8);
    EXPECT_NEAR(c.at(0, 10)[0], 10 * 6, 8);
    EXPECT_EQ(filtered("CIStretchCrop", image, {{"inputSize", vec({0, 20})}}), nullptr);
}

TEST(Filters2Geometry, PerspectiveNearItsHorizonStaysBounded) {
    // Without cropping, a quad whose top edge nearly vanishes maps the input towards infinity;
    // rendering a window of it must neither crash nor ask for unbounded memory.
    Bitmap src = premultipliedBitmap(64, 48, 57, true);
    auto out = filtered("CIPerspectiveCorrection", imageOf(src),
                        {{"inputTopLeft", vec({30, 40})},
                         {"inputTopRight", vec({30.01, 40})},
                         {"inputBottomRight", vec({60, 2})},
                         {"inputBottomLeft", vec({2, 2})},
                         {"inputCrop", Value(0)}});
    ASSERT_NE(out, nullptr);
    const CGRect e = out->extent();
    EXPECT_FALSE(render(plainContext(1), out, CGRectMake(e.origin.x, e.origin.y, 300, 200)).rgba.empty());
}
