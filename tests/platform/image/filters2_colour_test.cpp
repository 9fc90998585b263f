// Per-pixel colour filters against references computed here, on small random images.
#include "filters2_support.h"

using namespace imagetest;
using namespace filters2;

namespace {

Value vec(std::vector<double> v) {
    return Value(CIVector::vectorWithValues(std::move(v)));
}
Value colour(double r, double g, double b, double a = 1) {
    return Value(CIColor::colorWithRed(r, g, b, a));
}

double srgbEncode(double x) {
    return x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
}
double srgbDecode(double x) {
    return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
}

}  // namespace

TEST(Filters2Colour, ToneStepsFollowTheirFormulas) {
    Bitmap src = premultipliedBitmap(16, 6, 3, false);
    auto image = imageOf(src);
    expectPixels(filtered("CIExposureAdjust", image, {{"inputEV", Value(0.7)}}), src, [](Pixel p, double, double) {
        for (int c = 0; c < 3; ++c) p[c] *= std::pow(2.0, 0.7);
        return p;
    });
    expectPixels(filtered("CIGammaAdjust", image, {{"inputPower", Value(1.8)}}), src, [](Pixel p, double, double) {
        for (int c = 0; c < 3; ++c) p[c] = std::pow(p[c], 1.8);
        return p;
    });
    expectPixels(filtered("CILinearToSRGBToneCurve", image), src, [](Pixel p, double, double) {
        for (int c = 0; c < 3; ++c) p[c] = srgbEncode(p[c]);
        return p;
    });
    expectPixels(filtered("CISRGBToneCurveToLinear", image), src, [](Pixel p, double, double) {
        for (int c = 0; c < 3; ++c) p[c] = srgbDecode(p[c]);
        return p;
    });
    // Identity settings give the input image itself.
    EXPECT_EQ(filtered("CIExposureAdjust", image), image);
    EXPECT_EQ(filtered("CIGammaAdjust", image), image);
}

TEST(Filters2Colour, MatricesAndPolynomialsIncludingAlpha) {
    Bitmap src = premultipliedBitmap(12, 7, 5, false);
    auto image = imageOf(src);
    const std::array<std::array<double, 4>, 5> m = {{{0.5, 0.2, 0.1, 0.1},
                                                     {0.1, 0.9, -0.2, 0.0},
                                                     {0.3, 0.1, 0.6, 0.2},
                                                     {0.0, 0.1, 0.0, 0.8},
                                                     {0.05, -0.1, 0.02, 0.1}}};
    expectPixels(filtered("CIColorMatrix", image,
                          {{"inputRVector", vec({m[0].begin(), m[0].end()})},
                           {"inputGVector", vec({m[1].begin(), m[1].end()})},
                           {"inputBVector", vec({m[2].begin(), m[2].end()})},
                           {"inputAVector", vec({m[3].begin(), m[3].end()})},
                           {"inputBiasVector", vec({m[4].begin(), m[4].end()})}}),
                 src, [&m](Pixel p, double, double) {
                     Pixel q;
                     for (int r = 0; r < 4; ++r)
                         q[r] = m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2] + m[r][3] * p[3] + m[4][r];
                     return q;
                 });
    expectPixels(filtered("CIColorClamp", image,
                          {{"inputMinComponents", vec({0.1, 0.2, 0.3, 0.5})},
                           {"inputMaxComponents", vec({0.8, 0.9, 0.7, 0.9})}}),
                 src, [](Pixel p, double, double) {
                     const double lo[4] = {0.1, 0.2, 0.3, 0.5}, hi[4] = {0.8, 0.9, 0.7, 0.9};
                     for (int c = 0; c < 4; ++c) p[c] = std::clamp(p[c], lo[c], hi[c]);
                     return p;
                 });
    const double k[4][4] = {{0.1, 0.5, 0.3, 0.1}, {0, 1.2, -0.4, 0.2}, {0.05, 0.8, 0, 0.1}, {0, 0.9, 0, 0}};
    expectPixels(filtered("CIColorPolynomial", image,
                          {{"inputRedCoefficients", vec({0.1, 0.5, 0.3, 0.1})},
                           {"inputGreenCoefficients", vec({0, 1.2, -0.4, 0.2})},
                           {"inputBlueCoefficients", vec({0.05, 0.8, 0, 0.1})},
                           {"inputAlphaCoefficients", vec({0, 0.9, 0, 0})}}),
                 src, [&k](Pixel p, double, double) {
                     for (int c = 0; c < 4; ++c)
                         p[c] = k[c][0] + k[c][1] * p[c] + k[c][2] * p[c] * p[c] + k[c][3] * p[c] * p[c] * p[c];
                     return p;
                 });
    const std::vector<double> cr{0.8, 0.1, 0.0, 0.1, 0, 0, 0.05, 0, 0, 0.02}, cg{0, 0.7, 0.2, 0, 0.1, 0, 0, 0.1, 0, 0},
        cb{0.1, 0, 0.6, 0, 0, 0.2, 0, 0, 0.1, -0.05};
    expectPixels(filtered("CIColorCrossPolynomial", image,
                          {{"inputRedCoefficients", vec(cr)},
                           {"inputGreenCoefficients", vec(cg)},
                           {"inputBlueCoefficients", vec(cb)}}),
                 src, [&](Pixel p, double, double) {
                     const double r = p[0], g = p[1], b = p[2];
                     const double t[10] = {r, g, b, r * r, g * g, b * b, r * g, g * b, b * r, 1};
                     const std::vector<double>* cs[3] = {&cr, &cg, &cb};
                     for (int c = 0; c < 3; ++c) {
                         p[c] = 0;
                         for (int j = 0; j < 10; ++j) p[c] += (*cs[c])[j] * t[j];
                     }
                     return p;
                 });
}

