// The filter registry: names, categories, attribute dictionaries and inputs by key.
#include <gtest/gtest.h>

#include "image_test_support.h"
#include "platform/image/affine_value.h"

using namespace imagetest;

TEST(FilterRegistry, EveryApplicationFilterIsKnownAndUnknownNamesGiveNone) {
    const char* names[] = {"CIColorCube",
                           "CIColorCubeWithColorSpace",
                           "CIColorCubesMixedWithMask",
                           "CIToneCurve",
                           "CIVignette",
                           "CIVignetteEffect",
                           "CINoiseReduction",
                           "CIFaceBalance",
                           "CIAffineTransform",
                           "CICrop",
                           "CIAreaAverage",
                           "CIMedianFilter",
                           "CIVibrance",
                           "CIRedEyeCorrection",
                           "CIColorMap",
                           "CIGaussianBlur",
                           "CISmoothLinearGradient",
                           "CIStraightenFilter",
                           "CIPerspectiveCorrection",
                           "CIColorControls",
                           "CIExposureAdjust",
                           "CIGammaAdjust",
                           "CIHueAdjust",
                           "CIWhitePointAdjust",
                           "CIColorPolynomial",
                           "CIColorCrossPolynomial",
                           "CIColorMonochrome",
                           "CIColorPosterize",
                           "CIFalseColor",
                           "CISepiaTone",
                           "CIXRay",
                           "CIColorCurves",
                           "CIAztecCodeGenerator",
                           "CIPDF417BarcodeGenerator",
                           "CICode128BarcodeGenerator",
                           "CIQRCodeGenerator",
                           "CIStretchCrop",
                           "CIColorClamp",
                           "CIColorMatrix",
                           "CIConvolution3X3",
                           "CIConvolution5X5",
                           "CIConvolution7X7",
                           "CIConvolution9Horizontal",
                           "CIConvolution9Vertical",
                           "CITemperatureAndTint",
                           "CISourceOverCompositing",
                           "CILinearToSRGBToneCurve",
                           "CISRGBToneCurveToLinear"};
    for (const char* name : names) {
        auto f = CIFilter::filterWithName(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->name(), name);
        EXPECT_EQ(f->outputKeys(), std::vector<std::string>{"outputImage"});
    }
    EXPECT_EQ(CIFilter::filterNamesInCategory("").size(), std::size(names));
    EXPECT_EQ(CIFilter::filterWithName("CINoSuchFilter"), nullptr);
    EXPECT_EQ(CIFilter::filterWithName(""), nullptr);
    EXPECT_EQ(CIFilter::localizedNameForFilterName("CIVignette"), "Vignette");
}

TEST(FilterRegistry, AttributesCarryThePublishedFacts) {
    auto vignette = CIFilter::filterWithName("CIVignette")->attributes();
    EXPECT_EQ(vignette.get(kCIAttributeFilterName).stringValue(), "CIVignette");
    EXPECT_EQ(vignette.get(kCIAttributeFilterDisplayName).stringValue(), "Vignette");
    const Value& intensity = vignette.get("inputIntensity");
    EXPECT_EQ(intensity[kCIAttributeClass].stringValue(), "NSNumber");
    EXPECT_EQ(intensity[kCIAttributeType].stringValue(), "CIAttributeTypeScalar");
    EXPECT_DOUBLE_EQ(intensity[kCIAttributeDefault].doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(intensity[kCIAttributeSliderMin].doubleValue(), -1.0);
    EXPECT_DOUBLE_EQ(intensity[kCIAttributeSliderMax].doubleValue(), 1.0);
    EXPECT_EQ(intensity[kCIAttributeDisplayName].stringValue(), "Intensity");

    auto cube = CIFilter::filterWithName("CIColorCube");
    EXPECT_EQ(cube->inputKeys(),
              (std::vector<std::string>{"inputImage", "inputCubeDimension", "inputCubeData", "inputExtrapolate"}));
    auto attrs = cube->attributes();
    EXPECT_EQ(attrs.get("inputCubeDimension")[kCIAttributeMax].integerValue(), 64);
    EXPECT_EQ(attrs.get("inputCubeData")[kCIAttributeClass].stringValue(), "NSData");
    EXPECT_FALSE(attrs.get("inputCubeData").dictionaryPtr()->contains(kCIAttributeType));
    EXPECT_EQ(attrs.get("inputCubeData")[kCIAttributeDefault].bytes()->size(), 128u);  // the 2^3 identity
    const Value& categories = attrs.get(kCIAttributeFilterCategories);
    EXPECT_TRUE(categories.isArray());
    EXPECT_EQ(categories[std::size_t{0}].stringValue(), "CICategoryColorEffect");

    // Typed defaults: colours, vectors and transforms come as objects.
    auto mono = CIFilter::filterWithName("CIColorMonochrome")->attributes();
    auto colour = mono.get("inputColor")[kCIAttributeDefault].objectAs<CIColor>();
    ASSERT_NE(colour, nullptr);
    EXPECT_DOUBLE_EQ(colour->red(), 0.6);
    auto tone = CIFilter::filterWithName("CIToneCurve")->attributes();
    auto point = tone.get("inputPoint1")[kCIAttributeDefault].objectAs<CIVector>();
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->stringRepresentation(), "[0.25 0.25]");
    auto affine = CIFilter::filterWithName("CIAffineTransform")->attributes();
    auto boxed = affine.get("inputTransform")[kCIAttributeDefault].objectAs<AffineTransformValue>();
    ASSERT_NE(boxed, nullptr);
    EXPECT_TRUE(CGAffineTransformIsIdentity(boxed->CGAffineTransformValue()));
    // Filters without published attributes still list their inputs.
    auto face = CIFilter::filterWithName("CIFaceBalance");
    EXPECT_EQ(face->inputKeys().size(), 5u);
    EXPECT_EQ(face->attributes().get("inputStrength")[kCIAttributeClass].stringValue(), "NSNumber");
}

