// Images: encode/decode round trips, orientation when drawing, bitmap contexts over caller memory,
// named images and bad data.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/image/cg_image.h"
#include "platform/image/color_space.h"
#include "platform/storage/bundle.h"
#include "platform/ui/draw/bitmap_context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/ui/draw_test_support.h"

namespace {

// A 4 x 2 picture: left half red, right half blue, the top-left pixel green.
std::shared_ptr<UIImage> sample(UIImageOrientation orientation = UIImageOrientation::Up, CGFloat scale = 1) {
    std::vector<std::uint8_t> px(4 * 2 * 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* p = px.data() + (y * 4 + x) * 4;
            bool green = x == 0 && y == 0;
            p[0] = (x < 2 && !green) ? 255 : 0;
            p[1] = green ? 255 : 0;
            p[2] = x >= 2 ? 255 : 0;
            p[3] = 255;
        }
    return UIImage::imageWithCGImage(CGImage::create(4, 2, 16, px), scale, orientation);
}

std::shared_ptr<UIImage> drawn(const std::shared_ptr<UIImage>& image) {
    UIGraphicsBeginImageContextWithOptions(image->size(), false, 1);
    image->drawAtPoint({0, 0});
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out;
}

const Rgba8 kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

TEST(DrawImage, SizeFollowsScaleAndOrientation) {
    EXPECT_EQ(sample()->size(), CGSizeMake(4, 2));
    EXPECT_EQ(sample(UIImageOrientation::Up, 2)->size(), CGSizeMake(2, 1));
    EXPECT_EQ(sample(UIImageOrientation::Right)->size(), CGSizeMake(2, 4));
    EXPECT_EQ(sample(UIImageOrientation::LeftMirrored)->size(), CGSizeMake(2, 4));
    EXPECT_EQ(UIImage::imageWithCGImage(nullptr), nullptr);
}

TEST(DrawImage, DrawingTurnsThePictureUpright) {
    // Up: as stored.
    auto up = drawn(sample());
    EXPECT_TRUE(near(pixelAt(up, 0, 0), kGreen));
    EXPECT_TRUE(near(pixelAt(up, 3, 1), kBlue));
    // Right: turned a quarter clockwise, so the stored top-left lands top-right.
    auto right = drawn(sample(UIImageOrientation::Right));
    ASSERT_EQ(right->cgImage()->width(), 2);
    EXPECT_TRUE(near(pixelAt(right, 1, 0), kGreen));
    EXPECT_TRUE(near(pixelAt(right, 0, 3), kBlue));
    // Left: a quarter counter-clockwise, the stored top-left lands bottom-left.
    auto left = drawn(sample(UIImageOrientation::Left));
    EXPECT_TRUE(near(pixelAt(left, 0, 3), kGreen));
    EXPECT_TRUE(near(pixelAt(left, 1, 0), kBlue));
    // Down: half a turn. Up-mirrored: flipped left to right.
    auto down = drawn(sample(UIImageOrientation::Down));
    EXPECT_TRUE(near(pixelAt(down, 3, 1), kGreen));
    auto mirrored = drawn(sample(UIImageOrientation::UpMirrored));
    EXPECT_TRUE(near(pixelAt(mirrored, 3, 0), kGreen));
    EXPECT_TRUE(near(pixelAt(mirrored, 0, 1), kBlue));
}

TEST(DrawImage, PngAndJpegRoundTrips) {
    auto png = UIImagePNGRepresentation(sample());
    ASSERT_TRUE(png) << png.error();
    auto back = UIImage::imageWithData(*png);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), CGSizeMake(4, 2));
    EXPECT_TRUE(near(pixelAt(back, 0, 0), kGreen, 0));
    EXPECT_TRUE(near(pixelAt(back, 3, 1), kBlue, 0));

    // PNG keeps no orientation tag, so the pixels are turned instead.
    auto turned = UIImage::imageWithData(*UIImagePNGRepresentation(sample(UIImageOrientation::Right)));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->imageOrientation(), UIImageOrientation::Up);
    EXPECT_EQ(turned->size(), CGSizeMake(2, 4));
    EXPECT_TRUE(near(pixelAt(turned, 1, 0), kGreen, 0));

    // JPEG records the orientation and keeps the stored pixels.
    std::vector<std::uint8_t> px(64 * 32 * 4);
    for (std::size_t i = 0; i < px.size(); i += 4) px[i] = 200, px[i + 1] = 100, px[i + 2] = 50, px[i + 3] = 255;
    auto photo = UIImage::imageWithCGImage(CGImage::create(64, 32, 256, px), 1, UIImageOrientation::Right);
    auto jpeg = UIImageJPEGRepresentation(photo, 0.9);
    ASSERT_TRUE(jpeg) << jpeg.error();
    auto decoded = UIImage::imageWithData(*jpeg);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->imageOrientation(), UIImageOrientation::Right);
    EXPECT_EQ(decoded->cgImage()->width(), 64);
    EXPECT_EQ(decoded->size(), CGSizeMake(32, 64));
    EXPECT_TRUE(near(pixelAt(decoded, 10, 10), {200, 100, 50, 255}, 4));
}

TEST(DrawImage, BadDataAndMissingFilesGiveNothing) {
    EXPECT_EQ(UIImage::imageWithData({}), nullptr);
    EXPECT_EQ(UIImage::imageWithData({0xFF, 0xD8, 0xFF, 0x00, 0x12}), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile("/nonexistent/korva.png"), nullptr);
    EXPECT_EQ(UIImage::imageNamed("no-such-image-anywhere"), nullptr);
    EXPECT_FALSE(UIImageJPEGRepresentation(nullptr, 0.5));
    EXPECT_FALSE(UIImagePNGRepresentation(nullptr));
}

