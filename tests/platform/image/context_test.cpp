// Contexts: bitmap images, drawing into surfaces, JPEG data with properties, colour management.
#include <gtest/gtest.h>

#include <cmath>

#include "image_test_support.h"
#include "platform/image/codec/image_properties.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/image/codec/jpeg.h"
#include "platform/image/codec/png.h"

using namespace imagetest;

TEST(Context, CreateCGImageGivesPremultipliedRowsTopFirst) {
    Bitmap src = randomBitmap(6, 4, 3, false);
    auto image = CIImage::imageWithBitmapData(src.rgba, 24, 6, 4, CIFormat::RGBA8, CIAlphaMode::Straight, nullptr);
    auto cg = plainContext()->createCGImage(image, CGRectMake(1, 1, 4, 2));
    ASSERT_NE(cg, nullptr);
    EXPECT_EQ(cg->width(), 4);
    EXPECT_EQ(cg->height(), 2);
    EXPECT_EQ(cg->bytesPerRow(), 16u);
    // Row 0 of the result is image row 2, which is row 1 of the bitmap counted from the top.
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint8_t* s = src.at(x + 1, 1 + y);
            const std::uint8_t* d = cg->row(y) + x * 4;
            EXPECT_EQ(d[3], s[3]);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(d[c], s[c] * s[3] / 255.0, 1.0);
        }
    // A bitmap image goes back into an image unchanged, BGRA included.
    auto bgra = plainContext()->createCGImage(image, image->extent(), CGImagePixelLayout::BGRA8Premultiplied, nullptr);
    auto again = plainContext()->createCGImage(CIImage::imageWithCGImage(bgra), image->extent());
    auto direct = plainContext()->createCGImage(image, image->extent());
    EXPECT_EQ(again->bytes(), direct->bytes());
}

TEST(Context, DrawImageFitsAndBlendsOverTheSurface) {
    // A 1080 x 1920 frame fitted into a 750 x 1000 surface: target (93.75, 0, 562.5, 1000).
    Bitmap white{1080, 1920, std::vector<std::uint8_t>(1080 * 1920 * 4, 255)};
    auto image = imageOf(white);
    std::vector<std::uint8_t> pixels(750 * 1000 * 4, 0);
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;  // opaque black
    CIBitmapSurface surface{pixels.data(), 750, 1000, 750 * 4, CIFormat::BGRA8};
    auto gpu = CIContext::gpuContextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    ASSERT_TRUE(gpu->drawImage(image, CGRectMake(93.75, 0, 562.5, 1000), image->extent(), surface));
    auto at = [&](int x, int yTop) { return pixels[(static_cast<std::size_t>(yTop) * 750 + x) * 4]; };
    EXPECT_EQ(at(50, 500), 0);   // left band stays black
    EXPECT_EQ(at(700, 500), 0);  // right band too
    EXPECT_EQ(at(375, 0), 255);  // the picture covers the full height
    EXPECT_EQ(at(375, 999), 255);
    EXPECT_EQ(at(100, 500), 255);
    // A half-transparent colour blends over what is there.
    auto glass = CIImage::imageWithColor(CIColor::colorWithRed(0, 0, 1, 0.5));
    ASSERT_TRUE(gpu->drawImage(glass, CGRectMake(0, 0, 10, 10), CGRectMake(0, 0, 10, 10), surface));
    std::size_t corner = (999 * 750) * 4;  // bottom-left pixel
    EXPECT_EQ(pixels[corner + 0], 128);    // blue (BGRA order): 0.5 + 0 x 0.5
    EXPECT_EQ(pixels[corner + 3], 255);
    // Nothing to draw: no surface, or an empty rectangle.
    EXPECT_FALSE(gpu->drawImage(image, CGRectMake(0, 0, 0, 10), image->extent(), surface));
    EXPECT_FALSE(gpu->drawImage(image, CGRectMake(0, 0, 10, 10), image->extent(), CIBitmapSurface{}));
}