TEST(Filters2Colour, HueRotatesAboutGreyAndWhitePointScales) {
    Bitmap src = premultipliedBitmap(10, 6, 9, true);
    auto image = imageOf(src);
    expectPixels(filtered("CIHueAdjust", image, {{"inputAngle", Value(1.1)}}), src, [](Pixel p, double, double) {
        // Rodrigues' rotation of the colour vector about the unit grey axis.
        const double k = 1 / std::sqrt(3.0), c = std::cos(1.1), s = std::sin(1.1);
        const double v[3] = {p[0], p[1], p[2]};
        const double cross[3] = {k * (v[2] - v[1]), k * (v[0] - v[2]), k * (v[1] - v[0])};
        const double dot = k * (v[0] + v[1] + v[2]);
        for (int i = 0; i < 3; ++i) p[i] = v[i] * c + cross[i] * s + k * dot * (1 - c);
        return p;
    });
    // A full turn is the identity; grey stays grey at any angle.
    expectPixels(filtered("CIHueAdjust", image, {{"inputAngle", Value(2 * M_PI)}}), src,
                 [](Pixel p, double, double) { return p; });
    expectPixels(filtered("CIWhitePointAdjust", image, {{"inputColor", colour(0.8, 0.9, 0.5)}}), src,
                 [](Pixel p, double, double) {
                     return Pixel{p[0] / 0.8, p[1] / 0.9, p[2] / 0.5, p[3]};
                 });
}

