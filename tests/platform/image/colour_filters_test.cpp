// Colour filters against their formulas: tone curve, vignette, colour controls, white balance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "image_test_support.h"

using namespace imagetest;

namespace {

// Natural cubic spline by solving the full tridiagonal system with Gaussian elimination (an
// independent route to the same curve), evaluated flat outside the knots.
double splineAt(const std::vector<std::pair<double, double>>& p, double x) {
    const std::size_t n = p.size();
    if (x <= p.front().first) return p.front().second;
    if (x >= p.back().first) return p.back().second;
    std::vector<std::vector<double>> m(n, std::vector<double>(n + 1, 0.0));
    m[0][0] = 1;
    m[n - 1][n - 1] = 1;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        double h0 = p[i].first - p[i - 1].first, h1 = p[i + 1].first - p[i].first;
        m[i][i - 1] = h0 / 6;
        m[i][i] = (h0 + h1) / 3;
        m[i][i + 1] = h1 / 6;
        m[i][n] = (p[i + 1].second - p[i].second) / h1 - (p[i].second - p[i - 1].second) / h0;
    }
    for (std::size_t c = 0; c < n; ++c)
        for (std::size_t r = c + 1; r < n; ++r) {
            double f = m[r][c] / m[c][c];
            for (std::size_t k = c; k <= n; ++k) m[r][k] -= f * m[c][k];
        }
    std::vector<double> d2(n);
    for (std::size_t r = n; r-- > 0;) {
        double v = m[r][n];
        for (std::size_t k = r + 1; k < n; ++k) v -= m[r][k] * d2[k];
        d2[r] = v / m[r][r];
    }
    std::size_t k = 0;
    while (p[k + 1].first < x) ++k;
    double h = p[k + 1].first - p[k].first, t = (x - p[k].first) / h, a = 1 - t;
    return a * p[k].second + t * p[k + 1].second + h * h / 6 * ((a * a * a - a) * d2[k] + (t * t * t - t) * d2[k + 1]);
}

// A ramp of every 8-bit grey level in red, a different order in green and blue.
Bitmap ramp() {
    Bitmap b{256, 1, std::vector<std::uint8_t>(256 * 4)};
    for (int i = 0; i < 256; ++i) {
        b.rgba[static_cast<std::size_t>(i) * 4] = static_cast<std::uint8_t>(i);
        b.rgba[static_cast<std::size_t>(i) * 4 + 1] = static_cast<std::uint8_t>(255 - i);
        b.rgba[static_cast<std::size_t>(i) * 4 + 2] = static_cast<std::uint8_t>((i * 7) % 256);
        b.rgba[static_cast<std::size_t>(i) * 4 + 3] = 255;
    }
    return b;
}

}  // namespace

TEST(ToneCurve, FollowsTheSplineInGammaTwo) {
    // The portrait pre-chain's points, and an unsorted S-curve.
    const std::vector<std::vector<std::pair<double, double>>> curves = {
        {{0, 0}, {0.167, 0.215}, {0.436, 0.544}, {0.727, 0.822}, {1, 1}},
        {{0.75, 0.9}, {0, 0.05}, {0.5, 0.5}, {0.25, 0.1}, {1, 0.95}},
    };
    Bitmap src = ramp();
    for (const auto& points : curves) {
        ValueDictionary params;
        for (std::size_t i = 0; i < 5; ++i)
            params.set("inputPoint" + std::to_string(i),
                       Value(CIVector::vectorWithX(points[i].first, points[i].second)));
        auto out = render(plainContext(), filtered("CIToneCurve", imageOf(src), params), CGRectMake(0, 0, 256, 1));
        ASSERT_FALSE(out.rgba.empty());
        auto sorted = points;
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 0; i < out.rgba.size(); ++i) {
            if (i % 4 == 3) continue;
            double x = src.rgba[i] / 255.0;
            double y = std::max(0.0, splineAt(sorted, std::sqrt(x)));
            ASSERT_NEAR(out.rgba[i] / 255.0, std::clamp(y * y, 0.0, 1.0), 1.0 / 255 + 1e-6) << "input " << x;
        }
    }
}

TEST(ToneCurve, DefaultPointsChangeNothing) {
    Bitmap src = ramp();
    auto out = render(plainContext(), filtered("CIToneCurve", imageOf(src)), CGRectMake(0, 0, 256, 1));
    ASSERT_FALSE(out.rgba.empty());
    for (std::size_t i = 0; i < out.rgba.size(); ++i) EXPECT_NEAR(out.rgba[i], src.rgba[i], 1) << i;
}

