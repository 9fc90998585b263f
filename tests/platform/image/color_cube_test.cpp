// Colour cube: the filter against a plain trilinear reference, and its refusals of bad data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "image_test_support.h"
#include "platform/image/engine/kernels.h"
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
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(out.rgba[static_cast<std::size_t>(c)] / 255.0, ref[static_cast<std::size_t>(c)], 1.0 / 255);
}

namespace {

// The cube rendered to floats, rounded to bytes as an 8-bit render rounds them.
std::vector<std::uint8_t> roundedFloatRender(const std::shared_ptr<CIImage>& image, int w, int h) {
    std::vector<float> f(static_cast<std::size_t>(w) * h * 4);
    EXPECT_TRUE(plainContext()->render(image, f.data(), static_cast<std::size_t>(w) * 16, CGRectMake(0, 0, w, h),
                                       CIFormat::RGBAf, nullptr));
    std::vector<std::uint8_t> out(f.size());
    for (std::size_t i = 0; i < f.size(); ++i)
        out[i] = static_cast<std::uint8_t>(std::nearbyint(std::clamp(f[i], 0.0f, 1.0f) * 255.0f));
    return out;
}

// The largest difference between two byte buffers of the same size.
int largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int most = a.size() == b.size() ? 0 : 256;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) most = std::max(most, std::abs(a[i] - b[i]));
    return most;
}

}  // namespace