TEST(Filters2Colour, EffectsMapLumaAndQuantise) {
    Bitmap src = premultipliedBitmap(16, 5, 13, false);
    auto image = imageOf(src);
    auto mix = [](double a, double b, double t) { return a + (b - a) * t; };
    expectPixels(
        filtered("CIColorMonochrome", image, {{"inputColor", colour(0.6, 0.45, 0.3)}, {"inputIntensity", Value(0.75)}}),
        src, [&](Pixel p, double, double) {
            const double y = luma(p), yc = 0.2126 * 0.6 + 0.7152 * 0.45 + 0.0722 * 0.3;
            const double c[3] = {0.6, 0.45, 0.3};
            for (int i = 0; i < 3; ++i) p[i] = mix(p[i], y * c[i] / yc, 0.75);
            return p;
        });
    expectPixels(filtered("CISepiaTone", image, {{"inputIntensity", Value(1.0)}}), src, [](Pixel p, double, double) {
        return Pixel{0.393 * p[0] + 0.769 * p[1] + 0.189 * p[2], 0.349 * p[0] + 0.686 * p[1] + 0.168 * p[2],
                     0.272 * p[0] + 0.534 * p[1] + 0.131 * p[2], p[3]};
    });
    expectPixels(filtered("CIFalseColor", image), src, [&](Pixel p, double, double) {
        const double y = luma(p);
        return Pixel{mix(0.3, 1, y), mix(0, 0.9, y), mix(0, 0.8, y), p[3]};
    });
    expectPixels(filtered("CIXRay", image), src, [](Pixel p, double, double) {
        const double y = 1 - std::clamp(luma(p), 0.0, 1.0);
        return Pixel{0.9 * y, 0.95 * y, y, p[3]};
    });
    // Posterize: four levels give exactly the values 0, 1/3, 2/3 and 1, by equal bands.
    Bitmap opaque = premultipliedBitmap(16, 5, 17, true);
    expectPixels(
        filtered("CIColorPosterize", imageOf(opaque), {{"inputLevels", Value(4)}}), opaque,
        [](Pixel p, double, double) {
            for (int c = 0; c < 3; ++c) p[c] = std::min(std::floor(p[c] * 4), 3.0) / 3;
            return p;
        },
        0);
    expectPixels(filtered("CIVibrance", imageOf(opaque), {{"inputAmount", Value(0.8)}}), opaque,
                 [](Pixel p, double, double) {
                     const double hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
                     const bool warm = p[0] >= p[1] && p[1] >= p[2];
                     const double gain = 1 + 0.8 * (1 - (hi - lo)) * (warm ? 0.5 : 1), y = luma(p);
                     for (int c = 0; c < 3; ++c) p[c] = y + (p[c] - y) * gain;
                     return p;
                 });
}

TEST(Filters2Colour, CurvesInterpolateTheirTableAndRejectBadData) {
    Bitmap src = premultipliedBitmap(16, 4, 21, false);
    auto image = imageOf(src);
    // Four entries over the domain 0.1...0.9: a different curve per component.
    const std::vector<float> table{0.0f, 1.0f, 0.2f, 0.5f, 0.6f, 0.2f, 0.6f, 0.3f, 0.9f, 1.0f, 0.0f, 0.4f};
    expectPixels(filtered("CIColorCurves", image,
                          {{"inputCurvesData", floatsData(table)}, {"inputCurvesDomain", vec({0.1, 0.9})}}),
                 src, [&table](Pixel p, double, double) {
                     for (int c = 0; c < 3; ++c) {
                         const double x = std::clamp((p[c] - 0.1) / 0.8, 0.0, 1.0) * 3;
                         const int k = std::min(static_cast<int>(x), 2);
                         const double t = x - k;
                         p[c] = table[k * 3 + c] * (1 - t) + table[(k + 1) * 3 + c] * t;
                     }
                     return p;
                 });
    // The default table is the identity.
    expectPixels(filtered("CIColorCurves", image), src, [](Pixel p, double, double) { return p; });
    EXPECT_EQ(filtered("CIColorCurves", image, {{"inputCurvesData", floatsData({0.1f, 0.2f})}}), nullptr);
    EXPECT_EQ(filtered("CIColorCurves", image, {{"inputCurvesDomain", vec({0.5, 0.5})}}), nullptr);
    EXPECT_EQ(filtered("CIColorCurves", image, {{"inputCurvesData", Value("not data")}}), nullptr);
}

