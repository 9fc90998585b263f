// Image values: vectors, colours, boxed transforms and colour spaces by name.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"
#include "platform/image/color_space.h"
#include "platform/runtime/value.h"

TEST(CIVector, FormsAndText) {
    auto v = CIVector::vectorWithString("[10 20 30.5]");
    EXPECT_EQ(v->count(), 3u);
    EXPECT_DOUBLE_EQ(v->Z(), 30.5);
    EXPECT_DOUBLE_EQ(v->W(), 0.0);  // past the end reads 0
    EXPECT_EQ(v->stringRepresentation(), "[10 20 30.5]");
    EXPECT_EQ(CIVector::vectorWithString("[]")->count(), 0u);
    EXPECT_EQ(CIVector::vectorWithValues({1, 2, 3, 4, 5})->count(), 5u);
    auto r = CIVector::vectorWithCGRect(CGRectMake(1, 2, 3, 4));
    EXPECT_EQ(r->CGRectValue(), CGRectMake(1, 2, 3, 4));
    EXPECT_EQ(CIVector::vectorWithCGPoint({5, 6})->CGPointValue(), (CGPoint{5, 6}));
    CGAffineTransform t{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(CIVector::vectorWithCGAffineTransform(t)->CGAffineTransformValue(), t);
    // 0.1 as a float keeps its single-precision value through the text form.
    EXPECT_EQ(CIVector::vectorWithX(static_cast<float>(0.1))->stringRepresentation(), "[0.10000000149011612]");
    EXPECT_TRUE(CIVector::vectorWithX(1, 2)->isEqual(*CIVector::vectorWithString("[1, 2]")));
    EXPECT_FALSE(CIVector::vectorWithX(1, 2)->isEqual(*CIVector::vectorWithX(1, 2, 0)));
}

TEST(CIColor, ComponentsSpaceAndEquality) {
    auto c = CIColor::colorWithRed(0.1, 0.2, 0.3);
    EXPECT_DOUBLE_EQ(c->alpha(), 1.0);
    EXPECT_EQ(c->numberOfComponents(), 4u);
    EXPECT_EQ(c->stringRepresentation(), "0.1 0.2 0.3 1");
    EXPECT_EQ(c->colorSpace(), nullptr);
    auto p3 = CIColor::colorWithRed(1, 0, 0, 1, CGColorSpaceCreateWithName(kCGColorSpaceDisplayP3));
    EXPECT_EQ(p3->colorSpace()->name(), kCGColorSpaceDisplayP3);
    EXPECT_TRUE(c->isEqual(*CIColor::colorWithString("0.1 0.2 0.3 1")));
    EXPECT_FALSE(c->isEqual(*p3));
    EXPECT_EQ(CIColor::colorWithString("1 2"), nullptr);
    // Held in a dynamic value, compared by contents.
    EXPECT_EQ(Value(c), Value(CIColor::colorWithRed(0.1, 0.2, 0.3, 1)));
    auto boxed = AffineTransformValue::valueWithCGAffineTransform(CGAffineTransformMakeScale(2, 3));
    EXPECT_EQ(Value(boxed), Value(AffineTransformValue::valueWithCGAffineTransform({2, 0, 0, 3, 0, 0})));
}

TEST(CGColorSpace, NamedSpaces) {
    for (const char* name :
         {kCGColorSpaceSRGB, kCGColorSpaceLinearSRGB, kCGColorSpaceDisplayP3, kCGColorSpaceAdobeRGB1998,
          kCGColorSpaceGenericGray, kCGColorSpaceGenericRGB, kCGColorSpaceGenericRGBLinear, kCGColorSpaceDeviceRGB,
          kCGColorSpaceACESCGLinear, kCGColorSpaceITUR_709, kCGColorSpaceITUR_2020, kCGColorSpaceROMMRGB}) {
        auto space = CGColorSpaceCreateWithName(name);
        ASSERT_NE(space, nullptr) << name;
        EXPECT_EQ(space->name(), name);
        // Transfer curves invert each other.
        for (float v : {0.0f, 0.02f, 0.3f, 0.8f, 1.0f})
            EXPECT_NEAR(space->transfer().fromLinear(space->transfer().toLinear(v)), v, 1e-5) << name << " " << v;
    }
    EXPECT_EQ(CGColorSpaceCreateWithName("kCGColorSpaceNoSuch"), nullptr);
    EXPECT_EQ(CGColorSpaceCreateWithName(kCGColorSpaceNULL), nullptr);
    EXPECT_EQ(CGColorSpaceCreateWithName(kCGColorSpaceGenericGray)->numberOfComponents(), 1u);
    // sRGB primaries with a D65 white: the second row of the XYZ matrix is the luma weights.
    auto m = CGColorSpaceCreateWithName(kCGColorSpaceSRGB)->toXYZ();
    EXPECT_NEAR(m[3], 0.2126, 1e-3);
    EXPECT_NEAR(m[4], 0.7152, 1e-3);
    EXPECT_NEAR(m[5], 0.0722, 1e-3);
    EXPECT_NEAR(CGColorSpaceCreateWithName(kCGColorSpaceSRGB)->transfer().toLinear(0.5f), 0.21404, 1e-4);
}
