// Filter descriptions become elements whose records carry type, editor kind, value, default,
// bounds and editable flag, nested chains included; copies share records.
#include <gtest/gtest.h>

#include "filter/filter_element.h"
#include "filter/filter_my_element.h"
#include "filter/format_acv.h"
#include "tests/filter/filter_test_support.h"

namespace {

Value desc(const char* name, ValueDictionary values = {}) {
    return Value::dictionary({{"name", Value(name)}, {"value", Value(std::move(values))}});
}
Value entry(Value v, std::optional<bool> editable = std::nullopt) {
    Value e = Value::dictionary({{"value", std::move(v)}});
    if (editable) e.set("editable", Value(*editable));
    return e;
}

}  // namespace

TEST(FilterElementModel, RefusedAndUnknownFiltersGiveNoElement) {
    for (const char* name : {"CINoSuchFilter", "CIColorCurves", "CIAztecCodeGenerator", "CIPDF417BarcodeGenerator"})
        EXPECT_EQ(FilterElement::withDesc(desc(name)), nullptr) << name;
    EXPECT_EQ(FilterElement::withDesc(Value::dictionary({{"disp", Value("x")}})), nullptr);
    EXPECT_EQ(FilterElement::withDesc(Value("CIVignette")), nullptr);
    EXPECT_EQ(FilterElement::withDesc(Value()), nullptr);
}

TEST(FilterElementModel, NameOnlyDescriptionTakesPlatformDefaultsAndIsEditable) {
    auto e = FilterElement::withDesc(Value::dictionary({{"name", Value("CIVignette")}}));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->attrs()["name"].stringValue(), "CIVignette");
    EXPECT_EQ(e->displayName(), "Vignette");
    const Value& intensity = recordOf(e->attrs(), "inputIntensity");
    EXPECT_EQ(intensity["type"].stringValue(), "NSNumber");
    EXPECT_EQ(intensity["view"].integerValue(), 10);
    EXPECT_TRUE(intensity["editable"].boolValue());
    EXPECT_DOUBLE_EQ(intensity["value"].doubleValue(), 0.0);
    EXPECT_TRUE(intensity["def"].isEqual(intensity["value"]));
    EXPECT_DOUBLE_EQ(intensity["min"].doubleValue(), -1);
    EXPECT_DOUBLE_EQ(intensity["max"].doubleValue(), 1);
    EXPECT_EQ(intensity["disp"].stringValue(), "Intensity");
    const Value& image = recordOf(e->attrs(), "inputImage");
    EXPECT_EQ(image["view"].integerValue(), 25);
    EXPECT_TRUE(image["editable"].boolValue());
    EXPECT_TRUE(image["value"].isNull());

    // A data input of no known use: no type, no value, not editable.
    auto cube = FilterElement::withDesc(desc("CIColorCubeWithColorSpace"));
    ASSERT_NE(cube, nullptr);
    const Value& cubeData = recordOf(cube->attrs(), "inputCubeData");
    EXPECT_EQ(cubeData["type"].stringValue(), "NSData.NSArray");
    EXPECT_EQ(cubeData["view"].integerValue(), 22);
    EXPECT_EQ(cubeData["value"].count(), 8u);  // the 2x2x2 identity from the platform default
    EXPECT_EQ(recordOf(cube->attrs(), "inputColorSpace")["value"].stringValue(), "Default");
    EXPECT_EQ(recordOf(cube->attrs(), "inputColorSpace")["view"].integerValue(), 24);
}

TEST(FilterElementModel, EntryFormsAndEditorKinds) {
    auto e = FilterElement::withDesc(desc("CIToneCurve", {{"inputPoint1", entry(Value(0.5))}}));
    ASSERT_NE(e, nullptr);
    const Value& p1 = recordOf(e->attrs(), "inputPoint1");
    EXPECT_EQ(p1["view"].integerValue(), 11);  // offset
    EXPECT_TRUE(p1["value"].isEqual(Value::array({Value(0.5), Value(0.0)})));
    EXPECT_FALSE(p1["editable"].boolValue());
    EXPECT_EQ(p1["min"].count(), 4u);
    EXPECT_TRUE(recordOf(e->attrs(), "inputPoint2")["editable"].boolValue());

    auto poly = FilterElement::withDesc(desc("CIColorPolynomial", {{"inputRedCoefficients", entry(Value(0.5))}}));
    const Value& red = recordOf(poly->attrs(), "inputRedCoefficients");
    EXPECT_EQ(red["view"].integerValue(), 1);
    EXPECT_TRUE(red["value"].isEqual(Value::array({Value(0.5), Value(0), Value(0), Value(0)})));

    auto mono = FilterElement::withDesc(desc("CIColorMonochrome", {{"inputColor", entry(Value(1))}}));
    const Value& color = recordOf(mono->attrs(), "inputColor");
    EXPECT_EQ(color["view"].integerValue(), 1);
    EXPECT_TRUE(color["value"].isEqual(Value::array({Value(1), Value(1), Value(1), Value(1)})));
    auto mono2 =
        FilterElement::withDesc(desc("CIColorMonochrome", {{"inputColor", entry(Value::array({Value(0.2)}))}}));
    EXPECT_TRUE(recordOf(mono2->attrs(), "inputColor")["value"].isEqual(
        Value::array({Value(0.2), Value(0), Value(0), Value(0)})));

    auto affine = FilterElement::withDesc(
        desc("CIAffineTransform", {{"inputTransform", entry(Value::array({Value(2), Value(0), Value(0), Value(2)}))}}));
    const Value& t = recordOf(affine->attrs(), "inputTransform");
    EXPECT_EQ(t["view"].integerValue(), 20);
    EXPECT_TRUE(t["value"].isEqual(Value::array({Value(1), Value(0), Value(0), Value(1), Value(0), Value(0)})));
    EXPECT_FALSE(t["editable"].boolValue());

    auto effect = FilterElement::withDesc(desc("CIVignetteEffect"));
    EXPECT_EQ(recordOf(effect->attrs(), "inputCenter")["view"].integerValue(), 7);
    EXPECT_EQ(recordOf(effect->attrs(), "inputRadius")["view"].integerValue(), 6);
    EXPECT_EQ(recordOf(FilterElement::withDesc(desc("CICrop"))->attrs(), "inputRectangle")["view"].integerValue(), 3);
    EXPECT_EQ(
        recordOf(FilterElement::withDesc(desc("CIStraightenFilter"))->attrs(), "inputAngle")["view"].integerValue(), 2);
    EXPECT_EQ(
        recordOf(FilterElement::withDesc(desc("CIConvolution3X3"))->attrs(), "inputWeights")["view"].integerValue(),
        15);

    auto qr = FilterElement::withDesc(desc("CIQRCodeGenerator"));
    const Value& message = recordOf(qr->attrs(), "inputMessage");
    EXPECT_EQ(message["type"].stringValue(), "NSData.NSString.UTF8");
    EXPECT_EQ(message["view"].integerValue(), 26);
    EXPECT_EQ(message["value"].stringValue().rfind("Quillon - ", 0), 0u);
    EXPECT_EQ(recordOf(qr->attrs(), "inputCorrectionLevel")["value"].stringValue(), "M");

    // A bare value in place of an entry dictionary is read as the entry's value.
    auto bare = FilterElement::withDesc(desc("CIVignette", {{"inputRadius", Value(0.25)}}));
    EXPECT_DOUBLE_EQ(recordOf(bare->attrs(), "inputRadius")["value"].doubleValue(), 0.25);
}

