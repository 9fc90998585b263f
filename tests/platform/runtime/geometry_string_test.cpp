// Point texts in the "{x, y}" form.
#include "platform/runtime/geometry_string.h"

#include <gtest/gtest.h>

TEST(GeometryString, PointsRoundTripAndToleratePunctuation) {
    EXPECT_EQ(NSStringFromCGPoint({-16, 32}), "{-16, 32}");
    EXPECT_EQ(NSStringFromCGPoint({0.1, 2.5}), "{0.1, 2.5}");
    CGPoint odd{1.0 / 3, -7e-5};
    EXPECT_EQ(CGPointFromString(NSStringFromCGPoint(odd)), odd);
    // Numbers as the "%f" format writes them, with or without spaces.
    EXPECT_EQ(CGPointFromString("{-16.000000,32.000000}"), (CGPoint{-16, 32}));
    EXPECT_EQ(CGPointFromString("{ 3 , -4 }"), (CGPoint{3, -4}));
    EXPECT_EQ(CGPointFromString("{1e2,.5}"), (CGPoint{100, 0.5}));
}

TEST(GeometryString, TextsWithoutTwoNumbersGiveTheZeroPoint) {
    EXPECT_EQ(CGPointFromString(""), CGPointZero);
    EXPECT_EQ(CGPointFromString("{hx,fy}"), CGPointZero);
    EXPECT_EQ(CGPointFromString("{5}"), CGPointZero);
    EXPECT_EQ(CGPointFromString("{-,.}"), CGPointZero);
}