TEST(Filters2Colour, CubeVariantsMatchThePlainCubeAndMixByMask) {
    Bitmap src = premultipliedBitmap(12, 6, 23, true);
    auto image = imageOf(src);
    std::vector<float> cube;
    std::mt19937 rng(4);
    for (int i = 0; i < 27; ++i)
        cube.insert(cube.end(), {float(rng() % 100) / 99, float(rng() % 100) / 99, float(rng() % 100) / 99, 1});
    const ValueDictionary params{{"inputCubeDimension", Value(3)}, {"inputCubeData", floatsData(cube)}};
    auto plain = render(plainContext(1), filtered("CIColorCube", image, params), CGRectMake(0, 0, 12, 6));
    auto withSpace =
        render(plainContext(1), filtered("CIColorCubeWithColorSpace", image, params), CGRectMake(0, 0, 12, 6));
    EXPECT_EQ(plain.rgba, withSpace.rgba);
    // In a colour space under colour management, an identity cube changes nothing.
    std::vector<float> identity;
    for (int b = 0; b < 2; ++b)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < 2; ++r) identity.insert(identity.end(), {float(r), float(g), float(b), 1});
    auto managed = CIContext::contextWithOptions({{kCIContextThreadCount, Value(1)}});
    auto inP3 = filtered("CIColorCubeWithColorSpace", image,
                         {{"inputCubeData", floatsData(identity)},
                          {"inputColorSpace", Value(CGColorSpace::createWithName(kCGColorSpaceDisplayP3))}});
    ASSERT_NE(inP3, nullptr);
    EXPECT_NE(inP3->planDescription().find("colour space"), std::string::npos);
    auto a = render(managed, image, CGRectMake(0, 0, 12, 6)), b = render(managed, inP3, CGRectMake(0, 0, 12, 6));
    ASSERT_EQ(a.rgba.size(), b.rgba.size());
    for (std::size_t i = 0; i < a.rgba.size(); ++i) ASSERT_NEAR(a.rgba[i], b.rgba[i], 1) << i;

    // Two flat cubes (red, blue) under a mask black on the left half, white on the right.
    auto flat = [](float r, float g, float b) {
        std::vector<float> v;
        for (int i = 0; i < 8; ++i) v.insert(v.end(), {r, g, b, 1});
        return floatsData(v);
    };
    Bitmap mask{12, 6, std::vector<std::uint8_t>(12 * 6 * 4, 255)};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) std::fill_n(&mask.rgba[(y * 12 + x) * 4], 3, 0);
    auto mixed = filtered("CIColorCubesMixedWithMask", image,
                          {{"inputCube0Data", flat(1, 0, 0)},
                           {"inputCube1Data", flat(0, 0, 1)},
                           {"inputMaskImage", Value(imageOf(mask))}});
    expectPixels(
        mixed, src,
        [](Pixel, double x, double) {
            return x < 6 ? Pixel{1, 0, 0, 1} : Pixel{0, 0, 1, 1};
        },
        0);
    EXPECT_EQ(filtered("CIColorCubesMixedWithMask", image, {{"inputCube0Data", flat(1, 0, 0)}}), nullptr);  // no mask
    EXPECT_EQ(filtered("CIColorCubeWithColorSpace", image, {{"inputCubeData", floatsData({1, 2, 3})}}), nullptr);
}

TEST(Filters2Colour, ColorMapLooksUpTheGradientByLuma) {
    Bitmap src = premultipliedBitmap(16, 5, 29, false);
    Bitmap gradient{256, 2, std::vector<std::uint8_t>(256 * 2 * 4)};
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 256; ++i) {
            std::uint8_t* p = &gradient.rgba[(y * 256 + i) * 4];
            p[0] = static_cast<std::uint8_t>(i), p[1] = static_cast<std::uint8_t>(255 - i), p[2] = 40, p[3] = 255;
        }
    auto out = filtered("CIColorMap", imageOf(src), {{"inputGradientImage", Value(imageOf(gradient))}});
    expectPixels(out, src, [](Pixel p, double, double) {
        const double y = std::clamp(luma(p), 0.0, 1.0);
        return Pixel{y, 1 - y, 40 / 255.0, p[3]};
    });
    EXPECT_EQ(filtered("CIColorMap", imageOf(src)), nullptr);  // no gradient
}