TEST(ColorCube, EightBitRendersStayWithinALevelOfTheFloatPath) {
    // A lone cube between 8-bit pixels skips the float planes (in fixed point where the CPU allows):
    // within one level of the float path, and the very same bytes whatever the row length, channel
    // order or tiling. Rows with translucent pixels take the float path.
    const int w = 523, h = 70;  // several tiles across, a tail that is not a whole vector
    auto cube = randomCube(17, 5, true);
    Bitmap src = randomBitmap(w, h, 11);
    for (int y = 0; y < h; y += 9) src.rgba[(static_cast<std::size_t>(y) * w + 300) * 4 + 3] = 128;
    for (std::size_t i = 3; i < src.rgba.size(); i += 4)
        if (src.rgba[i] == 128) src.rgba[i - 1] = src.rgba[i - 2] = src.rgba[i - 3] = 64;
    // One data value for every image below, so that all share one prepared cube.
    const Value data = floatsData(cube);
    auto cubedWith = [&](const std::shared_ptr<CIImage>& in) {
        return filtered("CIColorCube", in, {{"inputCubeDimension", Value(17)}, {"inputCubeData", data}});
    };
    auto image = cubedWith(imageOf(src));
    const auto floats = roundedFloatRender(image, w, h);
    // The fixed-point copy is made only once the cube has taken enough pixels to pay for it.
    EXPECT_EQ(render(plainContext(1), image, CGRectMake(0, 0, w, h)).rgba, floats);
    const std::size_t paysAfter = kernels::cubeFixedPaysAfter(17);  // SIZE_MAX: no such kernel here
    for (std::size_t done = w * h; paysAfter != SIZE_MAX && done <= paysAfter; done += w * h)
        render(plainContext(), image, CGRectMake(0, 0, w, h));
    const auto expected = render(plainContext(1), image, CGRectMake(0, 0, w, h)).rgba;
    EXPECT_LE(largestDifference(expected, floats), 1);
    if (paysAfter != SIZE_MAX) {
        EXPECT_NE(expected, floats) << "the fixed-point copy is in use";
    }
    auto out = render(plainContext(0), image, CGRectMake(0, 0, w, h));
    ASSERT_EQ(out.rgba, expected) << "threads";
    // Blue-first pixels in and out: the same colours, red and blue swapped in memory.
    std::vector<std::uint8_t> bgra = src.rgba;
    for (std::size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    auto fromBgra = cubedWith(CIImage::imageWithBitmapData(bgra, static_cast<std::size_t>(w) * 4, w, h, CIFormat::BGRA8,
                                                           CIAlphaMode::Premultiplied, nullptr));
    std::vector<std::uint8_t> outBgra(expected.size());
    ASSERT_TRUE(plainContext()->render(fromBgra, outBgra.data(), static_cast<std::size_t>(w) * 4,
                                       CGRectMake(0, 0, w, h), CIFormat::BGRA8, nullptr));
    for (std::size_t i = 0; i < outBgra.size(); i += 4) std::swap(outBgra[i], outBgra[i + 2]);
    EXPECT_EQ(outBgra, expected);
    // A window of the image (rows start inside the bitmap) gives the same bytes as the whole, but
    // where the whole row took the float path for a translucent pixel outside the window.
    auto part = render(plainContext(), image, CGRectMake(37, 11, 101, 23));
    for (int y = 0; y < 23; ++y) {
        const int row = h - 11 - 23 + y;
        for (int x = 0; x < 101; ++x)
            for (int c = 0; c < 4; ++c) {
                const int whole = expected[(static_cast<std::size_t>(row) * w + 37 + x) * 4 + c];
                if (row % 9 == 0)
                    ASSERT_LE(std::abs(part.at(x, y)[c] - whole), 1);
                else
                    ASSERT_EQ(part.at(x, y)[c], whole);
            }
    }
}

TEST(ColorCube, FixedPointKernelStaysWithinALevelOfTrilinear) {
    // Every byte value of each channel against the edges of the others (0, 1, 254, 255 and the
    // values at and beside lattice points), through cubes that jump between 0 and 1 from one
    // lattice point to the next (the largest weight errors) and smooth ones.
    std::mt19937 rng(21);
    for (int n : {2, 5, 17, 20, 33, 34, 65}) {  // both layouts, and each side of the change
        for (int kind = 0; kind < 2; ++kind) {
            std::vector<float> cube = randomCube(n, static_cast<unsigned>(n * 2 + kind), true);
            for (std::size_t i = 0; i < cube.size(); ++i)
                if (i % 4 != 3) {
                    if (kind == 0)
                        cube[i] = (rng() % 3 == 0) ? static_cast<float>(rng() % 2) : cube[i];
                    else
                        cube[i] = 0.5f + 0.4f * std::sin(static_cast<float>(i) * 0.001f);
                }
            auto fixed = kernels::cubeFixed(cube.data(), n);
            if (!fixed) GTEST_SKIP() << "no fixed-point kernel on this CPU";
            std::vector<int> edges = {0, 1, 127, 254, 255};
            for (int k = 1; k < n - 1; k += std::max(1, (n - 2) / 3)) {
                const int at = static_cast<int>(std::lround(k * 255.0 / (n - 1)));
                for (int v : {at - 1, at, at + 1}) edges.push_back(std::clamp(v, 0, 255));
            }
            std::vector<std::uint8_t> px;
            for (int varied = 0; varied < 3; ++varied)
                for (int e1 : edges)
                    for (int e2 : edges)
                        for (int v = 0; v < 256; ++v) {
                            std::uint8_t p[4] = {0, 0, 0, 255};
                            p[varied] = static_cast<std::uint8_t>(v);
                            p[(varied + 1) % 3] = static_cast<std::uint8_t>(e1);
                            p[(varied + 2) % 3] = static_cast<std::uint8_t>(e2);
                            px.insert(px.end(), p, p + 4);
                        }
            const std::size_t count = px.size() / 4 - 3;  // a tail that is not a whole group
            std::vector<std::uint8_t> out(px.size()), viaFloat(px.size());
            ASSERT_TRUE(kernels::colorCubeFixedRGBA8(px.data(), false, out.data(), false, count, *fixed));
            const auto tables = kernels::cubeByteTables(n);
            ASSERT_TRUE(
                kernels::colorCubeRGBA8(px.data(), false, viaFloat.data(), false, count, cube.data(), n, tables));
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint8_t* s = &px[4 * i];
                const auto ref = referenceCube(cube, n, s[0] / 255.0, s[1] / 255.0, s[2] / 255.0);
                for (int c = 0; c < 3; ++c) {
                    const int o = out[4 * i + static_cast<std::size_t>(c)];
                    ASSERT_LE(std::fabs(o - ref[static_cast<std::size_t>(c)] * 255.0), 1.0)
                        << "n " << n << " pixel " << int(s[0]) << " " << int(s[1]) << " " << int(s[2]) << " channel "
                        << c;
                    ASSERT_LE(std::abs(o - viaFloat[4 * i + static_cast<std::size_t>(c)]), 1);
                }
                ASSERT_EQ(out[4 * i + 3], 255);
            }
            // Blue first in and out gives the same colours.
            std::vector<std::uint8_t> swapped = px, outSwapped(px.size());
            for (std::size_t i = 0; i < swapped.size(); i += 4) std::swap(swapped[i], swapped[i + 2]);
            ASSERT_TRUE(kernels::colorCubeFixedRGBA8(swapped.data(), true, outSwapped.data(), true, count, *fixed));
            for (std::size_t i = 0; i < 4 * count; i += 4) std::swap(outSwapped[i], outSwapped[i + 2]);
            ASSERT_TRUE(std::equal(out.begin(), out.begin() + static_cast<long>(4 * count), outSwapped.begin()));
        }
    }
}

