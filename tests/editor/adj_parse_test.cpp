// An attribute set becomes a flat list of parameter items: single inputs, grouped inputs after
// them, nested filters under their display names, sorted by display name for the pop-up.
#include <gtest/gtest.h>

#include "editor/adjust/pop_adj_view.h"
#include "filter/filter_element.h"
#include "tests/editor/adjust_test_support.h"

namespace {

int actOf(const Value& item) {
    return static_cast<int>(item["act"].integerValue());
}

std::vector<std::string> keysOf(const ValueArray& items) {
    std::vector<std::string> keys;
    for (const Value& item : items) {
        if (item["k"].isString()) {
            keys.push_back(item["k"].stringValue());
        } else {
            keys.push_back("#" + std::to_string(actOf(item)));
        }
    }
    return keys;
}

Value notEditable(Value record) {
    record.set("editable", Value(false));
    return record;
}

using Strings = std::vector<std::string>;

TEST(AdjParse, OnlyEditableInputsBecomeItemsInCaseInsensitiveKeyOrder) {
    Value attrs = adjAttrs("CIVignette", {{"inputRadius", adjRecord("Radius", 2)},
                                          {"inputangle", adjRecord("Angle", 6)},
                                          {"inputBright", notEditable(adjRecord("Bright", 2))},
                                          {"inputFlag", adjRecord("Flag", 4)},
                                          {"inputOdd", adjRecord("Odd", 22)},
                                          {"inputBroken", Value("not a record")}});
    ValueArray items = PopAdjView::parseTo1D(attrs, "");
    EXPECT_EQ(keysOf(items), (Strings{"inputangle", "inputFlag", "inputOdd", "inputRadius"}));
    // An input without an editor is still listed; it opens nothing.
    EXPECT_EQ(actOf(items[2]), 0);
    EXPECT_EQ(actOf(items[1]), 2);
    EXPECT_EQ(items[0]["header"].stringValue(), "");
    // The item holds the record itself, not a copy.
    EXPECT_EQ(items[0]["attr"].identity(), attrs["value"]["inputangle"].identity());

    Value none = adjAttrs("CIVignette", {{"inputRadius", notEditable(adjRecord("Radius", 2))}});
    EXPECT_TRUE(PopAdjView::parseTo1D(none, "").empty());
    EXPECT_FALSE(PopAdjView::available(none));
    EXPECT_TRUE(PopAdjView::available(attrs));
    EXPECT_FALSE(PopAdjView::available(Value()));
    EXPECT_FALSE(PopAdjView::available(Value("junk")));
    EXPECT_FALSE(PopAdjView::available(adjAttrs("CIVignette", {})));
}

TEST(AdjParse, AnEditorKindThatIsNotANumberGivesNoEditor) {
    for (Value kind : {Value("2"), Value(std::nan("")), Value(INFINITY), Value::array({Value(2)}), Value()}) {
        Value r = adjRecord("Odd", 2);
        r.set("view", kind);
        EXPECT_EQ(PopAdjView::parseViewType(r, "CIVignette"), kind.isString() ? AdjAction::Slider : AdjAction::None)
            << kind.description();
    }
}

TEST(AdjParse, ToneCurvePointsFormOneItemAfterTheOthers) {
    Value attrs = adjAttrs("CIToneCurve", {{"inputPoint0", adjRecord("Point 0", 11)},
                                           {"inputPoint1", adjRecord("Point 1", 11)},
                                           {"inputExtra", adjRecord("Extra", 2)},
                                           {"inputPlace", adjRecord("Place", 7)},
                                           {"inputPoint2", notEditable(adjRecord("Point 2", 11))}});
    ValueArray items = PopAdjView::parseTo1D(attrs, "");
    // A position input of the tone curve is not grouped: it lists on its own and opens nothing.
    EXPECT_EQ(keysOf(items), (Strings{"inputExtra", "inputPlace", "#8"}));
    EXPECT_EQ(actOf(items[1]), 0);
    const Value& points = items[2]["arr"];
    ASSERT_EQ(points.count(), 2u);
    EXPECT_EQ(points[std::size_t{0}]["k"].stringValue(), "inputPoint0");
    EXPECT_EQ(points[std::size_t{1}]["attr"].identity(), attrs["value"]["inputPoint1"].identity());

    Value onlyPoints = adjAttrs("CIToneCurve", {{"inputPoint0", adjRecord("Point 0", 11)}});
    EXPECT_EQ(keysOf(PopAdjView::parseTo1D(onlyPoints, "")), (Strings{"#8"}));
    Value noPoints = adjAttrs("CIToneCurve", {{"inputPoint0", notEditable(adjRecord("Point 0", 11))}});
    EXPECT_TRUE(PopAdjView::parseTo1D(noPoints, "").empty());
}

TEST(AdjParse, CubesGroupOnlyWhenAllTheirInputsAreEditable) {
    auto cube = [](bool dimension, bool data) {
        Value d = adjRecord("Dimension", 5);
        Value t = adjRecord("Data", 23);
        return adjAttrs("CIColorCube", {{"inputCubeDimension", dimension ? d : notEditable(d)},
                                        {"inputCubeData", data ? t : notEditable(t)},
                                        {"inputAmount", adjRecord("Amount", 2)}});
    };
    ValueArray whole = PopAdjView::parseTo1D(cube(true, true), "");
    EXPECT_EQ(keysOf(whole), (Strings{"inputAmount", "#14"}));
    EXPECT_EQ(whole[1]["attr"]["inputCubeData"]["k"].stringValue(), "inputCubeData");
    EXPECT_EQ(whole[1]["attr"]["inputCubeDimension"]["attr"]["disp"].stringValue(), "Dimension");
    // With one of them fixed there is no cube item, and nothing for the other one either.
    EXPECT_EQ(keysOf(PopAdjView::parseTo1D(cube(true, false), "")), (Strings{"inputAmount"}));
    EXPECT_EQ(keysOf(PopAdjView::parseTo1D(cube(false, true), "")), (Strings{"inputAmount"}));

    Value spaced = cube(true, true);
    spaced.set("name", Value("CIColorCubeWithColorSpace"));
    EXPECT_EQ(keysOf(PopAdjView::parseTo1D(spaced, "")), (Strings{"inputAmount", "#14"}));

    auto two = [](bool second) {
        Value c1 = adjRecord("Cube 1", 23);
        return adjAttrs("CIColorCubesMixedWithMask", {{"inputCubeDimension", adjRecord("Dimension", 5)},
                                                      {"inputCube0Data", adjRecord("Cube 0", 23)},
                                                      {"inputCube1Data", second ? c1 : notEditable(c1)}});
    };
    ValueArray both = PopAdjView::parseTo1D(two(true), "");
    EXPECT_EQ(keysOf(both), (Strings{"#15"}));
    EXPECT_EQ(both[0]["attr"].count(), 3u);
    EXPECT_TRUE(PopAdjView::parseTo1D(two(false), "").empty());
}

TEST(AdjParse, PositionInputsOfOtherFiltersFormOneItem) {
    Value attrs = adjAttrs("CIBumpDistortion", {{"inputCenter", adjRecord("Center", 7)},
                                                {"inputAnchor", adjRecord("Anchor", 7)},
                                                {"inputRadius", adjRecord("Radius", 2)}});
    ValueArray items = PopAdjView::parseTo1D(attrs, "");
    EXPECT_EQ(keysOf(items), (Strings{"inputRadius", "#5"}));
    ASSERT_EQ(items[1]["arr"].count(), 2u);
    EXPECT_EQ(items[1]["arr"][std::size_t{0}]["k"].stringValue(), "inputAnchor");
    EXPECT_EQ(items[1]["arr"][std::size_t{1}]["k"].stringValue(), "inputCenter");

    Value fixed = adjAttrs("CIBumpDistortion", {{"inputCenter", notEditable(adjRecord("Center", 7))},
                                                {"inputRadius", adjRecord("Radius", 2)}});
    EXPECT_EQ(keysOf(PopAdjView::parseTo1D(fixed, "")), (Strings{"inputRadius"}));
}

TEST(AdjParse, NestedFiltersListTheirInputsUnderTheirNames) {
    Value innermost = adjAttrs("CIVignette", {{"inputIntensity", adjRecord("Intensity", 2)}}, "Vignette");
    Value inner = adjAttrs("CIColorControls",
                           {{"inputSaturation", adjRecord("Saturation", 2)},
                            {"inputImage", adjRecord("Image", 25, {{"value", innermost}})}},
                           "Controls");
    Value outer = adjAttrs("CIBloom", {{"inputImage", adjRecord("Image", 25, {{"value", inner}})},
                                       {"inputRadius", adjRecord("Radius", 2)},
                                       {"inputMask", adjRecord("Mask", 25, {{"value", Value("picture")}})},
                                       {"inputBackground", adjRecord("Background", 25)}});
    ValueArray items = PopAdjView::parseTo1D(outer, "");
    // An image input that holds no filter adds nothing.
    EXPECT_EQ(keysOf(items), (Strings{"inputIntensity", "inputSaturation", "inputRadius"}));
    EXPECT_EQ(items[0]["header"].stringValue(), "Vignette/Controls/");
    EXPECT_EQ(items[1]["header"].stringValue(), "Controls/");
    EXPECT_EQ(items[2]["header"].stringValue(), "");
    EXPECT_TRUE(PopAdjView::available(outer));
}

TEST(AdjParse, ARealElementsNestedChainParsesToo) {
    auto entry = [](Value v, bool editable) {
        return Value::dictionary({{"value", std::move(v)}, {"editable", Value(editable)}});
    };
    Value inner = Value::dictionary(
        {{"name", Value("CIVignette")}, {"value", Value::dictionary({{"inputIntensity", entry(Value(0.7), true)}})}});
    Value outer = Value::dictionary(
        {{"name", Value("CIColorControls")}, {"value", Value::dictionary({{"inputImage", entry(inner, true)}})}});
    auto element = FilterElement::withDesc(outer);
    ASSERT_NE(element, nullptr);
    ValueArray items = PopAdjView::parseTo1D(element->attrs(), "");
    // The nested filter's inputs stand where its image input would, under its display name.
    ASSERT_EQ(keysOf(items),
              (Strings{"inputBrightness", "inputContrast", "inputIntensity", "inputRadius", "inputSaturation"}));
    const Strings headers{"", "", "Vignette/", "Vignette/", ""};
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i]["header"].stringValue(), headers[i]);
    EXPECT_EQ(actOf(items[2]), 1);
}

TEST(AdjParse, SortingIsByDisplayNameWithUnnamedItemsLastInParseOrder) {
    Value attrs = adjAttrs("CIBumpDistortion", {{"inputA", adjRecord("zeta", 2)},
                                                {"inputB", adjRecord("Alpha", 2)},
                                                {"inputC", adjRecord(nullptr, 2)},
                                                {"inputD", adjRecord("beta", 4)},
                                                {"inputE", adjRecord("", 2)},
                                                {"inputF", adjRecord("Center", 7)}});
    ValueArray sorted = PopAdjView::sortedItems(PopAdjView::parseTo1D(attrs, ""));
    EXPECT_EQ(keysOf(sorted), (Strings{"inputB", "inputD", "inputA", "inputC", "inputE", "#5"}));
}

}  // namespace
