// Image operations of the rendering roads: ratio crops, cover scaling, orientation, brightness,
// oversized renders and JPEG encoding.
#include <gtest/gtest.h>

#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"
#include "platform/image/codec/jpeg.h"
#include "platform/ui/draw/image.h"
#include "tests/filter/filter_test_support.h"

namespace {

std::shared_ptr<CIImage> frame(double w, double h) {
    return CIImage::imageWithColor(CIColor::colorWithRed(0.5, 0.5, 0.5))->imageByCroppingToRect(CGRectMake(0, 0, w, h));
}

}  // namespace

TEST(ImageOps, CroppedToARatioAboutTheCentre) {
    EXPECT_EQ(cropped(frame(1920, 1080), 0.75)->extent(), CGRectMake(555, 0, 810, 1080));
    EXPECT_EQ(cropped(frame(1920, 1080), 1.0)->extent(), CGRectMake(420, 0, 1080, 1080));
    EXPECT_EQ(cropped(frame(1920, 1080), 0.5625)->extent(), CGRectMake(656, 0, 608, 1080));
    EXPECT_EQ(cropped(frame(1080, 1920), 0.75)->extent(), CGRectMake(0, 240, 1080, 1440));
    auto tall = frame(1080, 1920);
    EXPECT_EQ(cropped(tall, 0.5625), tall);
    EXPECT_EQ(cropped(frame(1921, 1080), 1.0)->extent().origin.x, 421);
    // Nothing to crop: the receiver comes back.
    auto empty = CIImage::emptyImage();
    EXPECT_EQ(cropped(empty, 0.75), empty);
    EXPECT_EQ(cropped(frame(100, 0.0), 1.0)->extent().size.height, 0);
}

TEST(ImageOps, ScaledCoversTheSizeWithoutEnlarging) {
    auto big = scaled(frame(4000, 3000), {2000, 2000});
    EXPECT_NEAR(big->extent().size.width, 2666.67, 0.5);
    EXPECT_NEAR(big->extent().size.height, 2000, 0.01);
    auto small = frame(1000, 1000);
    EXPECT_EQ(scaled(small, {2000, 2000}), small);
    EXPECT_EQ(imageKey(frame(1920, 1080)), 19201080);
    EXPECT_TRUE(isDrawable(small));
    EXPECT_FALSE(isDrawable(CIImage::emptyImage()));
    EXPECT_FALSE(isDrawable(CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0))));
    EXPECT_FALSE(isDrawable(nullptr));
}

TEST(ImageOps, OrientationFlipsAndRotatesAsShot) {
    auto f = frame(40, 20);
    EXPECT_EQ(adjustOrientation(f, 1, 2, false)->extent(), CGRectMake(-40, 0, 40, 20));
    EXPECT_EQ(adjustOrientation(f, 1, 2, true)->extent(), CGRectMake(0, 0, 40, 20));
    EXPECT_EQ(adjustOrientation(f, 3, 1, true)->extent().size.width, 20);
    CGAffineTransform t = orientationTransform(3, 2, false);
    CGPoint p = CGPointApplyAffineTransform({1, 0}, t);  // flipped in y (no change), then turned by -90 degrees
    EXPECT_NEAR(p.x, 0, 1e-9);
    EXPECT_NEAR(p.y, -1, 1e-9);
    EXPECT_EQ(orientationTransform(9, 1, false), CGAffineTransformIdentity);
    EXPECT_EQ(orientationTransform(1, 3, false), CGAffineTransformIdentity);
}

TEST(ImageOps, BrightnessIsTheLargestChannelOfTheAverage) {
    auto context = unmanagedContext();
    EXPECT_NEAR(calcBrightness(solidImage(8, 8, 51, 102, 25), *context), 0.4, 0.01);
    EXPECT_NEAR(calcBrightness(solidImage(8, 8, 0, 0, 255), *context), 1.0, 0.01);
    EXPECT_EQ(calcBrightness(CIImage::emptyImage(), *context), 0);
}

TEST(ImageOps, OversizedRectanglesAreScaledToFitTheContext) {
    auto limited = unmanagedContext({{kCIContextMaximumOutputSize, Value(CIVector::vectorWithX(100, 100))}});
    auto image = solidImage(400, 200, 10, 200, 30);
    auto bitmap = cgImage0(image, image->extent(), *limited);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width(), 100);
    EXPECT_EQ(bitmap->height(), 50);
    // The whole rectangle is image: the last pixel is opaque.
    EXPECT_EQ(bitmap->row(49)[4 * 99 + 3], 255);

    // The second context takes over when the first is too small.
    auto roomy = unmanagedContext();
    auto data = jpeg(image, image->extent(), *limited, *roomy);
    ASSERT_TRUE(data.has_value());
    auto info = readJpegInfo(*data);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->width, 400);
}

TEST(ImageOps, FailedRendersGiveNoDataAndUiImagesFallBack) {
    auto context = unmanagedContext();
    EXPECT_FALSE(jpeg(CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0)), CGRectInfinite(), *context).has_value());
    EXPECT_FALSE(jpeg(nullptr, CGRectMake(0, 0, 10, 10), *context).has_value());
    EXPECT_FALSE(save_cgimage_to_jpeg(nullptr).has_value());
    auto ui = uiImage(solidImage(20, 10, 1, 2, 3), CGRectMake(0, 0, 20, 10), *context);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(ui->size().width, 20);
    auto fallback = uiImage(CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0)), CGRectInfinite(), *context);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->size().width, 100);

    auto contexts = FilterContext::make();
    EXPECT_EQ(contexts->ciGPU(), contexts->ciGPU());
    EXPECT_EQ(contexts->ciGPU()->kind(), CIContext::Kind::GPU);
    EXPECT_EQ(contexts->ciCPU()->workingColorSpace(), nullptr);
    EXPECT_TRUE(contexts->gl()->makeCurrent());
}