TEST(ColorCube, CubesTheFixedPointCannotHoldKeepTheFloatBytes) {
    // Colours outside 0...1 (clamped only after interpolating), NaN, or alpha other than 1 must
    // not be squeezed into 16 bits: those cubes give exactly the float path's bytes.
    const int w = 512, h = 64;
    Bitmap src = randomBitmap(w, h, 3);
    for (int which = 0; which < 3; ++which) {
        auto cube = randomCube(9, static_cast<unsigned>(40 + which), true);
        for (std::size_t i = 0; i < cube.size(); i += 4) {
            if (which == 0) cube[i] = cube[i] * 1.6f - 0.3f;
            if (which == 1 && i == 4 * 100) cube[i + 1] = std::nanf("");
            if (which == 2 && i == 4 * 7) cube[i + 3] = 0.5f;
        }
        EXPECT_EQ(kernels::cubeFixed(cube.data(), 9), nullptr) << which;
        if (which == 1) continue;  // NaN has no byte to agree on
        auto image = cubed(imageOf(src), 9, cube);
        const auto floats = roundedFloatRender(image, w, h);
        const std::size_t paysAfter = std::min(kernels::cubeFixedPaysAfter(9), std::size_t{1} << 20);
        for (std::size_t done = 0; done <= paysAfter + w * h; done += w * h)
            ASSERT_EQ(render(plainContext(), image, CGRectMake(0, 0, w, h)).rgba, floats) << which;
    }
    EXPECT_EQ(kernels::cubeFixed(randomCube(kernels::CubeFixed::kMaxDim + 1, 1, true).data(),
                                 kernels::CubeFixed::kMaxDim + 1),
              nullptr);
}

TEST(ColorCube, EveryNewCubeValueRendersItsOwnTable) {
    // Preparations are shared by the identity of the data: a fresh value, even one allocated
    // where a freed one lived, must never be served another table's preparation.
    auto context = plainContext(1);
    Bitmap src = randomBitmap(3, 1, 4);
    for (unsigned seed = 0; seed < 40; ++seed) {
        const int n = seed % 2 ? 3 : 4;
        auto cube = randomCube(n, seed, true);
        auto out = render(context, cubed(imageOf(src), n, cube), CGRectMake(0, 0, 3, 1));
        ASSERT_EQ(out.rgba.size(), 12u);
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* s = src.at(x, 0);
            auto ref = referenceCube(cube, n, s[0] / 255.0, s[1] / 255.0, s[2] / 255.0);
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(out.at(x, 0)[c] / 255.0, std::clamp(ref[static_cast<std::size_t>(c)], 0.0, 1.0),
                            1.0 / 255 + 1e-9)
                    << "cube " << seed;
        }
    }
}
