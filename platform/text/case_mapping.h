// Case mapping as the platform's non-localised lowercaseString / uppercaseString do it.
#pragma once

#include <string>
#include <string_view>

std::string lowercaseString(std::string_view text);
std::string uppercaseString(std::string_view text);
std::u16string lowercaseUtf16(std::u16string_view text);
// Simple (one unit to one unit) case folding of a UTF-16 unit, for searches that keep ranges.
char16_t foldedUnit(char16_t unit);