TEST(Context, JPEGRepresentationDecodesAndCarriesProperties) {
    Bitmap src = randomBitmap(48, 32, 6);
    for (std::size_t i = 0; i < src.rgba.size(); ++i)
        src.rgba[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>(100 + (i / 4 % 48));
    auto context = CIContext::contextWithOptions({});
    auto srgb = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
    ValueDictionary gps{{kCGImagePropertyGPSLatitude, Value(33.9)},
                        {kCGImagePropertyGPSLatitudeRef, Value("S")},
                        {kCGImagePropertyGPSLongitude, Value(18.4)},
                        {kCGImagePropertyGPSLongitudeRef, Value("E")}};
    ValueDictionary tiff{{kCGImagePropertyTIFFMake, Value("Quillon")}, {kCGImagePropertyTIFFSoftware, Value("Korva")}};
    auto jpeg = context->JPEGRepresentationOfImage(
        CIImage::imageWithBitmapData(src.rgba, 48 * 4, 48, 32, CIFormat::RGBA8), srgb,
        {{kCGImageDestinationLossyCompressionQuality, Value(0.95)},
         {kCGImagePropertyGPSDictionary, Value(gps)},
         {kCGImagePropertyTIFFDictionary, Value(tiff)}});
    ASSERT_TRUE(jpeg.has_value());
    auto decoded = decodeJpeg(*jpeg);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded->raster.width, 48);
    EXPECT_EQ(decoded->raster.height, 32);
    EXPECT_NEAR(decoded->raster.pixels[4 * 10], src.rgba[4 * 10], 6);
    auto props = readImageProperties(*jpeg);
    ASSERT_TRUE(props.ok()) << props.error();
    EXPECT_EQ((*props)[kCGImagePropertyTIFFDictionary][kCGImagePropertyTIFFMake].stringValue(), "Quillon");
    EXPECT_EQ((*props)[kCGImagePropertyGPSDictionary][kCGImagePropertyGPSLatitudeRef].stringValue(), "S");
    EXPECT_NEAR((*props)[kCGImagePropertyGPSDictionary][kCGImagePropertyGPSLatitude].doubleValue(), 33.9, 1e-4);
    // And the file read back is an image again, with its properties.
    auto reread = CIImage::imageWithData(*jpeg);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->extent(), CGRectMake(0, 0, 48, 32));
    EXPECT_EQ(reread->properties()[kCGImagePropertyTIFFDictionary][kCGImagePropertyTIFFSoftware].stringValue(),
              "Korva");
}

TEST(Context, CorruptOrMissingFilesGiveNoImage) {
    std::vector<std::uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
    EXPECT_EQ(CIImage::imageWithData(junk), nullptr);
    EXPECT_EQ(CIImage::imageWithData({}), nullptr);
    EXPECT_EQ(CIImage::imageWithContentsOfFile("/nonexistent/picture.jpg"), nullptr);
    EXPECT_EQ(CIImage::imageWithContentsOfURL("https://example.invalid/picture.jpg"), nullptr);
}

TEST(Context, ColourManagementRoundTripsAndConverts) {
    Bitmap src = randomBitmap(16, 16, 12);
    auto image = CIImage::imageWithBitmapData(src.rgba, 64, 16, 16, CIFormat::RGBA8);  // sRGB
    auto managed = CIContext::contextWithOptions({});
    EXPECT_EQ(managed->workingColorSpace()->name(), kCGColorSpaceExtendedLinearSRGB);
    std::vector<std::uint8_t> out(src.rgba.size());
    auto srgb = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
    ASSERT_TRUE(managed->render(image, out.data(), 64, image->extent(), CIFormat::RGBA8, srgb));
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(out[i], src.rgba[i], 1) << i;
    // Pure sRGB red is less saturated in Display P3 numbers.
    Bitmap red{1, 1, {255, 0, 0, 255}};
    auto redImage = CIImage::imageWithBitmapData(red.rgba, 4, 1, 1, CIFormat::RGBA8);
    std::vector<std::uint8_t> p3(4);
    ASSERT_TRUE(managed->render(redImage, p3.data(), 4, CGRectMake(0, 0, 1, 1), CIFormat::RGBA8,
                                CGColorSpaceCreateWithName(kCGColorSpaceDisplayP3)));
    EXPECT_NEAR(p3[0], 234, 2);
    EXPECT_NEAR(p3[1], 51, 3);
    EXPECT_NEAR(p3[2], 35, 3);
    // Without colour management the stored numbers pass through.
    auto plain = plainContext();
    EXPECT_EQ(plain->workingColorSpace(), nullptr);
    ASSERT_TRUE(plain->render(image, out.data(), 64, image->extent(), CIFormat::RGBA8, srgb));
    EXPECT_EQ(out, src.rgba);
    // A name the platform does not know leaves the space unset.
    auto unknown = CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value("kCGColorSpaceBogus")}});
    EXPECT_EQ(unknown->workingColorSpace(), nullptr);
}

