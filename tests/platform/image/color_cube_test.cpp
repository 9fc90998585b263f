// Colour cube: the filter against a plain trilinear reference, and its refusals of bad data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "image_test_support.h"
#include "platform/runtime/log.h"

using namespace imagetest;

namespace {

// Straightforward trilinear lookup, one pixel at a time, in double precision.
std::array<double, 4> referenceCube(const std::vector<float>& cube, int n, double r, double g, double b) {
    auto entry = [&](int i, int j, int k, int c) { return static_cast<double>(cube[((k * n + j) * n + i) * 4 + c]); };
    double pos[3] = {std::clamp(r, 0.0, 1.0) * (n - 1), std::clamp(g, 0.0, 1.0) * (n - 1),
                     std::clamp(b, 0.0, 1.0) * (n - 1)};
    int lo[3];
    double f[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(static_cast<int>(std::floor(pos[a])), n - 2);
        f[a] = pos[a] - lo[a];
    }
    std::array<double, 4> out{};
    for (int c = 0; c < 4; ++c)
        for (int corner = 0; corner < 8; ++corner) {
            int di = corner & 1, dj = (corner >> 1) & 1, dk = (corner >> 2) & 1;
            double w = (di ? f[0] : 1 - f[0]) * (dj ? f[1] : 1 - f[1]) * (dk ? f[2] : 1 - f[2]);
            out[static_cast<std::size_t>(c)] += w * entry(lo[0] + di, lo[1] + dj, lo[2] + dk, c);
        }
    return out;
}

std::vector<float> randomCube(int n, unsigned seed, bool opaque) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    std::vector<float> cube(static_cast<std::size_t>(n) * n * n * 4);
    for (std::size_t i = 0; i < cube.size(); ++i) cube[i] = (i % 4 == 3 && opaque) ? 1.0f : u(rng);
    return cube;
}

std::shared_ptr<CIImage> cubed(const std::shared_ptr<CIImage>& image, int n, const std::vector<float>& cube) {
    return filtered("CIColorCube", image, {{"inputCubeDimension", Value(n)}, {"inputCubeData", floatsData(cube)}});
}

}  // namespace

TEST(ColorCube, MatchesTrilinearReferenceOnRandomCubesAndImages) {
    auto context = plainContext();
    int seed = 1;
    for (int n : {2, 3, 17, 20, 33}) {
        for (bool opaque : {true, false}) {
            auto cube = randomCube(n, static_cast<unsigned>(seed), opaque);
            Bitmap src = randomBitmap(61, 37, static_cast<unsigned>(seed++));
            auto out = render(context, cubed(imageOf(src), n, cube), CGRectMake(0, 0, 61, 37));
            ASSERT_EQ(out.rgba.size(), src.rgba.size());
            for (int y = 0; y < src.height; ++y)
                for (int x = 0; x < src.width; ++x) {
                    const std::uint8_t* s = src.at(x, y);
                    auto ref = referenceCube(cube, n, s[0] / 255.0, s[1] / 255.0, s[2] / 255.0);
                    // Output is premultiplied by alpha = cube alpha (source is opaque).
                    const std::uint8_t* o = out.at(x, y);
                    for (int c = 0; c < 4; ++c) {
                        double expected = c == 3 ? ref[3] : ref[static_cast<std::size_t>(c)] * ref[3];
                        ASSERT_LE(std::fabs(o[c] / 255.0 - std::clamp(expected, 0.0, 1.0)), 1.0 / 255 + 1e-9)
                            << "n " << n << " pixel (" << x << ", " << y << ") channel " << c;
                    }
                }
        }
    }
}

TEST(ColorCube, IdentityCubeKeepsPixelsAndDefaultsAreIdentity) {
    auto context = plainContext();
    Bitmap src = randomBitmap(19, 11, 7);
    auto filter = CIFilter::filterWithName("CIColorCube");
    filter->setValue(Value(imageOf(src)), kCIInputImageKey);
    auto out = render(context, filter->outputImage(), CGRectMake(0, 0, 19, 11));
    EXPECT_EQ(out.rgba, src.rgba);
}

TEST(ColorCube, WrongDataGivesNoOutput) {
    LogCapture log;
    auto image = imageOf(randomBitmap(4, 4, 3));
    auto cube = randomCube(4, 9, true);
    // One entry short, one float long, no data at all, and a dimension the data does not match.
    std::vector<float> shortCube(cube.begin(), cube.end() - 4), longCube = cube;
    longCube.push_back(0.5f);
    EXPECT_EQ(cubed(image, 4, shortCube), nullptr);
    EXPECT_EQ(cubed(image, 4, longCube), nullptr);
    EXPECT_EQ(cubed(image, 5, cube), nullptr);
    EXPECT_EQ(filtered("CIColorCube", image, {{"inputCubeDimension", Value(4)}, {"inputCubeData", Value("text")}}),
              nullptr);
    EXPECT_EQ(cubed(image, 1, std::vector<float>(4, 1.0f)), nullptr);
    EXPECT_TRUE(log.contains("CIColorCube"));
    // The same filter object recovers when given matching data.
    auto filter = CIFilter::filterWithName("CIColorCube");
    filter->setValue(Value(image), kCIInputImageKey);
    filter->setValue(Value(4), "inputCubeDimension");
    filter->setValue(floatsData(shortCube), "inputCubeData");
    EXPECT_EQ(filter->outputImage(), nullptr);
    filter->setValue(floatsData(cube), "inputCubeData");
    EXPECT_NE(filter->outputImage(), nullptr);
}

TEST(ColorCube, OutOfRangeValuesClampToTheTableEdges) {
    // A float source with values outside 0...1 reads the nearest edge of the table.
    std::vector<float> px = {-0.5f, 1.5f, 0.25f, 1.0f};
    std::vector<std::uint8_t> bytes(16);
    std::memcpy(bytes.data(), px.data(), 16);
    auto image = CIImage::imageWithBitmapData(bytes, 16, 1, 1, CIFormat::RGBAf, CIAlphaMode::Premultiplied, nullptr);
    auto cube = randomCube(3, 4, true);
    auto out = render(plainContext(1), cubed(image, 3, cube), CGRectMake(0, 0, 1, 1));
    ASSERT_EQ(out.rgba.size(), 4u);
    auto ref = referenceCube(cube, 3, 0.0, 1.0, 0.25);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(out.rgba[static_cast<std::size_t>(c)] / 255.0, ref[static_cast<std::size_t>(c)], 1.0 / 255);
}
