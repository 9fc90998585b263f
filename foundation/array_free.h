// General helpers on arrays: membership, JSON, reversal, string filtering and joining.
#pragma once

#include <optional>
#include <string>

#include "platform/runtime/value.h"

// Whether an element is equal to the value (platform equality).
bool isExist(const ValueArray& array, const Value& value);
ValueArray reversed(const ValueArray& array);
// The non-empty strings, in order; none when the value is not an array or is empty.
std::optional<ValueArray> onlyStrings(const Value& array);
// The elements' texts joined, each after one blank whenever the text so far is not empty.
std::string toStringFromStringArray(const ValueArray& array);