TEST(FilterElementModel, NestedChainsAndDisplayName) {
    Value inner = desc("CIVignette", {{"inputIntensity", entry(Value(0.7), true)}});
    Value outer = desc("CIColorControls", {{"inputImage", entry(inner)}});
    outer.set("disp", Value("Mine"));
    auto e = FilterElement::withDesc(outer);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->displayName(), "Mine");
    const Value& image = recordOf(e->attrs(), "inputImage");
    EXPECT_FALSE(image["editable"].boolValue());
    EXPECT_EQ(image["value"]["name"].stringValue(), "CIVignette");
    const Value& nested = recordOf(image["value"], "inputIntensity");
    EXPECT_DOUBLE_EQ(nested["value"].doubleValue(), 0.7);
    EXPECT_TRUE(nested["editable"].boolValue());
    // The reset target is a separate tree.
    EXPECT_NE(image["def"].identity(), image["value"].identity());

    // An unknown nested filter leaves the input to the source image, editable.
    auto fallback = FilterElement::withDesc(desc("CIColorControls", {{"inputImage", entry(desc("CINope"))}}));
    ASSERT_NE(fallback, nullptr);
    EXPECT_TRUE(recordOf(fallback->attrs(), "inputImage")["value"].isNull());
    EXPECT_TRUE(recordOf(fallback->attrs(), "inputImage")["editable"].boolValue());

    // The portrait pre-chain nests four levels below the cube.
    auto chain = FilterElement::withDesc(Value::dictionary(
        {{"name", Value("CIColorCube")},
         {"value", Value::dictionary({{"inputImage", entry(FormatACV::portraitPreChain(), true)}})}}));
    ASSERT_NE(chain, nullptr);
    Value level = chain->attrs();
    std::vector<std::string> names;
    while (level.isDictionary()) {
        names.push_back(level["name"].stringValue());
        level = recordOf(level, "inputImage")["value"];
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CIColorCube", "CIVignette", "CIToneCurve", "CINoiseReduction",
                                               "CIFaceBalance"}));
}

TEST(FilterElementModel, SelfContainingDescriptionDoesNotRecurseForever) {
    Value d = desc("CIColorControls");
    d["value"].set("inputImage", entry(d));  // the description holds itself
    auto e = FilterElement::withDesc(d);
    EXPECT_NE(e, nullptr);
    d["value"].dictionaryPtr()->remove("inputImage");  // let the test's own cycle go
}

TEST(FilterElementModel, CopiesShareRecordsAndDropCaches) {
    Value inner = desc("CIVignette");
    auto source = FilterElement::withDesc(desc("CIColorControls", {{"inputImage", entry(inner)}}));
    ASSERT_NE(source, nullptr);
    const Value& top = recordOf(source->attrs(), "inputSaturation");
    const Value& nested = recordOf(recordOf(source->attrs(), "inputImage")["value"], "inputRadius");
    top.set("instanceData", Value(1));
    nested.set("instanceData", Value(2));

    auto copy = FilterMyElement::withFilterElement(*source);
    EXPECT_EQ(copy->className(), "FilterMyElement");
    EXPECT_NE(copy->attrs().identity(), source->attrs().identity());
    EXPECT_TRUE(top["instanceData"].isNull());
    EXPECT_TRUE(nested["instanceData"].isNull());
    EXPECT_TRUE(copy->lastFilter().isNull());

    FilterElement::setAttrValueFloat(recordOf(copy->attrs(), "inputSaturation"), 0.3);
    EXPECT_DOUBLE_EQ(top["value"].doubleValue(), 0.3);
    EXPECT_TRUE(copy->desc().isEqual(source->desc()));
    EXPECT_NE(copy->desc().identity(), source->desc().identity());
}
