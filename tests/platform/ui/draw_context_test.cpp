// Image contexts: fills, strokes, clipping, gradients, blend modes, shadows and the context stack,
// checked at chosen pixels.
#include <gtest/gtest.h>

#include <numbers>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/platform/ui/draw_test_support.h"

namespace {

const Rgba8 kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kClear{0, 0, 0, 0}, kWhite{255, 255, 255, 255};

// Draws with `body` into a transparent context and returns the picture.
template <class F>
std::shared_ptr<UIImage> render(CGSize size, CGFloat scale, F body, bool opaque = false) {
    UIGraphicsBeginImageContextWithOptions(size, opaque, scale);
    CGContext* c = UIGraphicsGetCurrentContext();
    EXPECT_NE(c, nullptr);
    if (c) body(*c);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

TEST(DrawContext, ImageContextSizeScaleAndStack) {
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsBeginImageContextWithOptions({10, 5}, false, 2);
    CGContext* outer = UIGraphicsGetCurrentContext();
    ASSERT_NE(outer, nullptr);
    UIGraphicsBeginImageContextWithOptions({3, 3}, true, 1);
    EXPECT_NE(UIGraphicsGetCurrentContext(), outer);
    auto inner = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);

    ASSERT_TRUE(image && inner);
    EXPECT_EQ(image->size(), CGSizeMake(10, 5));
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->cgImage()->width(), 20);
    EXPECT_EQ(image->cgImage()->height(), 10);
    EXPECT_EQ(pixelAt(image, 3, 3).a, 0);                     // transparent context starts clear
    EXPECT_TRUE(near(pixelAt(inner, 1, 1), {0, 0, 0, 255}));  // opaque one starts black

    // Scale 0 is the main screen's.
    UIGraphicsSetMainScreenScale(3);
    auto screen = render({2, 2}, 0, [](CGContext&) {});
    EXPECT_EQ(screen->scale(), 3);
    UIGraphicsSetMainScreenScale(1);

    // A size without pixels pushes no context but keeps begin and end balanced.
    UIGraphicsBeginImageContextWithOptions({0, 10}, false, 1);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
    UIGraphicsEndImageContext();
    UIGraphicsBeginImageContextWithOptions({1e6, 1e6}, false, 1);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsEndImageContext();
    UIGraphicsEndImageContext();  // unbalanced end is ignored
}

TEST(DrawContext, FillStrokeAndStateStack) {
    auto image = render({40, 40}, 1, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{0, 0}, {20, 20}});
        c.saveGState();
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1));
        c.translateCTM(20, 20);
        c.fillRect({{0, 0}, {10, 10}});
        c.restoreGState();
        // Restored: red again and no translation.
        c.fillRect({{0, 30}, {5, 5}});
        c.setStrokeColorWithColor(CGColor::rgb(0, 0, 1));
        c.setLineWidth(4);
        c.strokeLineSegments({{10, 25}, {10, 40}});
    });
    EXPECT_TRUE(near(pixelAt(image, 10, 10), kRed));
    EXPECT_TRUE(near(pixelAt(image, 25, 25), kBlue));
    EXPECT_TRUE(near(pixelAt(image, 2, 32), kRed));
    EXPECT_TRUE(near(pixelAt(image, 9, 30), kBlue));    // inside the 4-wide line
    EXPECT_TRUE(near(pixelAt(image, 13, 30), kClear));  // just outside it
    EXPECT_TRUE(near(pixelAt(image, 35, 5), kClear));
}

TEST(DrawContext, ScaledContextDrawsInPoints) {
    auto image = render({10, 10}, 2, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{5, 5}, {5, 5}});
    });
    EXPECT_TRUE(near(pixelAt(image, 11, 11), kRed));
    EXPECT_TRUE(near(pixelAt(image, 9, 9), kClear));
}

