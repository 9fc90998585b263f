// Drawing text: colour and placement of the ink, alignment, truncation, outlines, and the icon
// badge recipe (a glyph knocked out of a disc).
#include <gtest/gtest.h>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"
#include "tests/platform/ui/draw_test_support.h"

namespace {

const char* kCircleGlyph = "\xef\x84\x91";  // the icon font's filled circle

struct Ink {
    int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1, count = 0;
};

Ink inkOf(const std::shared_ptr<UIImage>& image) {
    Ink ink;
    for (int y = 0; y < image->cgImage()->height(); ++y)
        for (int x = 0; x < image->cgImage()->width(); ++x)
            if (pixelAt(image, x, y).a > 100) {
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minY = std::min(ink.minY, y);
                ink.maxY = std::max(ink.maxY, y);
                ++ink.count;
            }
    return ink;
}

template <class F>
std::shared_ptr<UIImage> render(CGSize size, F body) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    body();
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

NSAttributes attributes(const char* face, CGFloat size, std::shared_ptr<UIColor> color,
                        std::shared_ptr<NSParagraphStyle> style = nullptr) {
    NSAttributes a{{NSFontAttributeName, UIFont::fontWithName(face, size)}, {NSForegroundColorAttributeName, color}};
    if (style) a.set(NSParagraphStyleAttributeName, style);
    return a;
}

TEST(TextDraw, InkHasTheColourAndStaysInTheRectangle) {
    auto image = render({100, 40}, [] {
        drawInRect("Hello", {{10, 10}, {80, 25}}, attributes("Gill Sans", 17, UIColor::redColor()));
    });
    Ink ink = inkOf(image);
    ASSERT_GT(ink.count, 20);
    EXPECT_GE(ink.minX, 10);
    EXPECT_LE(ink.maxX, 10 + 44);
    EXPECT_GE(ink.minY, 10);
    EXPECT_LE(ink.maxY, 10 + 20);
    // Somewhere in the ink the colour is pure red.
    bool red = false;
    for (int y = ink.minY; y <= ink.maxY; ++y)
        for (int x = ink.minX; x <= ink.maxX; ++x) red = red || near(pixelAt(image, x, y), {255, 0, 0, 255});
    EXPECT_TRUE(red);
}

TEST(TextDraw, AlignmentPlacesTheLine) {
    auto centred = NSParagraphStyle::make();
    centred->alignment = NSTextAlignment::Center;
    auto right = NSParagraphStyle::make();
    right->alignment = NSTextAlignment::Right;
    auto centre = inkOf(render({200, 30}, [&] {
        drawInRect("Hello", {{0, 0}, {200, 30}}, attributes("Gill Sans", 17, UIColor::blackColor(), centred));
    }));
    EXPECT_NEAR((centre.minX + centre.maxX) / 2.0, 100, 3);
    auto flush = inkOf(render({200, 30}, [&] {
        drawInRect("Hello", {{0, 0}, {200, 30}}, attributes("Gill Sans", 17, UIColor::blackColor(), right));
    }));
    EXPECT_GT(flush.maxX, 194);
    EXPECT_GT(flush.minX, 150);
}

TEST(TextDraw, TruncatedTextStaysWithinTheWidth) {
    auto tail = NSParagraphStyle::make();
    tail->lineBreakMode = NSLineBreakMode::ByTruncatingTail;
    auto ink = inkOf(render({200, 30}, [&] {
        drawInRect("The quick brown fox jumps over the lazy dog", {{0, 0}, {80, 30}},
                   attributes("Gill Sans", 17, UIColor::blackColor(), tail));
    }));
    EXPECT_GT(ink.count, 20);
    EXPECT_LE(ink.maxX, 80);
    EXPECT_LE(ink.maxY, 22);  // one line only
}

TEST(TextDraw, HollowOutlines) {
    // A positive stroke width draws only the outline of a large full block.
    auto image = render({60, 60}, [] {
        NSAttributes a = attributes("Gill Sans", 40, UIColor::redColor());
        a.set(NSStrokeWidthAttributeName, 3.0);
        a.set(NSStrokeColorAttributeName, UIColor::blueColor());
        drawAtPoint("\xe2\x96\x88", {5, 5}, a);
    });
    Ink ink = inkOf(image);
    ASSERT_GT(ink.count, 20);
    int midX = (ink.minX + ink.maxX) / 2, midY = (ink.minY + ink.maxY) / 2;
    EXPECT_EQ(pixelAt(image, midX, midY).a, 0);  // hollow inside
    Rgba8 edge = pixelAt(image, ink.minX + 1, midY);
    EXPECT_GT(edge.b, 200);
    EXPECT_LT(edge.r, 60);
}

TEST(TextDraw, IconBadgeKnocksTheGlyphOutOfTheDisc) {
    CGSize size{40, 40};
    NSAttributes glyph = attributes("FontAwesome", 34, UIColor::whiteColor());
    CGRect box = boundingRectWithSize(kCircleGlyph, size, NSStringDrawingUsesLineFragmentOrigin, glyph);
    CGRect centred{{(size.width - box.size.width) * 0.5, (size.height - box.size.height) * 0.5}, box.size};
    auto stencil = render(size, [&] { drawInRect(kCircleGlyph, centred, glyph); });
    auto badge = render(size, [&] {
        CGContext* c = UIGraphicsGetCurrentContext();
        stencil->drawInRect({{0, 0}, size});
        c->saveGState();
        c->setBlendMode(CGBlendMode::SourceOut);
        c->setFillColorWithColor(CGColor::rgb(0, 0, 1));
        c->fillEllipseInRect({{0, 0}, size});
        c->restoreGState();
    });
    EXPECT_EQ(pixelAt(stencil, 20, 19).a, 255);                  // the glyph is really drawn
    EXPECT_EQ(pixelAt(badge, 20, 19).a, 0);                      // knocked out where the glyph is
    EXPECT_TRUE(near(pixelAt(badge, 20, 2), {0, 0, 255, 255}));  // disc around it
    EXPECT_EQ(pixelAt(badge, 1, 1).a, 0);                        // outside the disc
}

TEST(TextDraw, NothingHappensWithoutAContext) {
    ASSERT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    drawInRect("Hello", {{0, 0}, {10, 10}}, {});
    drawAtPoint("Hello", {0, 0}, {});
    drawWithRect(*NSAttributedString::make("Hello"), {{0, 0}, {10, 10}}, 0);
}

}  // namespace
