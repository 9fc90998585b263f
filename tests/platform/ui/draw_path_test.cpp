// Path geometry: arc directions, bounds, containment, transforms and trimming.
#include <gtest/gtest.h>

#include <numbers>

#include "platform/ui/draw/path.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectRect(const CGRect& r, double x, double y, double w, double h, double tolerance = 1e-9) {
    EXPECT_NEAR(r.origin.x, x, tolerance);
    EXPECT_NEAR(r.origin.y, y, tolerance);
    EXPECT_NEAR(r.size.width, w, tolerance);
    EXPECT_NEAR(r.size.height, h, tolerance);
}

TEST(DrawPath, ArcDirectionsAndSweeps) {
    // Screen sense (UIBezierPath): clockwise from the top to the left is three quarters of a turn,
    // passing the right and bottom.
    auto ring = UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 3 * kPi / 2, kPi, true);
    expectRect(ring->bounds(), -10, -10, 20, 20, 1e-6);
    EXPECT_NEAR(ring->cgPath().length(), 2 * kPi * 10 * 0.75, 0.05);
    // The other way round it is a quarter, staying in the top-left.
    auto quarter = UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, 3 * kPi / 2, kPi, false);
    expectRect(quarter->bounds(), -10, -10, 10, 10, 1e-6);
    // A difference of a full turn or more is the whole circle; equal angles draw nothing.
    auto full = UIBezierPath::bezierPathWithArcCenter({0, 0}, 10, -kPi / 2, 3 * kPi / 2, true);
    EXPECT_NEAR(full->cgPath().length(), 2 * kPi * 10, 0.05);
    CGPath point;
    point.addArc({0, 0}, 10, 1, 1, false);
    EXPECT_NEAR(point.length(), 0, 1e-9);
    EXPECT_NEAR(point.currentPoint().x, 10 * std::cos(1.0), 1e-12);
    // The path functions' own sense is the opposite: clockwise decreases the angle.
    CGPath cg;
    cg.addArc({0, 0}, 10, 3 * kPi / 2, kPi, true);
    expectRect(cg.pathBoundingBox(), -10, -10, 10, 10, 1e-6);
}

TEST(DrawPath, BoundsOfCurves) {
    CGPath path;
    path.moveToPoint({0, 0});
    path.addCurveToPoint({0, 40}, {40, 40}, {40, 0});
    // The control box reaches the controls; the tight box only the curve's top (3/4 of 40).
    expectRect(path.boundingBox(), 0, 0, 40, 40);
    expectRect(path.pathBoundingBox(), 0, 0, 40, 30);
    CGPath quad;
    quad.moveToPoint({0, 0});
    quad.addQuadCurveToPoint({10, 20}, {20, 0});
    expectRect(quad.pathBoundingBox(), 0, 0, 20, 10);
    EXPECT_TRUE(CGRectIsNull(CGPath().boundingBox()));
    EXPECT_EQ(UIBezierPath::bezierPath()->bounds(), CGRectZero);
}

TEST(DrawPath, RoundedRectanglesAndCorners) {
    // A radius of half the side is a circle.
    auto disc = UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {20, 20}}, 10);
    EXPECT_NEAR(disc->cgPath().length(), 2 * kPi * 10, 0.05);
    // Radii are clamped to half the shorter side.
    auto pill = UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {40, 10}}, 50);
    expectRect(pill->bounds(), 0, 0, 40, 10, 1e-6);
    EXPECT_FALSE(pill->containsPoint({0.5, 0.5}));
    EXPECT_TRUE(pill->containsPoint({20, 5}));
    // Only the top corners rounded.
    auto tab =
        UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {20, 20}}, UIRectCornerTopLeft | UIRectCornerTopRight, {5, 5});
    EXPECT_FALSE(tab->containsPoint({0.5, 0.5}));
    EXPECT_TRUE(tab->containsPoint({0.5, 19.5}));
}

TEST(DrawPath, ContainmentRules) {
    CGPath ring;
    ring.addEllipseInRect({{0, 0}, {40, 40}});
    ring.addEllipseInRect({{10, 10}, {20, 20}});
    EXPECT_TRUE(ring.containsPoint({20, 20}, false));  // both wind the same way
    EXPECT_FALSE(ring.containsPoint({20, 20}, true));  // even-odd leaves the hole
    EXPECT_TRUE(ring.containsPoint({5, 20}, true));
    EXPECT_FALSE(ring.containsPoint({1, 1}, true));
    // An open triangle is closed for the test.
    CGPath open;
    open.addLines({{0, 0}, {10, 0}, {0, 10}});
    EXPECT_TRUE(open.containsPoint({2, 2}));
    EXPECT_FALSE(open.containsPoint({8, 8}));
    // Testing through a transform.
    EXPECT_TRUE(open.containsPoint({102, 2}, false, CGAffineTransformMakeTranslation(100, 0)));
}

TEST(DrawPath, ArcToPointRoundsACorner) {
    CGPath path;
    path.moveToPoint({0, 0});
    path.addArcToPoint({10, 0}, {10, 10}, 4);
    // Ends on the second leg, radius 4 from the corner.
    EXPECT_NEAR(path.currentPoint().x, 10, 1e-9);
    EXPECT_NEAR(path.currentPoint().y, 4, 1e-9);
    // Straight (collinear) points give a plain line to the corner.
    CGPath straight;
    straight.moveToPoint({0, 0});
    straight.addArcToPoint({10, 0}, {20, 0}, 4);
    EXPECT_EQ(straight.currentPoint(), CGPointMake(10, 0));
}

TEST(DrawPath, TransformsAndTrimming) {
    CGPath line;
    line.moveToPoint({0, 0});
    line.addLineToPoint({100, 0});
    CGPath moved = line.transformed(CGAffineTransformMakeScale(2, 1));
    EXPECT_EQ(moved.currentPoint(), CGPointMake(200, 0));
    EXPECT_EQ(line.currentPoint(), CGPointMake(100, 0));  // the original is a separate value

    CGPath middle = line.trimmed(0.25, 0.75);
    expectRect(middle.pathBoundingBox(), 25, 0, 50, 0, 1e-6);
    EXPECT_TRUE(line.trimmed(0.6, 0.4).isEmpty());
    EXPECT_EQ(line.trimmed(0, 1), line);
    EXPECT_NEAR(line.trimmed(-1, 0.5).length(), 50, 1e-6);  // fractions are clamped

    // Trimming a circle keeps the part along its length from the start point.
    CGPath circle;
    circle.addEllipseInRect({{-10, -10}, {20, 20}});
    CGPath half = circle.trimmed(0, 0.5);
    EXPECT_NEAR(half.length(), kPi * 10, 0.05);
    EXPECT_NEAR(half.pathBoundingBox().size.height, 10, 0.05);  // the lower half (y down)
}

TEST(DrawPath, SegmentsWithoutAStartBeginOne) {
    CGPath path;
    path.addLineToPoint({5, 5});
    ASSERT_EQ(path.elements().size(), 1u);
    EXPECT_EQ(path.elements()[0].type, CGPathElementType::MoveToPoint);
    path.closeSubpath();
    path.closeSubpath();  // a second close adds nothing
    path.addLineToPoint({9, 9});
    EXPECT_EQ(path.elements().size(), 3u);
}

}  // namespace
