// Cutting a rectangle out of a bitmap: the part on the bitmap, made integral outwards, in the
// bitmap's own layout; nothing for a rectangle off the bitmap, not finite, or no image.
#include "platform/image/cg_image_crop.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CGImageCrop, CutsToTheBitmapOrGivesNothing) {
    std::vector<std::uint8_t> px(10 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) px[(y * 10 + x) * 4] = std::uint8_t(x * 10 + y), px[(y * 10 + x) * 4 + 3] = 255;
    auto image = CGImage::create(10, 8, 40, std::move(px), nullptr, CGImagePixelLayout::BGRA8Premultiplied);
    ASSERT_TRUE(image);

    auto cut = CGImageCreateWithImageInRect(image, CGRectMake(2.5, 1, 3, 2.2));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->width(), 4);   // 2 ... 6 outwards
    EXPECT_EQ(cut->height(), 3);  // 1 ... 4
    EXPECT_EQ(cut->row(0)[0], 2 * 10 + 1);
    EXPECT_EQ(cut->row(2)[3 * 4], 5 * 10 + 3);
    EXPECT_EQ(cut->layout(), CGImagePixelLayout::BGRA8Premultiplied);

    auto edge = CGImageCreateWithImageInRect(image, CGRectMake(7, -3, 10, 5));
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->width(), 3);
    EXPECT_EQ(edge->height(), 2);
    // A rectangle given with a negative size covers the same pixels.
    auto flipped = CGImageCreateWithImageInRect(image, CGRectMake(5, 4, -2, -2));
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->width(), 2);

    EXPECT_FALSE(CGImageCreateWithImageInRect(image, CGRectMake(10, 0, 5, 5)));
    EXPECT_FALSE(CGImageCreateWithImageInRect(image, CGRectMake(2, 2, 0, 0)));
    EXPECT_FALSE(CGImageCreateWithImageInRect(image, CGRectMake(0, 0, INFINITY, 5)));
    EXPECT_FALSE(CGImageCreateWithImageInRect(nullptr, CGRectMake(0, 0, 5, 5)));
}
