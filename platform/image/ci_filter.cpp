// Filters by name: creation, inputs by key, attributes and typed reads.
#include "platform/image/ci_filter.h"

#include <algorithm>

#include "platform/image/ci_vector.h"
#include "platform/image/filters/filter_registry.h"

std::shared_ptr<CIFilter> CIFilter::filterWithName(std::string_view name) {
    const FilterDescription* d = FilterRegistry::shared().find(name);
    if (!d) return nullptr;
    std::shared_ptr<CIFilter> filter = d->factory ? d->factory(*d) : make<CIFilter>(*d);
    filter->setDefaults();
    return filter;
}

std::shared_ptr<CIFilter> CIFilter::filterWithName(std::string_view name, const ValueDictionary& inputs) {
    auto filter = filterWithName(name);
    if (!filter) return nullptr;
    for (const auto& [key, value] : inputs) filter->setValue(value, key);
    return filter;
}

std::vector<std::string> CIFilter::filterNamesInCategories(const std::vector<std::string>& categories) {
    std::vector<std::string> names;
    for (const auto& d : FilterRegistry::shared().all()) {
        bool all = std::all_of(categories.begin(), categories.end(), [&](const std::string& c) {
            if (c.empty()) return true;
            for (const char* k : d.facts->categories)
                if (c == k) return true;
            return false;
        });
        if (all) names.push_back(d.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> CIFilter::filterNamesInCategory(std::string_view category) {
    if (category.empty()) return filterNamesInCategories({});
    return filterNamesInCategories({std::string(category)});
}

std::string CIFilter::localizedNameForFilterName(std::string_view name) {
    const FilterDescription* d = FilterRegistry::shared().find(name);
    return d && d->facts->displayName ? d->facts->displayName : "";
}

bool CIFilter::isImplemented(std::string_view name) {
    const FilterDescription* d = FilterRegistry::shared().find(name);
    return d && d->factory;
}

const std::string& CIFilter::name() const {
    return description_->name;
}
ValueDictionary CIFilter::attributes() const {
    return description_->attributes();
}
const std::vector<std::string>& CIFilter::inputKeys() const {
    return description_->inputKeys;
}

void CIFilter::setValue(const Value& value, const std::string& key) {
    inputs_.set(key, value);
    inputChanged(key);
}

Value CIFilter::valueForKey(const std::string& key) const {
    if (key == kCIOutputImageKey) return Value(outputImage());
    return inputs_.get(key);
}

void CIFilter::setDefaults() {
    for (const FactInput& in : description_->facts->inputs) {
        Value v = description_->defaultValue(in);
        if (v.isNull()) continue;
        inputs_.set(in.key, v);
        inputChanged(in.key);
    }
}

std::shared_ptr<CIImage> CIFilter::outputImage() const {
    return nullptr;
}

std::shared_ptr<CIImage> CIFilter::imageInput(const std::string& key) const {
    return inputs_.get(key).objectAs<CIImage>();
}

double CIFilter::numberInput(const std::string& key, double fallback) const {
    const Value& v = inputs_.get(key);
    return v.isNumber() ? v.doubleValue() : fallback;
}

std::shared_ptr<CIVector> CIFilter::vectorInput(const std::string& key) const {
    const Value& v = inputs_.get(key);
    if (auto vector = v.objectAs<CIVector>()) return vector;
    if (v.isArray()) {
        std::vector<CGFloat> values;
        for (const Value& e : *v.arrayPtr()) values.push_back(e.doubleValue());
        return CIVector::vectorWithValues(std::move(values));
    }
    if (v.isNumber()) return CIVector::vectorWithX(v.doubleValue());
    return nullptr;
}

std::shared_ptr<CIColor> CIFilter::colorInput(const std::string& key) const {
    const Value& v = inputs_.get(key);
    if (auto color = v.objectAs<CIColor>()) return color;
    if (auto vector = v.objectAs<CIVector>())
        return CIColor::colorWithRed(vector->X(), vector->Y(), vector->Z(), vector->W());
    return nullptr;
}

std::string CIFilter::description() const {
    return "<CIFilter " + description_->name + ">";
}
