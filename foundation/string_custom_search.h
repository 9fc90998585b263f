// Searching inside text: localised equality, text between markers, unit and case-insensitive search.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/range.h"

// Equal by the device locale's comparison.
bool isEqualToString2(std::string_view text, std::string_view other);
// The text between the first start marker and the first end marker after it.
std::optional<std::string> getBetweenText(std::string_view text, std::string_view start, std::string_view end);
// The UTF-16 index of the first unit equal to the given one at or after the start; NSNotFound when absent.
std::size_t indexOf(std::string_view text, char16_t unit, std::size_t startIndex);
// The UTF-16 ranges of all non-overlapping occurrences, ignoring case, left to right.
std::vector<NSRange> allRangesOfString(std::string_view text, std::string_view needle);