TEST(DrawContext, PathsArcsAndFillRules) {
    // A ring: an outer and an inner circle filled even-odd leaves the centre empty; with the
    // non-zero rule both circles wind the same way and the centre is filled.
    auto ring = [](bool evenOdd) {
        return render({40, 40}, 1, [evenOdd](CGContext& c) {
            c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
            c.addEllipseInRect({{0, 0}, {40, 40}});
            c.addEllipseInRect({{10, 10}, {20, 20}});
            if (evenOdd)
                c.eoFillPath();
            else
                c.fillPath();
        });
    };
    auto eo = ring(true), nz = ring(false);
    EXPECT_TRUE(near(pixelAt(eo, 20, 20), kClear));
    EXPECT_TRUE(near(pixelAt(eo, 5, 20), kRed));
    EXPECT_TRUE(near(pixelAt(nz, 20, 20), kRed));
    EXPECT_TRUE(near(pixelAt(eo, 1, 1), kClear));  // outside the circle's corner

    // Three quarters of a ring drawn with the screen's clockwise sense, from the top round to the
    // left: the top-left quarter stays empty.
    auto arc = render({40, 40}, 1, [](CGContext& c) {
        auto path =
            UIBezierPath::bezierPathWithArcCenter({20, 20}, 15, 3 * std::numbers::pi / 2, std::numbers::pi, true);
        path->setLineWidth(4);
        c.setStrokeColorWithColor(CGColor::rgb(0, 0, 1));
        path->stroke();
    });
    EXPECT_TRUE(near(pixelAt(arc, 20, 5), kBlue));   // top: start
    EXPECT_TRUE(near(pixelAt(arc, 35, 20), kBlue));  // right
    EXPECT_TRUE(near(pixelAt(arc, 20, 35), kBlue));  // bottom
    EXPECT_TRUE(near(pixelAt(arc, 5, 20), kBlue));   // left: end
    EXPECT_TRUE(near(pixelAt(arc, 9, 9), kClear));   // top-left quarter not drawn
}

TEST(DrawContext, ClippingAndDashes) {
    auto image = render({40, 40}, 1, [](CGContext& c) {
        c.clipToRect({{10, 10}, {20, 20}});
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{0, 0}, {40, 40}});
    });
    EXPECT_TRUE(near(pixelAt(image, 15, 15), kRed));
    EXPECT_TRUE(near(pixelAt(image, 5, 15), kClear));
    EXPECT_TRUE(near(pixelAt(image, 35, 35), kClear));

    auto clipped = render({40, 40}, 1, [](CGContext&) {
        UIBezierPath::bezierPathWithOvalInRect({{0, 0}, {40, 40}})->addClip();
        UIColor::blueColor()->setFill();
        UIRectFill({{0, 0}, {40, 40}});
    });
    EXPECT_TRUE(near(pixelAt(clipped, 20, 20), kBlue));
    EXPECT_TRUE(near(pixelAt(clipped, 1, 1), kClear));

    // Dash 5 on, 2 off along a horizontal line.
    auto dashed = render({20, 4}, 1, [](CGContext& c) {
        c.setStrokeColorWithColor(CGColor::rgb(1, 0, 0));
        c.setLineWidth(2);
        c.setLineDash(0, {5, 2});
        c.strokeLineSegments({{0, 2}, {20, 2}});
    });
    EXPECT_TRUE(near(pixelAt(dashed, 2, 1), kRed));
    EXPECT_TRUE(near(pixelAt(dashed, 5, 1), kClear));
    EXPECT_TRUE(near(pixelAt(dashed, 8, 1), kRed));
}