TEST(Filters2Colour, PositionalEffects) {
    Bitmap src = premultipliedBitmap(40, 30, 31, true);
    auto image = imageOf(src);
    expectPixels(filtered("CIVignetteEffect", image,
                          {{"inputCenter", vec({15, 12})},
                           {"inputRadius", Value(14.0)},
                           {"inputIntensity", Value(0.8)},
                           {"inputFalloff", Value(0.5)}}),
                 src, [](Pixel p, double x, double y) {
                     const double d = std::hypot(x - 15, y - 12);
                     double t = std::clamp((d - 7) / 7, 0.0, 1.0);
                     t = t * t * (3 - 2 * t);
                     for (int c = 0; c < 3; ++c) p[c] *= 1 - 0.8 * t;
                     return p;
                 });
    // Red eye: inside the circle red comes down to the others' mean; outside nothing changes.
    Bitmap red{20, 20, std::vector<std::uint8_t>(20 * 20 * 4)};
    for (std::size_t i = 0; i < red.rgba.size(); i += 4)
        red.rgba[i] = 220, red.rgba[i + 1] = 40, red.rgba[i + 2] = 60, red.rgba[i + 3] = 255;
    auto fixed = filtered("CIRedEyeCorrection", imageOf(red), {{"inputCorrectionInfo", vec({10, 10, 6})}});
    ASSERT_NE(fixed, nullptr);
    auto out = render(plainContext(1), fixed, CGRectMake(0, 0, 20, 20));
    EXPECT_EQ(out.at(10, 9)[0], 50);
    EXPECT_EQ(out.at(1, 1)[0], 220);
    EXPECT_EQ(out.at(10, 9)[1], 40);
    auto plain = imageOf(red);
    EXPECT_EQ(filtered("CIRedEyeCorrection", plain), plain);  // no eyes given
}

TEST(Filters2Colour, SmoothLinearGradientEasesBetweenItsPoints) {
    auto f = CIFilter::filterWithName("CISmoothLinearGradient", {{"inputPoint0", vec({2, 3})},
                                                                 {"inputPoint1", vec({18, 11})},
                                                                 {"inputColor0", colour(1, 0.5, 0, 1)},
                                                                 {"inputColor1", colour(0, 0, 1, 0.5)}});
    auto image = f->outputImage();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(CGRectIsInfinite(image->extent()));
    Bitmap canvas{24, 16, std::vector<std::uint8_t>(24 * 16 * 4)};
    expectPixels(image, canvas, [](Pixel, double x, double y) {
        double t = std::clamp(((x - 2) * 16 + (y - 3) * 8) / (16.0 * 16 + 8 * 8), 0.0, 1.0);
        t = t * t * (3 - 2 * t);
        // Premultiplied colours mix; the reference gives straight colour.
        const double a = 1 - 0.5 * t;
        return Pixel{(1 - t) / a, 0.5 * (1 - t) / a, 0.5 * t / a, a};
    });
    // Under colour management the colours are converted like any colour image: the ends of a
    // gradient match plain colour images of the same colours.
    auto managed = CIContext::contextWithOptions({{kCIContextThreadCount, Value(1)}});
    auto srgbOrange = CIColor::colorWithRed(1, 0.5, 0, 1, CGColorSpace::createWithName(kCGColorSpaceSRGB));
    auto g = CIFilter::filterWithName(
        "CISmoothLinearGradient",
        {{"inputPoint0", vec({10, 0})}, {"inputPoint1", vec({20, 0})}, {"inputColor0", Value(srgbOrange)}});
    auto ends = render(managed, g->outputImage(), CGRectMake(0, 0, 30, 1));
    auto plain = render(managed, CIImage::imageWithColor(srgbOrange), CGRectMake(0, 0, 1, 1));
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(ends.at(2, 0)[c], plain.at(0, 0)[c], 1);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(ends.at(27, 0)[c], 0);
    // Colours given as arrays of numbers, as stored descriptions hold them.
    auto clear = CIFilter::filterWithName("CISmoothLinearGradient",
                                          {{"inputPoint0", vec({0, 0})},
                                           {"inputPoint1", vec({10, 0})},
                                           {"inputColor1", Value::array({Value(0), Value(0), Value(0), Value(0)})}});
    EXPECT_EQ(render(plainContext(1), clear->outputImage(), CGRectMake(20, 0, 1, 1)).rgba,
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
}
