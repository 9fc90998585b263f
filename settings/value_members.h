// Reading the settings screens' row dictionaries: a member that is missing or not a string reads
// as the empty string.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/value.h"

inline std::string textMember(const Value& dictionary, std::string_view key) {
    if (!dictionary.isDictionary()) return {};
    const Value& value = dictionary[key];
    return value.isString() ? *value.string() : std::string();
}
