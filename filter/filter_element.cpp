// The element's life: made from a description, copied over shared records, caches dropped.
#include "filter/filter_element.h"

#include "platform/image/ci_filter.h"

bool FilterElement::initWithDesc(const Value& desc) {
    desc_ = desc;
    loadAllAttrs();
    return !attrs_.isNull();
}

void FilterElement::initWithFilterElement(const FilterElement& source) {
    desc_ = source.desc_.deepCopy();
    attrs_ = source.copyAllAttrs();
}

void FilterElement::loadAllAttrs() {
    attrs_ = loadAttrs0(desc_);
}

namespace {
// Trees nest through image records; a tree that holds itself is refused when loaded, and this
// bound keeps a hand-made cycle from recursing without end.
constexpr int kMaxTreeDepth = 64;

void dropCaches(const Value& records, int depth) {
    ValueDictionary* dict = records.dictionaryPtr();
    if (!dict || depth > kMaxTreeDepth) return;
    for (const auto& [key, record] : *dict) {
        if (ValueDictionary* r = record.dictionaryPtr()) {
            r->remove("instanceData");
            const Value& v = record["value"];
            if (record["type"].stringValue() == "CIImage" && v.isDictionary()) dropCaches(v["value"], depth + 1);
        }
    }
}
}  // namespace

void FilterElement::copyAllAttrs0(const Value& records) {
    dropCaches(records, 0);
}

Value FilterElement::copyAllAttrs() const {
    ValueDictionary* top = attrs_.dictionaryPtr();
    if (!top) return {};
    copyAllAttrs0(attrs_["value"]);
    return Value(ValueDictionary(*top));
}

const std::string& FilterElement::kCIAttributeDescription() {
    if (descriptionKey_.empty()) descriptionKey_ = ::kCIAttributeDescription;
    return descriptionKey_;
}

std::string dispName(const CIFilter& filter) {
    return filter.attributes().get(kCIAttributeFilterDisplayName).stringValue();
}
