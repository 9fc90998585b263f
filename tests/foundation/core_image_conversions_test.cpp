// Arrays of numbers turned into image values, and the colour-cube layout.
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/array_free_core_image.h"
#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"
#include "platform/ui/draw/color.h"

namespace {

std::vector<float> floatsOf(const Bytes& data) {
    std::vector<float> out(data.size() / 4);
    std::memcpy(out.data(), data.data(), out.size() * 4);
    return out;
}

}  // namespace

TEST(CoreImageConversions, ColoursPassThroughSinglePrecision) {
    auto c = cicolor({0.1, 0.5, 1, 0.25});
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->red(), static_cast<double>(0.1f));
    EXPECT_NE(c->red(), 0.1);
    EXPECT_EQ(c->alpha(), 0.25);
    EXPECT_EQ(cicolor({2, -1, "0.5"})->green(), -1);  // no clamping; missing alpha is opaque
    EXPECT_EQ(cicolor({2, -1, "0.5"})->blue(), 0.5);
    EXPECT_EQ(cicolor({2, -1, 0})->alpha(), 1);
    EXPECT_EQ(cicolor({1, 1}), nullptr);
    CGFloat r = 0, g = 0, b = 0, a = 0;
    ASSERT_TRUE(uicolor({0.25, 0.5, 0.75, 1})->getRed(&r, &g, &b, &a));
    EXPECT_EQ(g, 0.5);
    EXPECT_EQ(uicolor({}), nullptr);
}

TEST(CoreImageConversions, Vectors) {
    EXPECT_EQ(civector({})->count(), 0u);
    auto five = civector({1, 2, 3, 4, 5});
    EXPECT_EQ(five->values(), (std::vector<CGFloat>{1, 2, 3, 4, 5}));
    auto scaled = civectorWithRatio({0.5, 0.25}, 2, 4);
    EXPECT_EQ(scaled->values(), (std::vector<CGFloat>{1, 1}));
    EXPECT_EQ(civectorWithRatio({0.5}, 2, 4), nullptr);
    auto rect = cirectWithRatio({10, 20, 101, 51}, 0.5, 0.5);
    EXPECT_EQ(rect->values(), (std::vector<CGFloat>{5, 10, 51, 26}));
    EXPECT_EQ(cirectWithRatio({-3, 0, 0, 0}, 0.5, 1)->X(), -2);  // halves away from zero
    EXPECT_EQ(cirectWithRatio({1, 2, 3}, 1, 1), nullptr);
}

TEST(CoreImageConversions, TransformsPointsAndRectangles) {
    auto t = nsvalue_CGAffineTransform({2, 0, 0, 3, 10, 20});
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->CGAffineTransformValue(), CGAffineTransformMake(2, 0, 0, 3, 10, 20));
    EXPECT_EQ(nsvalue_CGAffineTransform({1, 0, 0, 1, 0}), nullptr);
    EXPECT_EQ(cgpoint({1, 2, 99}), CGPointMake(1, 2));
    EXPECT_FALSE(cgpoint({1}));
    EXPECT_EQ(cgrect({1, 2, 3, 4}), CGRectMake(1, 2, 3, 4));
    EXPECT_FALSE(cgrect({}));
}

TEST(CoreImageConversions, CubeDimensionNeverExceedsTheElements) {
    EXPECT_EQ(colorCubeDimension(0), 0u);
    EXPECT_EQ(colorCubeDimension(1), 1u);
    EXPECT_EQ(colorCubeDimension(7), 1u);
    EXPECT_EQ(colorCubeDimension(8), 2u);
    EXPECT_EQ(colorCubeDimension(26), 2u);
    EXPECT_EQ(colorCubeDimension(8000), 20u);
    EXPECT_EQ(colorCubeDimension(262144), 64u);
    for (std::size_t n = 1; n <= 200; ++n) {
        EXPECT_EQ(colorCubeDimension(n * n * n), n) << n;
        EXPECT_EQ(colorCubeDimension(n * n * n - 1), n - 1) << n;
    }
    std::size_t huge = std::size_t(1) << 62;
    std::size_t n = colorCubeDimension(huge);
    EXPECT_LE(n * n * n, huge);
    EXPECT_GT((n + 1) * (n + 1) * (n + 1), huge);
}

TEST(CoreImageConversions, ColourCubeLayout) {
    ValueArray elements;
    for (int i = 0; i < 8; ++i) elements.push_back(Value::array({i, 0.5, 0.25, 1}));
    elements[1] = Value::array({1, 0.5});         // missing components are 0, alpha included
    elements[2] = Value::array({1, 2, 3, 4, 5});  // extra ones are ignored
    elements[3] = Value("not an array");
    auto cube = nsdata_colorArray(elements);
    ASSERT_TRUE(cube);
    ASSERT_EQ(cube->size(), 128u);
    auto f = floatsOf(*cube);
    EXPECT_EQ(std::vector<float>(f.begin(), f.begin() + 4), (std::vector<float>{0, 0.5f, 0.25f, 1}));
    EXPECT_EQ(std::vector<float>(f.begin() + 4, f.begin() + 8), (std::vector<float>{1, 0.5f, 0, 0}));
    EXPECT_EQ(std::vector<float>(f.begin() + 8, f.begin() + 12), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(std::vector<float>(f.begin() + 12, f.begin() + 16), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(f[28], 7);
    // A count that is no cube uses the largest cube it holds and reads nothing past the elements.
    elements.resize(9, Value::array({9, 9, 9, 9}));
    EXPECT_EQ(nsdata_colorArray(elements)->size(), 128u);
    elements.resize(7);
    EXPECT_EQ(nsdata_colorArray(elements)->size(), 16u);
    EXPECT_FALSE(nsdata_colorArray({}));
    ValueArray big(20 * 20 * 20, Value::array({0.1, 0.2, 0.3, 1}));
    EXPECT_EQ(nsdata_colorArray(big)->size(), 128000u);
}