TEST(Context, AreaAverageMeasuresTheMeanColour) {
    Bitmap src{4, 2, {}};
    for (int i = 0; i < 8; ++i) {
        std::uint8_t v = static_cast<std::uint8_t>(i < 4 ? 0 : 200);
        src.rgba.insert(src.rgba.end(), {v, static_cast<std::uint8_t>(v / 2), 40, 255});
    }
    auto image = imageOf(src);
    auto average =
        filtered("CIAreaAverage", image, {{kCIInputExtentKey, Value(CIVector::vectorWithCGRect(image->extent()))}});
    ASSERT_NE(average, nullptr);
    EXPECT_EQ(average->extent(), CGRectMake(0, 0, 1, 1));
    auto cg = plainContext()->createCGImage(average, average->extent());
    ASSERT_NE(cg, nullptr);
    EXPECT_EQ(cg->data()[0], 100);
    EXPECT_EQ(cg->data()[1], 50);
    EXPECT_EQ(cg->data()[2], 40);
    EXPECT_EQ(cg->data()[3], 255);
    EXPECT_EQ(filtered("CIAreaAverage", image, {{kCIInputExtentKey, Value(CIVector::vectorWithX(0, 0, 0, 0))}}),
              nullptr);
}

TEST(Context, JPEGImagesDecodeAtTheSizeARenderNeeds) {
    // A smooth picture, so that decoding at an eighth and averaging agree closely.
    Bitmap src{128, 96, {}};
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x)
            src.rgba.insert(src.rgba.end(),
                            {static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2), 90, 255});
    auto context = plainContext();
    auto jpeg = context->JPEGRepresentationOfImage(
        imageOf(src), nullptr,
        {{kCGImageDestinationLossyCompressionQuality, Value(0.95)}, {kCGImagePropertyOrientation, Value(6)}});
    ASSERT_TRUE(jpeg.has_value());
    auto image = CIImage::imageWithData(*jpeg, {{kCIImageColorSpace, Value(kCGColorSpaceNULL)}});
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->planDescription().find("jpeg 128x96"), std::string::npos) << image->planDescription();
    auto full = render(context, image, image->extent());
    auto eighth = image->imageByApplyingTransform(CGAffineTransformMakeScale(0.125, 0.125));
    auto small = render(context, eighth, CGRectMake(0, 0, 16, 12));
    ASSERT_FALSE(small.rgba.empty());
    // Each small pixel is close to the average of the matching 8 x 8 block of the full decode.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            double sum = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) sum += full.at(x * 8 + i, y * 8 + j)[0];
            ASSERT_NEAR(small.at(x, y)[0], sum / 64, 6) << x << "," << y;
        }
    // Upright on request: orientation 6 turns the stored 128 x 96 into 96 x 128.
    auto upright = CIImage::imageWithData(*jpeg, {{kCIImageApplyOrientationProperty, Value(true)}});
    ASSERT_NE(upright, nullptr);
    EXPECT_EQ(upright->extent(), CGRectMake(0, 0, 96, 128));
    // Truncated data is refused when the image is made.
    std::vector<std::uint8_t> cut(jpeg->begin(), jpeg->begin() + static_cast<long>(jpeg->size() / 2));
    EXPECT_EQ(CIImage::imageWithData(cut), nullptr);
}

TEST(Context, PNGKeepsAlphaAndGreyOutputIsNeutral) {
    Bitmap src = randomBitmap(12, 10, 40, false);
    auto image = CIImage::imageWithBitmapData(src.rgba, 48, 12, 10, CIFormat::RGBA8, CIAlphaMode::Straight);
    auto context = CIContext::contextWithOptions({});
    auto png = context->PNGRepresentationOfImage(image, nullptr);
    ASSERT_TRUE(png.has_value());
    auto back = CIImage::imageWithData(*png);
    ASSERT_NE(back, nullptr);
    std::vector<std::uint8_t> out(src.rgba.size());
    ASSERT_TRUE(context->renderStraight(back, out.data(), 48, back->extent(), CIFormat::RGBA8,
                                        CGColorSpaceCreateWithName(kCGColorSpaceSRGB)));
    for (std::size_t i = 3; i < out.size(); i += 4) EXPECT_EQ(out[i], src.rgba[i]);
    // Rendering into a grey space gives equal channels.
    std::vector<std::uint8_t> grey(src.rgba.size());
    ASSERT_TRUE(context->render(image, grey.data(), 48, image->extent(), CIFormat::RGBA8,
                                CGColorSpaceCreateWithName(kCGColorSpaceGenericGray)));
    for (std::size_t i = 0; i < grey.size(); i += 4) {
        EXPECT_EQ(grey[i], grey[i + 1]);
        EXPECT_EQ(grey[i + 1], grey[i + 2]);
    }
}