TEST(FilterRegistry, CategoriesSelectFilters) {
    auto blurs = CIFilter::filterNamesInCategory(kCICategoryBlur);
    EXPECT_NE(std::find(blurs.begin(), blurs.end(), "CIGaussianBlur"), blurs.end());
    EXPECT_EQ(std::find(blurs.begin(), blurs.end(), "CIColorCube"), blurs.end());
    auto both = CIFilter::filterNamesInCategories({kCICategoryColorEffect, kCICategoryInterlaced});
    EXPECT_NE(std::find(both.begin(), both.end(), "CIColorCube"), both.end());
    EXPECT_TRUE(std::is_sorted(both.begin(), both.end()));
    EXPECT_TRUE(CIFilter::filterNamesInCategory("CICategoryNothing").empty());
}

TEST(FilterRegistry, InputsAreSetAndReadByKey) {
    auto f = CIFilter::filterWithName("CIColorControls");
    EXPECT_DOUBLE_EQ(f->valueForKey("inputSaturation").doubleValue(), 1.0);
    f->setValue(Value(0.25), "inputSaturation");
    EXPECT_DOUBLE_EQ(f->valueForKey("inputSaturation").doubleValue(), 0.25);
    f->setValue(Value("kept"), "inputUnknown");
    EXPECT_EQ(f->valueForKey("inputUnknown").stringValue(), "kept");
    f->setDefaults();
    EXPECT_DOUBLE_EQ(f->valueForKey("inputSaturation").doubleValue(), 1.0);
    // No image: no output; an image: an output through the same key.
    EXPECT_TRUE(f->valueForKey("outputImage").isNull());
    f->setValue(Value(imageOf(randomBitmap(2, 2, 1))), kCIInputImageKey);
    EXPECT_NE(f->valueForKey("outputImage").objectAs<CIImage>(), nullptr);
}

TEST(FilterRegistry, EveryRegisteredFilterIsImplementedAndUnknownNamesAreNot) {
    const auto names = CIFilter::filterNamesInCategory("");
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) EXPECT_TRUE(CIFilter::isImplemented(name)) << name;
    EXPECT_FALSE(CIFilter::isImplemented("CINoSuchFilter"));
    EXPECT_FALSE(CIFilter::isImplemented(""));
    auto pdf417 = CIFilter::filterWithName("CIPDF417BarcodeGenerator");
    ASSERT_NE(pdf417, nullptr);
    pdf417->setValue(Value::data({'h', 'i'}), "inputMessage");
    EXPECT_NE(pdf417->outputImage(), nullptr);
    EXPECT_EQ(imageOf(randomBitmap(2, 2, 1))->imageByApplyingFilter("CINoSuchFilter"), nullptr);
}

TEST(FilterRegistry, EveryInputOfEveryFilterHasADisplayName) {
    for (const auto& name : CIFilter::filterNamesInCategory("")) {
        auto filter = CIFilter::filterWithName(name);
        ASSERT_TRUE(filter) << name;
        auto attrs = filter->attributes();
        for (const auto& key : filter->inputKeys()) {
            const Value& shown = attrs.get(key)[kCIAttributeDisplayName];
            EXPECT_TRUE(shown.isString() && !shown.stringValue().empty()) << name << " " << key;
            EXPECT_NE(shown.stringValue().rfind("input", 0), 0u) << name << " " << key << ": a key, not a name";
        }
    }
    EXPECT_EQ(CIFilter::filterWithName("CIColorCube")
                  ->attributes()
                  .get("inputExtrapolate")[kCIAttributeDisplayName]
                  .stringValue(),
              "Extrapolate");
}
