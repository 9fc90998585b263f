// Published facts about each platform filter: inputs, classes, types, defaults and ranges.
#pragma once

#include <cstddef>
#include <span>

enum class FactKind { None, Number, Vector, String };

// One attribute value; vectors also carry colours (4), transforms (6) and decoded data (floats).
struct Fact {
    FactKind kind = FactKind::None;
    double number = 0;
    const double* values = nullptr;
    std::size_t count = 0;
    const char* text = nullptr;
};

struct FactInput {
    const char* key;
    const char* attributeClass;
    const char* attributeType;  // null when the filter gives no type
    Fact defaultValue, min, max, sliderMin, sliderMax, identity;
    const char* displayName;  // null when unknown
};

struct FilterFacts {
    const char* name;
    const char* displayName;
    std::span<const char* const> categories;
    const char* availableIOS;
    const char* availableMac;
    std::span<const FactInput> inputs;
};

// Every filter the application names, in a stable order.
std::span<const FilterFacts> filterFacts();
