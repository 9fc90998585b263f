// Every typed setter writes the record's value in its own form and drops the conversion cache.
#include <gtest/gtest.h>

#include <cmath>

#include "filter/filter_element.h"
#include "filter/filter_record_values.h"
#include "platform/ui/draw/color.h"
#include "tests/filter/filter_test_support.h"

namespace {

Value freshRecord() {
    return Value::dictionary({{"value", Value(0.0)}, {"instanceData", Value(1)}});
}

bool near(const Value& a, const Value& b) {
    if (!a.isArray() || !b.isArray()) return a.isEqual(b);
    if (a.count() != b.count()) return false;
    for (std::size_t i = 0; i < a.count(); ++i)
        if (std::abs(a[i].doubleValue() - b[i].doubleValue()) > 1e-9) return false;
    return true;
}

Value nums(std::initializer_list<double> v) {
    Value out = Value::array();
    for (double d : v) out.append(Value(d));
    return out;
}

}  // namespace

TEST(FilterSetters, EachSetterWritesItsFormAndDropsTheCache) {
    struct Case {
        const char* name;
        std::function<void(const Value&)> set;
        Value expected;
    };
    auto image = solidImage(2, 2, 1, 2, 3);
    std::vector<Case> cases{
        {"bool", [](const Value& r) { FilterElement::setAttrValueBool(r, true); }, Value(true)},
        {"int", [](const Value& r) { FilterElement::setAttrValueInt(r, 7); }, Value(7)},
        {"float", [](const Value& r) { FilterElement::setAttrValueFloat(r, 0.25); }, Value(0.25)},
        {"vec2", [](const Value& r) { FilterElement::setAttrValueVec(r, 1, 2); }, nums({1, 2, 0, 0})},
        {"vec3", [](const Value& r) { FilterElement::setAttrValueVec(r, 1, 2, 3); }, nums({1, 2, 3, 0})},
        {"vec4", [](const Value& r) { FilterElement::setAttrValueVec(r, 1, 2, 3, 4); }, nums({1, 2, 3, 4})},
        {"ratio",
         [](const Value& r) {
             FilterElement::setAttrValueVecRatio(r, 0.25, 0.5, {4000, 3000});
         },
         nums({1000, 1500, 0, 0})},
        {"rect",
         [](const Value& r) {
             FilterElement::setAttrValueRect(r, 0.1, 0.2, 0.6, 0.7, {1000, 500});
         },
         nums({100, 100, 500, 250})},
        {"color", [](const Value& r) { FilterElement::setAttrValueColor(r, 0.1, 0.2, 0.3, 0.4); },
         nums({0.1, 0.2, 0.3, 0.4})},
        {"uicolor", [](const Value& r) { FilterElement::setAttrValueUIColor(r, UIColor::colorWithRed(1, 0.5, 0, 1)); },
         nums({1, 0.5, 0, 1})},
        {"grey uicolor",
         [](const Value& r) { FilterElement::setAttrValueUIColor(r, UIColor::colorWithWhite(0.5, 0.8)); },
         nums({0.5, 0.5, 0.5, 0.8})},
        {"transform",
         [](const Value& r) {
             FilterElement::setAttrValueTransform(r, {1, 2, 3, 4, 5, 6});
         },
         nums({1, 2, 3, 4, 5, 6})},
        {"image", [&](const Value& r) { FilterElement::setAttrValueImage(r, image); }, Value(image)},
        {"array",
         [](const Value& r) {
             FilterElement::setAttrValueArray(r, {Value(1), Value(2)});
         },
         nums({1, 2})},
        {"string", [](const Value& r) { FilterElement::setAttrValueString(r, "abc"); }, Value("abc")},
        {"colour space", [](const Value& r) { FilterElement::setAttrValueColorSpace(r, "Default"); }, Value("Default")},
    };
    for (const auto& c : cases) {
        Value r = freshRecord();
        c.set(r);
        EXPECT_TRUE(near(r["value"], c.expected)) << c.name << ": " << r["value"].description();
        EXPECT_TRUE(r["instanceData"].isNull()) << c.name;
    }
}

TEST(FilterSetters, BaseSizeIsRememberedAndArraysAreOwnCopies) {
    Value r = freshRecord();
    FilterElement::setAttrValueVecRatio(r, 0.25, 0.5, {4000, 3000});
    auto base = sizeFromValue(r["editingBaseSize"]);
    ASSERT_TRUE(base.has_value());
    EXPECT_EQ(base->width, 4000);
    EXPECT_EQ(base->height, 3000);

    ValueArray source{Value(1), Value(2)};
    Value given(source);
    FilterElement::setAttrValueArray(r, *given.arrayPtr());
    FilterElement::setAttrValueArrayElement(r, 0, 9.0);
    EXPECT_EQ(given[0ul].integerValue(), 1);
    EXPECT_DOUBLE_EQ(r["value"][0ul].doubleValue(), 9.0);
}

TEST(FilterSetters, ArrayElementOutsideTheArrayOrOfANonArrayIsIgnored) {
    Value r = Value::dictionary({{"value", nums({1, 2, 3})}, {"instanceData", Value(1)}});
    FilterElement::setAttrValueArrayElement(r, 3, 5.0);
    FilterElement::setAttrValueArrayElement(r, static_cast<std::size_t>(-1), 5.0);
    EXPECT_TRUE(r["value"].isEqual(nums({1, 2, 3})));
    EXPECT_FALSE(r["instanceData"].isNull());
    FilterElement::setAttrValueArrayElement(r, 1, 5.0);
    EXPECT_TRUE(r["value"].isEqual(nums({1, 5, 3})));
    EXPECT_TRUE(r["instanceData"].isNull());

    Value number = Value::dictionary({{"value", Value(3.0)}});
    FilterElement::setAttrValueArrayElement(number, 0, 5.0);
    EXPECT_DOUBLE_EQ(number["value"].doubleValue(), 3.0);
    // Setters on something that is not a record do nothing.
    FilterElement::setAttrValueFloat(Value(), 1.0);
    FilterElement::setAttrValueUIColor(number, nullptr);
    EXPECT_DOUBLE_EQ(number["value"].doubleValue(), 3.0);
}
