// The registry of filters by name: published facts, attribute dictionaries and implementations.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image/filters/filter_facts.h"
#include "platform/runtime/value.h"

class CIFilter;
struct FilterDescription;

// Makes the filter object of an implemented filter.
using FilterFactory = std::shared_ptr<CIFilter> (*)(const FilterDescription&);

struct FilterDescription {
    const FilterFacts* facts = nullptr;
    std::string name;
    std::vector<std::string> inputKeys;
    FilterFactory factory = nullptr;  // null: registered, output comes in a later version

    const FactInput* input(std::string_view key) const;
    // The attribute dictionary (a new one on every call).
    ValueDictionary attributes() const;
    // The platform default of an input in its object form; null when there is none.
    Value defaultValue(const FactInput& input) const;
};

class FilterRegistry {
public:
    static const FilterRegistry& shared();
    const FilterDescription* find(std::string_view name) const;
    const std::vector<FilterDescription>& all() const { return filters_; }

private:
    FilterRegistry();
    std::vector<FilterDescription> filters_;
};

// A fact in the object form an input of the given class takes (number, CIVector, CIColor, ...).
Value factValue(const Fact& fact, std::string_view attributeClass);

// Implemented filters by name (filters/implemented.cpp).
FilterFactory implementedFilter(std::string_view name);
