// The reach a recorder gathers from drawing calls: every pixel they touch lies inside it (shapes,
// strokes, images, text in several fonts and sizes, under a turned and scaled context), calls
// whose reach is not known reach their clip, and drawing into another target does not count.
#include <cairo.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {

constexpr int kW = 2400, kH = 160;  // wide enough for a long line of text

struct Drawn {
    std::optional<CGRect> reach;
    CGRect touched = CGRectNull();  // the pixels that are not transparent black
};

// Draws through a context on a fresh transparent surface (3 pixels a point, or the given base)
// while a recorder runs.
Drawn drawn(const std::function<void(CGContext&)>& body, CGAffineTransform base = CGAffineTransformMakeScale(3, 3)) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
    cairo_t* cr = cairo_create(surface);
    cairo_matrix_t m{base.a, base.b, base.c, base.d, base.tx, base.ty};
    cairo_set_matrix(cr, &m);
    Drawn out;
    {
        auto context = CGContext::makeWithCairo(cr, base);
        DrawnArea area(cr);
        UIGraphicsPushContext(context);
        body(*context);
        UIGraphicsPopContext();
        out.reach = area.pixels();
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const unsigned char* p = data + y * stride + x * 4;
            if (p[0] | p[1] | p[2] | p[3]) out.touched = CGRectUnion(out.touched, CGRectMake(x, y, 1, 1));
        }
    cairo_surface_destroy(surface);
    return out;
}

void expectInside(const Drawn& d, const std::string& what) {
    ASSERT_TRUE(d.reach) << what;
    ASSERT_FALSE(CGRectIsNull(d.touched)) << what << ": nothing drawn";
    EXPECT_TRUE(CGRectContainsRect(*d.reach, d.touched))
        << what << ": touched " << d.touched.origin.x << "," << d.touched.origin.y << " " << d.touched.size.width << "x"
        << d.touched.size.height << " outside " << d.reach->origin.x << "," << d.reach->origin.y << " "
        << d.reach->size.width << "x" << d.reach->size.height;
}

TEST(DrawnAreaTest, EveryTouchedPixelLiesWithinTheReachOfShapesImagesAndText) {
    expectInside(drawn([](CGContext& c) {
                     c.setRGBFillColor(1, 0, 0, 0.5);
                     c.fillRect(CGRectMake(10.3, 7.7, 20.1, 3.05));
                 }),
                 "a fill");
    expectInside(drawn([](CGContext& c) {
                     c.setLineWidth(4);
                     c.setRGBStrokeColor(0, 0, 1, 1);
                     c.strokeEllipseInRect(CGRectMake(20, 10, 30, 20));
                 }),
                 "a thick stroke");
    std::vector<std::uint8_t> px(8 * 8 * 4, 200);
    auto image = CGImage::create(8, 8, 8 * 4, std::move(px), nullptr, CGImagePixelLayout::BGRA8Premultiplied);
    expectInside(drawn([&](CGContext& c) { c.drawImage(CGRectMake(5.5, 6.25, 13, 9), *image); }), "an image");
    for (auto font :
         {UIFont::systemFontOfSize(17), UIFont::boldSystemFontOfSize(30), UIFont::italicSystemFontOfSize(9)})
        for (std::string text :
             {std::string("Field 17"), std::string("Ágy ÿ jÅ"), std::string("\u203A"), std::string("WWWWWWWWWWWWWWWW"),
              std::string(90, 'i'),
              std::string("il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il.il")})
            expectInside(drawn([&](CGContext&) {
                             drawAtPoint(text, {4.2, 3.7}, labelAttributes(font, UIColor::blackColor()));
                         }),
                         "text " + text);
    // Under a turned, scaled base the reach still holds the pixels.
    CGAffineTransform turned = CGAffineTransformRotate(CGAffineTransformMakeScale(2.5, 2.5), 0.3);
    turned.tx = 60;
    expectInside(
        drawn(
            [](CGContext&) {
                drawAtPoint("Turned text", {5, 2}, labelAttributes(UIFont::systemFontOfSize(14), UIColor::redColor()));
            },
            turned),
        "turned text");
}

TEST(DrawnAreaTest, CallsOfUnknownReachAndOtherTargets) {
    EXPECT_EQ(drawn([](CGContext&) {}).reach, std::optional<CGRect>(CGRectZero)) << "nothing drawn";
    // Calls whose reach is not known reach their whole clip: here the whole target, or the clip.
    const std::optional<CGRect> whole = CGRectMake(0, 0, kW, kH);
    EXPECT_EQ(drawn([](CGContext& c) {
                  c.setShadow({2, 2}, 3);
                  c.fillRect(CGRectMake(10, 10, 5, 5));
              }).reach,
              whole)
        << "a shadow falls outside the shape";
    EXPECT_EQ(drawn([](CGContext& c) {
                  c.setBlendMode(CGBlendMode::Copy);
                  c.fillRect(CGRectMake(10, 10, 5, 5));
              }).reach,
              whole)
        << "a blend mode that acts outside the shape";
    auto gradient = CGGradient::createWithColors(nullptr, {CGColor::rgb(1, 0, 0, 1), CGColor::rgb(0, 0, 1, 1)});
    EXPECT_EQ(drawn([&](CGContext& c) {
                  c.drawLinearGradient(*gradient, {0, 0}, {10, 0}, 0);
              }).reach,
              whole)
        << "a gradient fills the clip";
    EXPECT_EQ(drawn([&](CGContext& c) {
                  c.clipToRect(CGRectMake(2, 3, 10, 4));
                  c.drawLinearGradient(*gradient, {0, 0}, {10, 0}, 0);
              }).reach,
              std::optional<CGRect>(CGRectMake(6, 9, 30, 12)));
    // Drawing into a picture of its own, then nothing into the recorded target.
    auto other = drawn([](CGContext&) {
        UIGraphicsBeginImageContextWithOptions({10, 10}, false, 1);
        UIGraphicsGetCurrentContext()->fillRect(CGRectMake(0, 0, 10, 10));
        UIGraphicsEndImageContext();
    });
    EXPECT_EQ(other.reach, std::optional<CGRect>(CGRectZero));
    // Clearing adds nothing; a reach hint not taken by the call it was meant for is dropped.
    DrawnArea::nextCallReaches(CGRectMake(0, 0, 1, 1));
    EXPECT_TRUE(DrawnArea::takeNextCallReach());
    EXPECT_FALSE(DrawnArea::takeNextCallReach());
}

}  // namespace
