// Filter registry: the facts table joined with the implementations, and attribute dictionaries.
#include "platform/image/filters/filter_registry.h"

#include <cstring>

#include "platform/image/affine_value.h"
#include "platform/image/ci_color.h"
#include "platform/image/ci_filter_keys.h"
#include "platform/image/ci_vector.h"

Value factValue(const Fact& fact, std::string_view cls) {
    switch (fact.kind) {
        case FactKind::None: return {};
        case FactKind::String: return Value(fact.text);
        case FactKind::Number: return Value(fact.number);
        case FactKind::Vector: break;
    }
    std::vector<double> v(fact.values, fact.values + fact.count);
    if (cls == "CIColor") {
        v.resize(4, 0.0);
        return Value(CIColor::colorWithRed(v[0], v[1], v[2], v[3]));
    }
    if (cls == "NSValue" || cls == "NSAffineTransform") {
        v.resize(6, 0.0);
        return Value(AffineTransformValue::valueWithCGAffineTransform({v[0], v[1], v[2], v[3], v[4], v[5]}));
    }
    if (cls == "NSData") {
        Bytes bytes(v.size() * sizeof(float));
        for (std::size_t i = 0; i < v.size(); ++i) {
            float f = static_cast<float>(v[i]);
            std::memcpy(bytes.data() + i * sizeof(float), &f, sizeof f);
        }
        return Value::data(std::move(bytes));
    }
    if (cls == "NSNumber" && v.size() == 1) return Value(v[0]);
    return Value(CIVector::vectorWithValues(std::move(v)));
}

const FactInput* FilterDescription::input(std::string_view key) const {
    for (const FactInput& in : facts->inputs)
        if (key == in.key) return &in;
    return nullptr;
}

Value FilterDescription::defaultValue(const FactInput& in) const {
    return factValue(in.defaultValue, in.attributeClass);
}

ValueDictionary FilterDescription::attributes() const {
    ValueDictionary a;
    a.set(kCIAttributeFilterName, Value(name));
    if (facts->displayName) a.set(kCIAttributeFilterDisplayName, Value(facts->displayName));
    Value categories = Value::array();
    for (const char* c : facts->categories) categories.append(Value(c));
    a.set(kCIAttributeFilterCategories, categories);
    if (facts->availableIOS) a.set(kCIAttributeFilterAvailable_iOS, Value(facts->availableIOS));
    if (facts->availableMac) a.set(kCIAttributeFilterAvailable_Mac, Value(facts->availableMac));
    for (const FactInput& in : facts->inputs) {
        ValueDictionary d;
        d.set(kCIAttributeClass, Value(in.attributeClass));
        if (in.attributeType) d.set(kCIAttributeType, Value(in.attributeType));
        d.set(kCIAttributeDefault, factValue(in.defaultValue, in.attributeClass));
        d.set(kCIAttributeMin, factValue(in.min, in.attributeClass));
        d.set(kCIAttributeMax, factValue(in.max, in.attributeClass));
        d.set(kCIAttributeSliderMin, factValue(in.sliderMin, in.attributeClass));
        d.set(kCIAttributeSliderMax, factValue(in.sliderMax, in.attributeClass));
        d.set(kCIAttributeIdentity, factValue(in.identity, in.attributeClass));
        if (in.displayName) d.set(kCIAttributeDisplayName, Value(in.displayName));
        a.set(in.key, Value(std::move(d)));
    }
    return a;
}

FilterRegistry::FilterRegistry() {
    for (const FilterFacts& f : filterFacts()) {
        FilterDescription d;
        d.facts = &f;
        d.name = f.name;
        for (const FactInput& in : f.inputs) d.inputKeys.emplace_back(in.key);
        d.factory = implementedFilter(f.name);
        filters_.push_back(std::move(d));
    }
}

const FilterRegistry& FilterRegistry::shared() {
    static const FilterRegistry registry;
    return registry;
}

const FilterDescription* FilterRegistry::find(std::string_view name) const {
    for (const auto& d : filters_)
        if (d.name == name) return &d;
    return nullptr;
}
