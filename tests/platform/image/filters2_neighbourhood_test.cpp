// Convolutions and the median against direct sums on random images, and a chain of per-pixel
// and neighbourhood filters rendered in pieces against one render.
#include "filters2_support.h"

using namespace imagetest;
using namespace filters2;

namespace {

// Premultiplied component c of pixel (x, y) counted from the bottom; transparent outside.
double sample(const Bitmap& b, long x, long y, int c) {
    if (x < 0 || y < 0 || x >= b.width || y >= b.height) return 0;
    return b.at(static_cast<int>(x), static_cast<int>(b.height - 1 - y))[c] / 255.0;
}

// Renders `rect` and compares with ref(x, y, c) (bottom-up pixel coordinates), within one step.
void expectRect(const std::shared_ptr<CIImage>& image, CGRect rect, const std::function<double(long, long, int)>& ref) {
    ASSERT_NE(image, nullptr);
    auto out = render(plainContext(1), image, rect);
    ASSERT_FALSE(out.rgba.empty());
    for (int j = 0; j < out.height; ++j)
        for (int i = 0; i < out.width; ++i) {
            const long x = static_cast<long>(rect.origin.x) + i,
                       y = static_cast<long>(rect.origin.y) + out.height - 1 - j;
            for (int c = 0; c < 4; ++c)
                ASSERT_NEAR(out.at(i, j)[c], toByte(ref(x, y, c)), 1) << "pixel " << x << "," << y << " c " << c;
        }
}

Value weightsOf(const std::vector<double>& w) {
    return Value(CIVector::vectorWithValues(w));
}

}  // namespace

TEST(Filters2Neighbourhood, ConvolutionsSumWeightedNeighboursPlusBiasClamped) {
    Bitmap src = premultipliedBitmap(23, 17, 41, false);
    auto image = imageOf(src);
    struct Case {
        const char* name;
        int columns, rows;
    };
    std::mt19937 rng(7);
    for (Case k : {Case{"CIConvolution3X3", 3, 3}, Case{"CIConvolution5X5", 5, 5}, Case{"CIConvolution7X7", 7, 7},
                   Case{"CIConvolution9Horizontal", 9, 1}, Case{"CIConvolution9Vertical", 1, 9}}) {
        SCOPED_TRACE(k.name);
        std::vector<double> w(static_cast<std::size_t>(k.columns * k.rows));
        for (double& v : w) v = (static_cast<double>(rng() % 1000) / 1000 - 0.3) * 3 / static_cast<double>(w.size());
        const double bias = 0.05;
        auto out = filtered(k.name, image, {{"inputWeights", weightsOf(w)}, {"inputBias", Value(bias)}});
        ASSERT_NE(out, nullptr);
        // The extent grows by half the kernel; the render reaches beyond it to check the edges.
        EXPECT_EQ(out->extent(),
                  CGRectMake(-(k.columns / 2), -(k.rows / 2), 23 + 2 * (k.columns / 2), 17 + 2 * (k.rows / 2)));
        expectRect(out, CGRectMake(-5, -5, 33, 27), [&](long x, long y, int c) {
            double sum = bias;
            for (int r = 0; r < k.rows; ++r)
                for (int q = 0; q < k.columns; ++q)
                    sum += w[static_cast<std::size_t>(r * k.columns + q)] *
                           sample(src, x + q - k.columns / 2, y + k.rows / 2 - r, c);
            return std::clamp(sum, 0.0, 1.0);
        });
        // Weights of the wrong length give no output.
        EXPECT_EQ(filtered(k.name, image, {{"inputWeights", weightsOf({1, 2})}}), nullptr);
    }
    // The default kernel is the identity.
    expectRect(filtered("CIConvolution5X5", image), CGRectMake(0, 0, 23, 17),
               [&](long x, long y, int c) { return sample(src, x, y, c); });
}

TEST(Filters2Neighbourhood, MedianTakesTheMiddleOfNine) {
    Bitmap src = premultipliedBitmap(37, 13, 43, false);
    auto out = filtered("CIMedianFilter", imageOf(src));
    ASSERT_NE(out, nullptr);
    expectRect(out, CGRectMake(-2, -2, 41, 17), [&](long x, long y, int c) {
        double v[9];
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) v[n++] = sample(src, x + dx, y + dy, c);
        std::nth_element(v, v + 4, v + 9);
        return v[4];
    });
    // A lone outlier on a flat field disappears.
    Bitmap flat{9, 9, std::vector<std::uint8_t>(9 * 9 * 4, 100)};
    flat.rgba[(4 * 9 + 4) * 4] = 255;
    auto cleaned = render(plainContext(1), filtered("CIMedianFilter", imageOf(flat)), CGRectMake(0, 0, 9, 9));
    EXPECT_EQ(cleaned.at(4, 4)[0], 100);
}

TEST(Filters2Neighbourhood, MixedChainRendersTheSameInPiecesAsWhole) {
    // Wider and taller than a render tile, so tiles meet inside every neighbourhood step.
    Bitmap src = premultipliedBitmap(300, 90, 47, false);
    auto image = imageOf(src);
    image = filtered("CIExposureAdjust", image, {{"inputEV", Value(0.3)}});
    image = filtered("CIConvolution3X3", image, {{"inputWeights", weightsOf({0, -0.5, 0, -0.5, 3, -0.5, 0, -0.5, 0})}});
    image = filtered("CIHueAdjust", image, {{"inputAngle", Value(0.4)}});
    image = filtered("CIMedianFilter", image);
    image = filtered("CIConvolution9Vertical", image,
                     {{"inputWeights", weightsOf({0.1, 0.1, 0.1, 0.1, 0.2, 0.1, 0.1, 0.1, 0.1})}});
    image = filtered("CIColorPosterize", image, {{"inputLevels", Value(9)}});
    image = filtered("CIConvolution7X7", image);
    ASSERT_NE(image, nullptr);
    const CGRect whole = CGRectMake(-4, -6, 308, 100);
    auto single = render(plainContext(1), image, whole);
    auto parallel = render(plainContext(0), image, whole);
    ASSERT_FALSE(single.rgba.empty());
    EXPECT_EQ(single.rgba, parallel.rgba);
    auto context = plainContext(2);
    for (CGRect piece : {CGRectMake(-4, -6, 131, 47), CGRectMake(127, -6, 177, 47), CGRectMake(-4, 41, 131, 53),
                         CGRectMake(127, 41, 177, 53)}) {
        auto part = render(context, image, piece);
        ASSERT_FALSE(part.rgba.empty());
        const int ox = static_cast<int>(piece.origin.x - whole.origin.x);
        const int oyTop = static_cast<int>(CGRectGetMaxY(whole) - CGRectGetMaxY(piece));
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x)
                for (int c = 0; c < 4; ++c)
                    ASSERT_EQ(part.at(x, y)[c], single.at(x + ox, y + oyTop)[c])
                        << piece.origin.x << "," << piece.origin.y;
    }
}
