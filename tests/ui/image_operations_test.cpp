// Image operations: badge pixels, encoding read back by the decoder, loading with its fallback and
// bad input, resizing and cropping, straightening by pixels, and the thumbnail descriptions.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "foundation/image_service.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/image/cg_image.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/ui/ui_test_support.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"
#include "widgets/button/ns_string_font_awesome.h"

namespace {

struct RGBA {
    int r, g, b, a;
};

// Pixel units (not points), in either byte order.
RGBA pixelAt(const ImageRef& image, int x, int y) {
    const auto& bitmap = image->cgImage();
    const std::uint8_t* p = bitmap->row(y) + x * 4;
    if (bitmap->layout() == CGImagePixelLayout::BGRA8Premultiplied) return {p[2], p[1], p[0], p[3]};
    return {p[0], p[1], p[2], p[3]};
}

// A w x h picture: left half red, right half blue, the top-left pixel green.
ImageRef sample(int w, int h, UIImageOrientation orientation = UIImageOrientation::Up) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w * h * 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = px.data() + (y * w + x) * 4;
            const bool green = x == 0 && y == 0;
            p[0] = x < w / 2 && !green ? 255 : 0;
            p[1] = green ? 255 : 0;
            p[2] = x >= w / 2 ? 255 : 0;
            p[3] = 255;
        }
    return UIImage::imageWithCGImage(CGImage::create(w, h, static_cast<std::size_t>(w * 4), px), 1, orientation);
}

struct Images : ToolkitTest {
    void SetUp() override {
        ToolkitTest::SetUp();
        UIGraphicsSetMainScreenScale(1);
    }
};

TEST_F(Images, RatioResizesKeepTheShape) {
    EXPECT_EQ(resizedRatioImage(sample(400, 300), {200, 200})->size(), (CGSize{200, 150}));
    EXPECT_EQ(resizedRatioImage(sample(300, 400), {200, 200})->size(), (CGSize{150, 200}));
    EXPECT_EQ(resizedRatioImage(sample(300, 300), {200, 100})->size(), (CGSize{100, 100})) << "square: by height";
    EXPECT_EQ(resizedImage(sample(4, 2), {8, 8})->size(), (CGSize{8, 8}));
}

TEST_F(Images, BadSizesGiveNone) {
    auto image = sample(40, 30);
    for (CGSize size : {CGSize{0, 10}, CGSize{-5, 10}, CGSize{NAN, 10}, CGSize{10, INFINITY}}) {
        EXPECT_EQ(resizedImage(image, size), nullptr);
        EXPECT_EQ(croppedImage(image, {{0, 0}, size}), nullptr);
        EXPECT_EQ(imageColor(UIColor::redColor(), size), nullptr);
    }
    EXPECT_EQ(resizedRatioImage(image, {0, 0}), nullptr);
    EXPECT_EQ(croppedImageByRatio(image, 0), nullptr);
    EXPECT_EQ(croppedImageByRatio(image, NAN), image) << "nothing to compare: the image itself";
    EXPECT_EQ(resizedImage(nullptr, {10, 10}), nullptr);
    EXPECT_EQ(thumbnailBlur(image, -1), image);
}

TEST_F(Images, CentreCropsToTheRatio) {
    auto portrait = sample(300, 400);
    EXPECT_EQ(croppedImageByRatio(portrait, 0.75), portrait) << "already 3:4";
    auto square = croppedImageByRatio(sample(400, 300), 1.0);
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->size(), (CGSize{300, 300}));
    auto tall = croppedImageByRatio(sample(400, 300), 2.0);
    EXPECT_EQ(tall->size(), (CGSize{400, 200}));
    auto cut = croppedImage(sample(4, 2), {{2, 0}, {2, 2}});
    EXPECT_EQ(pixelAt(cut, 0, 0).b, 255) << "the right, blue half";
}

TEST_F(Images, NormalizedTurnsThePixelsUpright) {
    auto up = sample(4, 2);
    EXPECT_EQ(normalizedImage(up), up);
    auto turned = normalizedImage(sample(4, 2, UIImageOrientation::Right));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->imageOrientation(), UIImageOrientation::Up);
    ASSERT_EQ(turned->cgImage()->width(), 2);
    ASSERT_EQ(turned->cgImage()->height(), 4);
    EXPECT_EQ(pixelAt(turned, 1, 0).g, 255) << "the stored top-left lands top-right";
    EXPECT_EQ(pixelAt(turned, 0, 3).b, 255);
}

