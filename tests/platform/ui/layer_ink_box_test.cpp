// The drawn pixels of a bitmap: found exactly (a colour with no alpha counts, rows and columns at
// every edge), and cleared without touching the rest.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/layer/ink_box.h"

namespace {

struct Pixels {
    int w, h, stride;
    std::vector<unsigned char> bytes;
    Pixels(int width, int height)
        : w(width), h(height), stride(width * 4 + 12), bytes(static_cast<std::size_t>(stride) * height) {}
    unsigned char* at(int x, int y) { return bytes.data() + static_cast<std::size_t>(y) * stride + x * 4; }
    PixelBox box() { return inkBox(bytes.data(), stride, w, h); }
};

TEST(LayerInkBoxTest, FindsTheSmallestBoxAroundEveryPixelThatIsNotZero) {
    Pixels p(53, 21);
    EXPECT_TRUE(p.box().empty());
    p.at(30, 7)[0] = 1;  // blue without alpha still adds colour
    EXPECT_EQ(p.box(), (PixelBox{30, 7, 31, 8}));
    p.at(2, 9)[3] = 255;
    p.at(44, 15)[1] = 9;
    EXPECT_EQ(p.box(), (PixelBox{2, 7, 45, 16}));
    p.at(52, 0)[2] = 3;
    p.at(0, 20)[3] = 1;
    EXPECT_EQ(p.box(), (PixelBox{0, 0, 53, 21}));
    // Padding past the last pixel of a row is not looked at.
    Pixels q(5, 3);
    q.bytes[static_cast<std::size_t>(q.stride) - 1] = 7;
    EXPECT_TRUE(q.box().empty());
    EXPECT_TRUE(inkBox(nullptr, 0, 4, 4).empty());
}

TEST(LayerInkBoxTest, ClearsTheBoxAndNothingElse) {
    Pixels p(40, 10);
    for (auto& b : p.bytes) b = 0xAB;
    clearPixels(p.bytes.data(), p.stride, PixelBox{3, 2, 37, 9});
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const bool inside = x >= 3 && x < 37 && y >= 2 && y < 9;
            ASSERT_EQ(p.at(x, y)[0], inside ? 0 : 0xAB) << x << "," << y;
            ASSERT_EQ(p.at(x, y)[3], inside ? 0 : 0xAB) << x << "," << y;
        }
    EXPECT_EQ(p.bytes.back(), 0xAB);
    clearPixels(p.bytes.data(), p.stride, PixelBox{});
    EXPECT_EQ(p.at(0, 0)[0], 0xAB);
}

}  // namespace