TEST(DrawContext, LinearAndRadialGradients) {
    auto gradient = CGGradient::createWithColors(nullptr, {CGColor::rgb(1, 0, 0), CGColor::rgb(0, 0, 1)});
    ASSERT_TRUE(gradient);
    auto linear = render({100, 10}, 1, [&](CGContext& c) { c.drawLinearGradient(*gradient, {0, 0}, {100, 0}, 0); });
    EXPECT_TRUE(near(pixelAt(linear, 0, 5), kRed, 4));
    EXPECT_TRUE(near(pixelAt(linear, 99, 5), kBlue, 4));
    Rgba8 mid = pixelAt(linear, 50, 5);
    EXPECT_NEAR(mid.r, 127, 5);
    EXPECT_NEAR(mid.b, 127, 5);

    // Without extension nothing is drawn past the ends; with the after-end option the last colour
    // continues but the part before the start stays empty.
    auto partial = render({100, 10}, 1, [&](CGContext& c) { c.drawLinearGradient(*gradient, {25, 0}, {75, 0}, 0); });
    EXPECT_EQ(pixelAt(partial, 10, 5).a, 0);
    EXPECT_EQ(pixelAt(partial, 90, 5).a, 0);
    auto after = render({100, 10}, 1, [&](CGContext& c) {
        c.drawLinearGradient(*gradient, {25, 0}, {75, 0}, kCGGradientDrawsAfterEndLocation);
    });
    EXPECT_EQ(pixelAt(after, 10, 5).a, 0);
    EXPECT_TRUE(near(pixelAt(after, 90, 5), kBlue));

    auto radial = render({40, 40}, 1, [&](CGContext& c) {
        c.drawRadialGradient(*gradient, {20, 20}, 0, {20, 20}, 10, kCGGradientDrawsAfterEndLocation);
    });
    EXPECT_TRUE(near(pixelAt(radial, 20, 20), kRed, 30));
    EXPECT_TRUE(near(pixelAt(radial, 2, 2), kBlue));

    EXPECT_EQ(CGGradient::createWithColors(nullptr, {}), nullptr);
    EXPECT_EQ(CGGradient::createWithColors(nullptr, {CGColor::rgb(1, 0, 0)}, {0, 1}), nullptr);
}

TEST(DrawContext, BlendModesStayInsideTheShape) {
    // A white square, then a red disc in source-out: the disc shows where the square was not, is
    // empty where the square was, and the square outside the disc is untouched.
    auto out = render({40, 40}, 1, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 1, 1));
        c.fillRect({{0, 0}, {20, 40}});
        c.setBlendMode(CGBlendMode::SourceOut);
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillEllipseInRect({{5, 5}, {30, 30}});
    });
    EXPECT_TRUE(near(pixelAt(out, 28, 20), kRed));
    EXPECT_EQ(pixelAt(out, 12, 20).a, 0);
    EXPECT_TRUE(near(pixelAt(out, 2, 2), kWhite));

    // A path fill keeps the blend mode the context has (the badge recipe sets it first).
    auto viaPath = render({40, 40}, 1, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 1, 1));
        c.fillRect({{0, 0}, {20, 40}});
        c.saveGState();
        c.setBlendMode(CGBlendMode::SourceOut);
        UIColor::redColor()->setFill();
        UIBezierPath::bezierPathWithOvalInRect({{5, 5}, {30, 30}})->fill();
        c.restoreGState();
    });
    EXPECT_EQ(pixelAt(viaPath, 12, 20).a, 0);
    EXPECT_TRUE(near(pixelAt(viaPath, 28, 20), kRed));

    // Source-atop recolours only what is there, keeping its alpha.
    auto atop = render({20, 20}, 1, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 1, 1, 0.5));
        c.fillRect({{0, 0}, {10, 20}});
        c.setBlendMode(CGBlendMode::SourceAtop);
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1));
        c.fillRect({{0, 0}, {20, 20}});
    });
    Rgba8 p = pixelAt(atop, 5, 5);
    EXPECT_TRUE(near(p, {0, 0, 255, 128}, 3)) << p;
    EXPECT_EQ(pixelAt(atop, 15, 5).a, 0);

    // Copy replaces, plus-lighter adds, clearRect empties.
    auto copy = render({10, 10}, 1, [](CGContext& c) {
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{0, 0}, {10, 10}});
        c.setBlendMode(CGBlendMode::Copy);
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1, 0.5));
        c.fillRect({{0, 0}, {5, 10}});
        c.setBlendMode(CGBlendMode::PlusLighter);
        c.setFillColorWithColor(CGColor::rgb(0, 1, 0));
        c.fillRect({{5, 0}, {5, 5}});
        c.clearRect({{5, 5}, {5, 5}});
    });
    EXPECT_TRUE(near(pixelAt(copy, 2, 2), {0, 0, 255, 128}, 3));
    EXPECT_TRUE(near(pixelAt(copy, 7, 2), {255, 255, 0, 255}));
    EXPECT_EQ(pixelAt(copy, 7, 7).a, 0);
}