TEST(DrawImage, FilesNamedWithAScaleLoadAtThatScale) {
    auto dir = std::filesystem::temp_directory_path() / "korva-draw-image-test";
    std::filesystem::create_directories(dir);
    auto png = UIImagePNGRepresentation(sample());
    ASSERT_TRUE(png);
    auto path = (dir / "badge@2x.png").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png->data()), png->size());
    auto image = UIImage::imageWithContentsOfFile(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), CGSizeMake(2, 1));
    std::filesystem::remove_all(dir);
}

TEST(DrawImage, NamedImagesComeFromTheBundle) {
    auto dir = std::filesystem::temp_directory_path() / "korva-draw-named-test";
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name) {
        auto png = UIImagePNGRepresentation(sample());
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(png->data()), png->size());
    };
    write("logo.png");
    write("shutter@2x.png");
    NSBundle::setMainBundleRoot(dir.string());
    UIImage::clearNamedImageCache();

    auto logo = UIImage::imageNamed("logo.png");
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->scale(), 1);
    EXPECT_EQ(UIImage::imageNamed("logo"), UIImage::imageNamed("logo"));  // cached by name
    auto shutter = UIImage::imageNamed("shutter");                        // only a double-scale file exists
    ASSERT_TRUE(shutter);
    EXPECT_EQ(shutter->scale(), 2);
    EXPECT_EQ(shutter->size(), CGSizeMake(2, 1));
    EXPECT_EQ(UIImage::imageNamed("../logo"), nullptr);  // never outside the bundle

    // A miss is not remembered: a file added later is found.
    EXPECT_EQ(UIImage::imageNamed("late"), nullptr);
    write("late.png");
    EXPECT_TRUE(UIImage::imageNamed("late"));

    NSBundle::setMainBundleRoot("");
    UIImage::clearNamedImageCache();
    std::filesystem::remove_all(dir);
}

TEST(DrawImage, BitmapContextOverCallerMemory) {
    // Big-endian RGBA bytes, premultiplied: the layout the colour sampling code reads.
    std::vector<std::uint8_t> memory(4 * 4 * 4, 0);
    auto context = CGBitmapContextCreate(memory.data(), 4, 4, 8, 16, CGColorSpaceCreateDeviceRGB(),
                                         kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
    ASSERT_TRUE(context);
    // y up: a fill of the bottom row in user space lands in the last memory row.
    context->setFillColorWithColor(CGColor::rgb(1, 0, 0));
    context->fillRect({{0, 0}, {4, 1}});
    EXPECT_EQ(memory[(3 * 4 + 0) * 4 + 0], 255);  // R
    EXPECT_EQ(memory[(3 * 4 + 0) * 4 + 3], 255);  // A
    EXPECT_EQ(memory[0], 0);
    // Drawing an image into the whole context puts its top row in the first memory row.
    context->drawImage({{0, 0}, {4, 4}}, *sample()->cgImage());
    EXPECT_EQ(memory[0 * 4 + 1], 255);            // top-left green
    EXPECT_EQ(memory[(3 * 4 + 3) * 4 + 2], 255);  // bottom-right blue

    // Cairo's own layout is drawn in place; skipped alpha reads as opaque.
    std::vector<std::uint8_t> bgrx(2 * 2 * 4, 0);
    auto native = CGBitmapContextCreate(bgrx.data(), 2, 2, 8, 8, nullptr,
                                        kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Little);
    ASSERT_TRUE(native);
    native->setFillColorWithColor(CGColor::rgb(0, 0, 1));
    native->fillRect({{0, 0}, {2, 2}});
    native->flush();
    EXPECT_EQ(bgrx[0], 255);  // B first in memory
    EXPECT_EQ(bgrx[2], 0);
    auto snapshot = native->makeImage();
    ASSERT_TRUE(snapshot);
    EXPECT_TRUE(near(pixelAt(*snapshot, 1, 1), kBlue));

    // Skip-first big endian (X R G B) as pixel buffers use.
    std::vector<std::uint8_t> xrgb(4, 0);
    auto skip =
        CGBitmapContextCreate(xrgb.data(), 1, 1, 8, 4, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaNoneSkipFirst);
    ASSERT_TRUE(skip);
    skip->setFillColorWithColor(CGColor::rgb(1, 0.5, 0));
    skip->fillRect({{0, 0}, {1, 1}});
    EXPECT_EQ(xrgb[1], 255);
    EXPECT_NEAR(xrgb[2], 128, 1);
    EXPECT_EQ(xrgb[3], 0);

    // Layouts the platform refuses give no context.
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 4, 16, 0, nullptr, kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 4, 8, 0, nullptr, kCGImageAlphaLast));
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 0, 4, 8, 0, nullptr, kCGImageAlphaPremultipliedLast));
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 4, 8, 8, nullptr, kCGImageAlphaPremultipliedLast));  // short rows
    // Own memory when none is given.
    auto own = CGBitmapContextCreate(nullptr, 3, 3, 8, 0, nullptr, kCGImageAlphaPremultipliedFirst);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->bytesPerRow(), 12u);
}

TEST(DrawImage, DownscalingToOnePixelAverages) {
    std::vector<std::uint8_t> memory(4, 0);
    auto context = CGBitmapContextCreate(memory.data(), 1, 1, 8, 4, nullptr,
                                         kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
    ASSERT_TRUE(context);
    context->drawImage({{0, 0}, {1, 1}}, *sample()->cgImage());
    // Half red, half blue, one pixel in eight green.
    EXPECT_NEAR(memory[0], 96, 12);
    EXPECT_NEAR(memory[2], 128, 12);
    EXPECT_EQ(memory[3], 255);
}

}  // namespace
