// FilterPresetBase: descriptions from a filter category or from a JSON file in the bundle.
#pragma once

#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class FilterPresetBase : public NSObject {
public:
    // A description {"name": ...} per filter the platform lists in the category, in its order.
    static Value descFromCategory(const std::string& category);
    // The bundle resource parsed as JSON when it is an array; null for a missing file, text that
    // is not UTF-8 or JSON that is not an array.
    static Value descsFromBundle(const std::string& name, const std::string& type);

    std::string className() const override { return "FilterPresetBase"; }

protected:
    FilterPresetBase() = default;
};