TEST(DrawContext, AlphaAndShadow) {
    auto image = render({40, 40}, 1, [](CGContext& c) {
        c.setAlpha(0.5);
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{0, 0}, {10, 10}});
        c.setAlpha(1);
        c.setShadowWithColor({10, 10}, 0, CGColor::rgb(0, 0, 1));
        c.fillRect({{15, 15}, {10, 10}});
    });
    EXPECT_TRUE(near(pixelAt(image, 5, 5), {255, 0, 0, 128}, 3));
    EXPECT_TRUE(near(pixelAt(image, 20, 20), kRed));
    EXPECT_TRUE(near(pixelAt(image, 32, 32), kBlue));  // the shadow, 10 points down and right
    EXPECT_EQ(pixelAt(image, 12, 12).a, 0);

    // A blurred shadow fades out from the shape's edge; at scale 2 the offset is in points.
    auto blurred = render({40, 40}, 2, [](CGContext& c) {
        c.setShadowWithColor({0, 10}, 4, CGColor::rgb(0, 0, 0));
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{10, 0}, {20, 10}});
    });
    int inside = pixelAt(blurred, 40, 30).a, edge = pixelAt(blurred, 40, 40).a, beyond = pixelAt(blurred, 40, 50).a;
    EXPECT_GT(inside, 200);
    EXPECT_GT(inside, edge);
    EXPECT_GT(edge, beyond);
    EXPECT_EQ(pixelAt(blurred, 40, 70).a, 0);
}

TEST(DrawContext, ShadowOfAShapeOutsideTheCanvasFallsInsideTheClip) {
    // The inner-shadow technique: the shape itself is drawn far off the canvas, only its shadow,
    // moved back by the offset, lands inside the clip.
    auto image = render({40, 40}, 2, [](CGContext& c) {
        c.clipToRect({{10, 10}, {20, 20}});
        c.setShadowWithColor({100, 0}, 0, CGColor::rgb(0, 0, 1));
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{-95, 5}, {30, 30}});
    });
    EXPECT_TRUE(near(pixelAt(image, 40, 40), kBlue));  // pixels: scale 2
    EXPECT_EQ(pixelAt(image, 70, 40).a, 0);            // clipped away
    EXPECT_EQ(pixelAt(image, 10, 10).a, 0);
}

TEST(DrawContext, PatternColoursTileTheirImage) {
    // A 2 x 2 tile: red on the left column, blue on the right.
    std::vector<std::uint8_t> px = {255, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255};
    auto tile = UIImage::imageWithCGImage(CGImage::create(2, 2, 8, px));
    auto pattern = UIColor::colorWithPatternImage(tile);
    auto image = render({8, 8}, 1, [&](CGContext& c) {
        c.setFillColorWithColor(pattern->cgColor());
        c.fillRect({{0, 0}, {8, 8}});
    });
    EXPECT_TRUE(near(pixelAt(image, 0, 0), kRed));
    EXPECT_TRUE(near(pixelAt(image, 5, 3), kBlue));
    EXPECT_TRUE(near(pixelAt(image, 6, 7), kRed));
}

TEST(DrawContext, BadInputLeavesTheContextUsable) {
    auto image = render({10, 10}, 1, [](CGContext& c) {
        // A collapsed CTM draws nothing until it is restored.
        c.saveGState();
        c.scaleCTM(0, 1);
        c.setFillColorWithColor(CGColor::rgb(0, 0, 1));
        c.fillRect({{0, 0}, {10, 10}});
        c.restoreGState();
        c.translateCTM(std::numeric_limits<double>::infinity(), 0);
        c.setShadowWithColor({std::numeric_limits<double>::quiet_NaN(), 0}, 2, std::nullopt);
        c.clipToRect({{std::numeric_limits<double>::quiet_NaN(), 0}, {4, 4}});
        c.setLineWidth(-3);
        c.setLineDash(0, {-1, 2});
        c.restoreGState();  // unbalanced
        c.addArc(5, 5, std::numeric_limits<double>::quiet_NaN(), 0, 1, false);
        c.fillPath();
        c.setFillColorWithColor(CGColor::rgb(1, 0, 0));
        c.fillRect({{0, 0}, {5, 10}});
    });
    EXPECT_TRUE(near(pixelAt(image, 2, 5), kRed));
    EXPECT_EQ(pixelAt(image, 7, 5).a, 0);  // the collapsed fill drew nothing
}

}  // namespace