TEST(Context, KindsLimitsAndOptions) {
    auto cpu = CIContext::contextWithOptions({});
    auto gpu = CIContext::gpuContextWithOptions({});
    EXPECT_EQ(cpu->kind(), CIContext::Kind::CPU);
    EXPECT_EQ(gpu->kind(), CIContext::Kind::GPU);
    EXPECT_GT(cpu->inputImageMaximumSize().width, gpu->inputImageMaximumSize().width);
    EXPECT_EQ(cpu->outputColorSpace()->name(), kCGColorSpaceSRGB);
    auto p3 = CIContext::contextWithOptions(
        {{kCIContextWorkingColorSpace, Value(CGColorSpaceCreateWithName(kCGColorSpaceDisplayP3))},
         {kCIContextOutputColorSpace, Value(kCGColorSpaceDisplayP3)},
         {kCIContextThreadCount, Value(2)}});
    EXPECT_EQ(p3->workingColorSpace()->name(), kCGColorSpaceDisplayP3);
    EXPECT_EQ(p3->outputColorSpace()->name(), kCGColorSpaceDisplayP3);
    EXPECT_EQ(p3->threadCount(), 2);
    // Without colour management there is no output space either, and bitmap images carry none.
    auto plain = plainContext();
    EXPECT_EQ(plain->outputColorSpace(), nullptr);
    auto cg = plain->createCGImage(imageOf(randomBitmap(2, 2, 1)), CGRectMake(0, 0, 2, 2));
    ASSERT_NE(cg, nullptr);
    EXPECT_EQ(cg->colorSpace(), nullptr);
    EXPECT_EQ(cpu->createCGImage(imageOf(randomBitmap(2, 2, 1)), CGRectMake(0, 0, 2, 2))->colorSpace()->name(),
              kCGColorSpaceSRGB);
}

// Small renders are cut into bands shared by the render threads; whatever the cut, every pixel
// (with its neighbours for neighbourhood filters) must come out as a one-thread render has it.
TEST(Context, SmallRendersCutIntoBandsMatchOneThread) {
    Bitmap src = randomBitmap(300, 300, 11);
    auto half = imageOf(src)->imageByApplyingTransform(CGAffineTransformMakeScale(0.5, 0.5));
    auto turned =
        imageOf(randomBitmap(150, 210, 12))->imageByApplyingTransform(CGAffineTransformMake(0, 1, -1, 0, 210, 0));
    struct Case {
        std::shared_ptr<CIImage> image;
        CGRect rect;
    } cases[] = {
        {half, CGRectMake(0, 0, 150, 150)},   {half, CGRectMake(0, 0, 100, 150)},  {half, CGRectMake(3, 7, 140, 71)},
        {turned, CGRectMake(0, 0, 210, 150)}, {turned, CGRectMake(5, 0, 61, 150)},
    };
    auto one = plainContext(1), many = plainContext(8);
    for (const auto& c : cases) {
        auto image =
            filtered("CINoiseReduction", c.image, {{"inputNoiseLevel", Value(0.1)}, {"inputSharpness", Value(0)}});
        ASSERT_NE(image, nullptr);
        Bitmap a = render(one, image, c.rect), b = render(many, image, c.rect);
        ASSERT_FALSE(a.rgba.empty());
        EXPECT_EQ(a.rgba, b.rgba) << c.rect.size.width << "x" << c.rect.size.height;
    }
}

TEST(Context, JPEGRepresentationRenderedInBandsIsTheWholeRendersFile) {
    // Tall enough for several bands of rows, the blur reading across the bands' edges, and an
    // extent that does not start at the origin.
    Bitmap src = randomBitmap(64, 640, 7);
    auto image = filtered("CIGaussianBlur", imageOf(src), {{kCIInputRadiusKey, Value(2.0)}})
                     ->imageByCroppingToRect(CGRectMake(12, 15, 40, 601));
    auto context = plainContext();
    auto jpeg =
        context->JPEGRepresentationOfImage(image, nullptr, {{kCGImageDestinationLossyCompressionQuality, Value(0.9)}});
    ASSERT_TRUE(jpeg.has_value());
    // The same pixels rendered whole (a PNG holds them as they are), encoded in one go.
    auto png = context->PNGRepresentationOfImage(image, nullptr, {});
    ASSERT_TRUE(png.has_value());
    auto whole = decodePng(*png);
    ASSERT_TRUE(whole.ok()) << whole.error();
    JpegEncodeOptions options;
    options.quality = 0.9;
    auto direct = encodeJpeg(whole->raster, options);
    ASSERT_TRUE(direct.ok()) << direct.error();
    EXPECT_TRUE(*jpeg == *direct);
    // An encode whose rows stop arriving fails instead of writing what the buffer holds.
    auto abandoned = encodeJpeg(whole->raster, options, [](int rows) { return rows <= 100; });
    EXPECT_FALSE(abandoned.ok());
}
