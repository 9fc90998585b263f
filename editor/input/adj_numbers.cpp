#include "editor/input/adj_numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "filter/filter_element.h"

float adjArrayFloat(const Value& array, std::size_t i) {
    const ValueArray* a = array.arrayPtr();
    if (!a || i >= a->size()) return 0;
    const Value& v = (*a)[i];
    if (!v.isNumber()) return 0;
    const double d = v.doubleValue();
    if (!std::isfinite(d)) return 0;
    return static_cast<float>(std::clamp(d, double(-FLT_MAX), double(FLT_MAX)));
}

std::vector<float> adjRecordFloats(const Value& record, std::string_view key, std::size_t n) {
    std::vector<float> out(n, 0);
    const Value& array = record[key];
    for (std::size_t i = 0; i < n; ++i) out[i] = adjArrayFloat(array, i);
    return out;
}

std::size_t adjRecordCount(const Value& record, std::string_view key) {
    const ValueArray* a = record[key].arrayPtr();
    return a ? a->size() : 0;
}

void adjWriteArrayElement(const Value& record, std::size_t i, double v) {
    const ValueArray* a = record["value"].arrayPtr();
    if (!a || i >= a->size()) {
        ValueArray padded = a ? *a : ValueArray{};
        padded.resize(std::max(padded.size(), i + 1), Value(0.0));
        FilterElement::setAttrValueArray(record, padded);
    }
    FilterElement::setAttrValueArrayElement(record, i, v);
}