TEST(Vignette, DarkensByTheLensFormula) {
    const int w = 40, h = 30;
    Bitmap src{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 200)};
    for (std::size_t i = 3; i < src.rgba.size(); i += 4) src.rgba[i] = 255;
    for (double intensity : {0.5, 1.0, -0.3})
        for (double radius : {0.5, 1.0, 2.0}) {
            auto out = render(plainContext(),
                              filtered("CIVignette", imageOf(src),
                                       {{"inputIntensity", Value(intensity)}, {"inputRadius", Value(radius)}}),
                              CGRectMake(0, 0, w, h));
            ASSERT_FALSE(out.rgba.empty());
            const double halfDiagonal = 0.5 * std::hypot(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    double dx = x + 0.5 - w / 2.0, dy = (h - 1 - y) + 0.5 - h / 2.0;
                    double t2 = (dx * dx + dy * dy) / std::pow(radius * halfDiagonal, 2);
                    double factor = 1 - intensity * (1 - 1 / std::pow(1 + t2, 2));
                    double expected = std::clamp(200 / 255.0 * factor, 0.0, 1.0);
                    ASSERT_NEAR(out.at(x, y)[0] / 255.0, expected, 1.0 / 255 + 1e-6) << x << "," << y;
                    ASSERT_EQ(out.at(x, y)[3], 255);
                }
        }
}

TEST(ColorControls, SaturationBrightnessContrastInOrder) {
    Bitmap src = randomBitmap(23, 7, 4);
    const double s = 1.6, b = -0.1, c = 1.3;
    auto out =
        render(plainContext(),
               filtered("CIColorControls", imageOf(src),
                        {{"inputSaturation", Value(s)}, {"inputBrightness", Value(b)}, {"inputContrast", Value(c)}}),
               CGRectMake(0, 0, 23, 7));
    ASSERT_FALSE(out.rgba.empty());
    for (std::size_t i = 0; i < src.rgba.size(); i += 4) {
        double rgb[3] = {src.rgba[i] / 255.0, src.rgba[i + 1] / 255.0, src.rgba[i + 2] / 255.0};
        double luma = 0.2125 * rgb[0] + 0.7154 * rgb[1] + 0.0721 * rgb[2];
        for (int k = 0; k < 3; ++k) {
            double v = ((luma + (rgb[k] - luma) * s) + b - 0.5) * c + 0.5;
            ASSERT_NEAR(out.rgba[i + static_cast<std::size_t>(k)] / 255.0, std::clamp(v, 0.0, 1.0), 1.0 / 255 + 1e-6);
        }
    }
    // Saturation 0 leaves only grey.
    auto grey = render(plainContext(), filtered("CIColorControls", imageOf(src), {{"inputSaturation", Value(0)}}),
                       CGRectMake(0, 0, 23, 7));
    for (std::size_t i = 0; i < grey.rgba.size(); i += 4) {
        EXPECT_NEAR(grey.rgba[i], grey.rgba[i + 1], 1);
        EXPECT_NEAR(grey.rgba[i + 1], grey.rgba[i + 2], 1);
    }
}

TEST(TemperatureAndTint, DefaultsKeepColoursAndWarmLightTurnsNeutral) {
    Bitmap src = randomBitmap(9, 9, 8);
    auto same = render(plainContext(), filtered("CITemperatureAndTint", imageOf(src)), CGRectMake(0, 0, 9, 9));
    EXPECT_EQ(same.rgba, src.rgba);
    // Shot under 3200 K light, a grey card looks orange; with the neutral set to 3200 K the
    // filter moves colours towards blue. A neutral of 12000 K moves them towards orange.
    Bitmap grey{1, 1, {180, 180, 180, 255}};
    auto context = CIContext::contextWithOptions({});
    auto srgb = CGColorSpace::createWithName(kCGColorSpaceSRGB);
    auto image = CIImage::imageWithBitmapData(grey.rgba, 4, 1, 1, CIFormat::RGBA8);
    auto pixel = [&](double kelvin, double tint) {
        auto out =
            filtered("CITemperatureAndTint", image, {{"inputNeutral", Value(CIVector::vectorWithX(kelvin, tint))}});
        std::vector<std::uint8_t> px(4);
        EXPECT_TRUE(context->render(out, px.data(), 4, CGRectMake(0, 0, 1, 1), CIFormat::RGBA8, srgb));
        return px;
    };
    auto unchanged = pixel(6500, 0);
    EXPECT_EQ(unchanged, (std::vector<std::uint8_t>{180, 180, 180, 255}));
    auto cooled = pixel(3200, 0), warmed = pixel(12000, 0), tinted = pixel(6500, 40);
    EXPECT_LT(cooled[0], cooled[1]);
    EXPECT_LT(cooled[1], cooled[2]);
    EXPECT_GT(warmed[0], warmed[1]);
    EXPECT_GT(warmed[1], warmed[2]);
    // A magenta-tinted neutral is corrected towards green.
    EXPECT_GT(tinted[1], tinted[0] + 5);
    EXPECT_GT(tinted[1], tinted[2] + 5);
}

TEST(ColourChain, StepsFuseIntoOnePlanNode) {
    auto image = imageOf(randomBitmap(4, 4, 1));
    auto chained = filtered("CIColorControls",
                            filtered("CIToneCurve", filtered("CIVignette", image, {{"inputIntensity", Value(0.4)}})),
                            {{"inputSaturation", Value(0.5)}});
    std::string plan = chained->planDescription();
    EXPECT_NE(plan.find("point colour controls"), std::string::npos) << plan;
    EXPECT_NE(plan.find("point vignette"), std::string::npos) << plan;
    EXPECT_NE(plan.find("bitmap 4x4"), std::string::npos) << plan;
}
