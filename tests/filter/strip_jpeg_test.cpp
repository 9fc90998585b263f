// A JPEG rendered and encoded a strip at a time is the JPEG of the whole rendering, for a photo
// read from JPEG data under a blur (which reaches across strips) and a colour filter, at any
// strip height and any origin; over the context's size it is scaled to fit as a whole rendering
// is; what cannot be rendered gives a reason.
#include "filter/strip_jpeg.h"

#include <gtest/gtest.h>

#include "filter/ci_image_filter.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_vector.h"
#include "platform/image/codec/jpeg.h"
#include "tests/filter/filter_test_support.h"

namespace {

std::shared_ptr<CIImage> photo(int w, int h) {
    RasterRGBA8 r = makeRaster(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &r.pixels[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(30 + 200 * x / w);
            p[1] = (x / 9 + y / 9) % 2 ? 220 : 40;
            p[2] = std::uint8_t(30 + 200 * y / h);
            p[3] = 255;
        }
    auto data = encodeJpeg(r, {});
    EXPECT_TRUE(data);
    return CIImage::imageWithData(*data);
}

}  // namespace

TEST(StripJpeg, StripsGiveTheWholeRenderingsFile) {
    auto context = CIContext::contextWithOptions();
    auto source = photo(120, 90);
    ASSERT_TRUE(source);
    auto recipe = source->imageByApplyingFilter("CIGaussianBlur", {{"inputRadius", Value(4.0)}})
                      ->imageByApplyingFilter("CISepiaTone", {{"inputIntensity", Value(0.7)}})
                      ->imageByCroppingToRect(source->extent());
    for (CGRect rect : {source->extent(), CGRectMake(13, 21, 64, 50)}) {
        auto whole = jpeg(recipe, rect, *context);
        ASSERT_TRUE(whole);
        for (int strip : {1, 5, 16, 89, kJpegStripRows}) {
            auto strips = jpegInStrips(recipe, rect, *context, {}, strip);
            ASSERT_TRUE(strips) << strips.error();
            EXPECT_EQ(*strips, *whole) << "strips of " << strip << " rows";
        }
    }
}

TEST(StripJpeg, OversizedRectanglesAreScaledAndFailuresHaveAReason) {
    auto limited = unmanagedContext({{kCIContextMaximumOutputSize, Value(CIVector::vectorWithX(50, 50))}});
    auto image = photo(200, 100);
    auto whole = jpeg(image, image->extent(), *limited);
    auto strips = jpegInStrips(image, image->extent(), *limited, {}, 7);
    ASSERT_TRUE(whole && strips);
    EXPECT_EQ(*strips, *whole);
    auto info = readJpegInfo(*strips);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 50);
    EXPECT_EQ(info->height, 25);

    auto context = unmanagedContext();
    EXPECT_FALSE(jpegInStrips(nullptr, CGRectMake(0, 0, 10, 10), *context));
    auto infinite = jpegInStrips(CIImage::imageWithColor(CIColor::colorWithRed(1, 0, 0)), CGRectInfinite(), *context);
    ASSERT_FALSE(infinite);
    EXPECT_FALSE(infinite.error().empty());
}
