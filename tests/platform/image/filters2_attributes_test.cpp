// Every filter of this suite: registered as implemented, its attribute dictionary as the facts
// give it, and robust output with defaults and with inputs of the wrong kind.
#include <gtest/gtest.h>

#include "image_test_support.h"
#include "platform/image/filters/filter_facts.h"
#include "platform/image/filters/filter_registry.h"

using namespace imagetest;

namespace {

const char* const kNames[] = {"CIColorCubeWithColorSpace",
                              "CIColorCubesMixedWithMask",
                              "CIVignetteEffect",
                              "CIMedianFilter",
                              "CIVibrance",
                              "CIRedEyeCorrection",
                              "CIColorMap",
                              "CISmoothLinearGradient",
                              "CIStraightenFilter",
                              "CIPerspectiveCorrection",
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
                              "CIColorClamp",
                              "CIColorMatrix",
                              "CIConvolution3X3",
                              "CIConvolution5X5",
                              "CIConvolution7X7",
                              "CIConvolution9Horizontal",
                              "CIConvolution9Vertical",
                              "CIStretchCrop",
                              "CIQRCodeGenerator",
                              "CICode128BarcodeGenerator",
                              "CIAztecCodeGenerator",
                              "CIColorCurves",
                              "CILinearToSRGBToneCurve",
                              "CISRGBToneCurveToLinear"};

// Filters that need more than an image to give output.
bool needsMore(const std::string& name) {
    return name == "CIColorCubesMixedWithMask" || name == "CIColorMap" || name == "CIQRCodeGenerator" ||
           name == "CICode128BarcodeGenerator" || name == "CIAztecCodeGenerator";
}

void expectFact(const Value& v, const Fact& f, const std::string& where) {
    switch (f.kind) {
        case FactKind::None: EXPECT_TRUE(v.isNull()) << where; break;
        case FactKind::Number: EXPECT_DOUBLE_EQ(v.doubleValue(), f.number) << where; break;
        case FactKind::String: EXPECT_EQ(v.stringValue(), f.text) << where; break;
        case FactKind::Vector:
            if (auto vector = v.objectAs<CIVector>()) {
                ASSERT_EQ(vector->count(), f.count) << where;
                for (std::size_t i = 0; i < f.count; ++i)
                    EXPECT_DOUBLE_EQ(vector->valueAtIndex(i), f.values[i]) << where;
            } else if (auto colour = v.objectAs<CIColor>()) {
                for (std::size_t i = 0; i < f.count; ++i)
                    EXPECT_DOUBLE_EQ(colour->components()[i], f.values[i]) << where;
            } else if (const Bytes* b = v.bytes()) {
                EXPECT_EQ(b->size(), f.count * sizeof(float)) << where;
            } else if (f.count == 1) {
                EXPECT_DOUBLE_EQ(v.doubleValue(), f.values[0]) << where;
            } else {
                ADD_FAILURE() << where << ": no vector value";
            }
            break;
    }
}

}  // namespace

TEST(Filters2Attributes, DictionariesCarryTheFactsAndDefaultsRender) {
    Bitmap src = randomBitmap(9, 7, 61, false);
    auto image = imageOf(src);
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(CIFilter::isImplemented(name));
        const FilterFacts* facts = nullptr;
        for (const FilterFacts& f : filterFacts())
            if (std::string(f.name) == name) facts = &f;
        ASSERT_NE(facts, nullptr);
        auto filter = CIFilter::filterWithName(name);
        ASSERT_NE(filter, nullptr);
        ValueDictionary attrs = filter->attributes();
        EXPECT_EQ(attrs.get(kCIAttributeFilterName).stringValue(), name);
        ASSERT_EQ(filter->inputKeys().size(), facts->inputs.size());
        for (const FactInput& in : facts->inputs) {
            const Value& d = attrs.get(in.key);
            ASSERT_TRUE(d.isDictionary()) << in.key;
            EXPECT_EQ(d[kCIAttributeClass].stringValue(), in.attributeClass) << in.key;
            expectFact(d[kCIAttributeDefault], in.defaultValue, std::string(in.key) + " default");
            expectFact(d[kCIAttributeMin], in.min, std::string(in.key) + " min");
            expectFact(d[kCIAttributeSliderMax], in.sliderMax, std::string(in.key) + " slider max");
            expectFact(d[kCIAttributeIdentity], in.identity, std::string(in.key) + " identity");
        }
        // With its defaults (and an image where it takes one) it renders, or gives none when it
        // needs inputs beyond them.
        filter->setValue(Value(image), kCIInputImageKey);
        auto out = filter->outputImage();
        if (needsMore(name)) {
            EXPECT_EQ(out, nullptr);
        } else {
            ASSERT_NE(out, nullptr);
            EXPECT_FALSE(render(plainContext(1), out, CGRectMake(-2, -2, 13, 11)).rgba.empty());
        }
        // Inputs of the wrong kind never crash: no output, or output that renders.
        for (const FactInput& in : facts->inputs) {
            if (std::string(in.key) == kCIInputImageKey) continue;
            for (const Value& bad : {Value("bogus"), Value(-1e300), Value(CIVector::vectorWithValues({NAN, 1, 2}))}) {
                auto f = CIFilter::filterWithName(name);
                f->setValue(Value(image), kCIInputImageKey);
                f->setValue(bad, in.key);
                if (auto o = f->outputImage()) {
                    const CGRect e = o->extent();
                    CGRect r = CGRectIsInfinite(e) || CGRectIsEmpty(e) || e.size.width > 64 || e.size.height > 64
                                   ? CGRectMake(0, 0, 9, 7)
                                   : CGRectIntegral(e);
                    render(plainContext(1), o, r);
                }
            }
        }
    }
}