TEST_F(Images, BadgeKnocksTheGlyphOutOfTheDisc) {
    auto font = global()->font()->iconFixedLarge3();
    // A solid square glyph in a clear colour: the glyph shows what lies behind the badge.
    auto badge = imageIcon(0xF0C8, {60, 60}, font, UIColor::clearColor(), UIColor::colorWithRed(1, 0, 0, 1));
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(pixelAt(badge, 30, 30).a, 0) << "inside the glyph";
    const RGBA disc = pixelAt(badge, 30, 3);
    EXPECT_EQ(disc.a, 255) << "the disc around the glyph";
    EXPECT_EQ(disc.r, 255);
    EXPECT_EQ(pixelAt(badge, 1, 1).a, 0) << "outside the disc";

    auto white = imageIcon(0xF0C8, {60, 60}, font, UIColor::whiteColor(), UIColor::colorWithRed(1, 0, 0, 1));
    const RGBA glyph = pixelAt(white, 30, 30);
    EXPECT_EQ(glyph.a, 255);
    EXPECT_EQ(glyph.g, 255) << "the glyph redrawn in its colour";

    auto picture = imageImage(sample(4, 4), {20, 20}, UIColor::greenColor(), UIColor::colorWithRed(0, 0, 1, 1));
    EXPECT_EQ(pixelAt(picture, 14, 10).b, 255) << "the picture's own right half, whatever colour is passed";
    EXPECT_EQ(pixelAt(picture, 5, 10).r, 255);
    EXPECT_EQ(pixelAt(picture, 10, 1).b, 255) << "the disc";
    EXPECT_EQ(pixelAt(picture, 0, 0).a, 0);
}

TEST_F(Images, TheBadgesKnockOutReachesOnlyAsFarAsItsDisc) {
    // A square glyph larger than the disc: its corners stand outside it. The knock-out clears the
    // glyph inside the disc only; outside, the glyph stays as drawn.
    auto font = global()->font()->iconFixedLarge3()->fontWithSize(76);
    auto badge = imageIcon(0xF0C8, {60, 60}, font, UIColor::clearColor(), UIColor::colorWithRed(1, 0, 0, 1));
    ASSERT_NE(badge, nullptr);
    auto stencil = imageTextWithBGColor(fa_stringForFontAwesomeIcon(0xF0C8), {60, 60}, font, UIColor::whiteColor(),
                                        UIColor::clearColor());
    ASSERT_EQ(pixelAt(stencil, 4, 4).a, 255) << "the glyph must reach outside the disc for this test";
    EXPECT_EQ(pixelAt(badge, 4, 4).a, 255) << "the knock-out cleared the glyph outside the disc";
    EXPECT_EQ(pixelAt(badge, 30, 30).a, 0) << "inside the disc the glyph is knocked out";
}

TEST_F(Images, PixelBufferHoldsTheStoredOpaquePixels) {
    auto buffer = pixelBuffer(sample(4, 2, UIImageOrientation::Right), kCVPixelFormatType_32BGRA);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->width(), 4u) << "the bitmap's pixels as stored";
    ASSERT_EQ(buffer->height(), 2u);
    EXPECT_EQ(buffer->row(0)[1], 255) << "green top left";
    EXPECT_EQ(buffer->row(1)[12 + 0], 255) << "blue first in the buffer's byte order";
    EXPECT_EQ(buffer->row(1)[12 + 2], 0);
    EXPECT_EQ(buffer->row(1)[12 + 3], 255);
    EXPECT_EQ(buffer->lockCount(), 0);
    EXPECT_EQ(pixelBuffer(sample(4, 2), 0x20), nullptr) << "another format";
    EXPECT_EQ(pixelBuffer(nullptr, kCVPixelFormatType_32BGRA), nullptr);
}

TEST_F(Images, SharedCheckImagesUseTheToolkitsGlyphs) {
    auto check = global()->image()->check1();
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->size(), (CGSize{32, 32}));
}

