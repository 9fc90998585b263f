// General array helpers.
#include "foundation/array_free.h"

#include <algorithm>

bool isExist(const ValueArray& array, const Value& value) {
    return std::any_of(array.begin(), array.end(), [&](const Value& element) { return element.isEqual(value); });
}

ValueArray reversed(const ValueArray& array) {
    return ValueArray(array.rbegin(), array.rend());
}

std::optional<ValueArray> onlyStrings(const Value& array) {
    const ValueArray* items = array.arrayPtr();
    if (!items || items->empty()) return std::nullopt;
    ValueArray strings;
    for (const Value& item : *items) {
        if (item.isString() && !item.string()->empty()) strings.push_back(item);
    }
    return strings;
}

std::string toStringFromStringArray(const ValueArray& array) {
    std::string out;
    for (const Value& element : array) {
        if (!out.empty()) out += ' ';
        out += element.isString() ? *element.string() : element.description();
    }
    return out;
}