TEST_F(Images, JpegIsReadBackByTheDecoder) {
    auto data = jpeg(sample(40, 20));
    ASSERT_TRUE(data);
    auto back = imageWithData2(*data);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->size(), (CGSize{40, 20}));
    EXPECT_GT(pixelAt(back, 30, 10).b, 200);
    const auto path = (tempRoot / "p.jpg").string();
    EXPECT_TRUE(saveToFile_JPEG(sample(8, 8), path));
    EXPECT_NE(imageWithContentsOfFile2(path), nullptr);
    EXPECT_FALSE(saveToFile_PNG(nullptr, path));
}

TEST_F(Images, LoadingFallsBackToTheBytesAndRejectsJunk) {
    auto data = png(sample(6, 4));
    ASSERT_TRUE(data);
    const auto unnamed = (tempRoot / "picture.bin").string();
    ASSERT_TRUE(writeFileAtomically(unnamed, *data).ok());
    auto loaded = imageWithContentsOfFile2(unnamed);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->size(), (CGSize{6, 4}));

    EXPECT_EQ(imageWithContentsOfFile2((tempRoot / "nothing.png").string()), nullptr);
    const auto truncated = (tempRoot / "cut.png").string();
    ASSERT_TRUE(writeFileAtomically(truncated, Bytes(data->begin(), data->begin() + data->size() / 2)).ok());
    EXPECT_EQ(imageWithContentsOfFile2(truncated), nullptr);
    const auto text = (tempRoot / "text.jpg").string();
    ASSERT_TRUE(writeFileAtomically(text, std::string_view("not a picture")).ok());
    EXPECT_EQ(imageWithContentsOfFile2(text), nullptr);
    EXPECT_EQ(imageWithData2({}), nullptr);
    EXPECT_EQ(imageWithData2({1, 2, 3}), nullptr);
}

TEST_F(Images, ThumbnailDescriptions) {
    auto rect = [](const Value& d) { return d["value"]["inputRectangle"]["value"]; };
    auto radius = [](const Value& d) { return d["value"]["inputImage"]["value"]["value"]["inputRadius"]["value"]; };
    auto small = thumbnailBackgroundDescription({100, 100});
    EXPECT_EQ(small["name"].stringValue(), "CICrop");
    EXPECT_EQ(radius(small).kind(), Value::Kind::Float);
    EXPECT_FLOAT_EQ(radius(small).floatValue(), 10);
    EXPECT_FLOAT_EQ(rect(small)[std::size_t{0}].floatValue(), 5);
    EXPECT_FLOAT_EQ(rect(small)[std::size_t{2}].floatValue(), 90);
    auto large = thumbnailBackgroundDescription({1000, 1200});
    EXPECT_FLOAT_EQ(radius(large).floatValue(), 30);
    EXPECT_FLOAT_EQ(rect(large)[std::size_t{0}].floatValue(), 50);
    EXPECT_FLOAT_EQ(rect(large)[std::size_t{3}].floatValue(), 1100);

    auto padded = thumbnailBlurDescription({300, 400}, 1.0);
    EXPECT_DOUBLE_EQ(rect(padded)[std::size_t{0}].doubleValue(), 75);
    EXPECT_DOUBLE_EQ(rect(padded)[std::size_t{3}].doubleValue(), 150);
    auto strip = padded["value"]["inputImage"]["value"]["value"]["inputImage"]["value"];
    EXPECT_EQ(rect(strip)[std::size_t{0}].kind(), Value::Kind::Int);
    EXPECT_DOUBLE_EQ(rect(strip)[std::size_t{1}].doubleValue(), 50);
}

TEST_F(Images, ThumbnailsHaveTheirShapes) {
    auto wide = sample(400, 200);
    EXPECT_EQ(thumbnailBlur(wide, 1.0), wide) << "wide enough already";
    auto padded = thumbnailBlur(sample(200, 400), 1.0);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->size(), (CGSize{400, 400}));
    EXPECT_EQ(pixelAt(padded, 250, 200).b, 255) << "the picture centred, its blue half";
    EXPECT_GT(pixelAt(padded, 20, 200).a, 0) << "the blurred fill";
    auto background = thumbnailBackground(sample(200, 100));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->size(), (CGSize{190, 90}));
    auto gray = grayscale(sample(20, 10));
    ASSERT_NE(gray, nullptr);
    const RGBA g = pixelAt(gray, 15, 5);
    EXPECT_NEAR(g.r, g.b, 2);
}

}  // namespace
