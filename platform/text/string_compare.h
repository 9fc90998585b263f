// String comparison: literal, case-insensitive in the platform's order, and locale-aware.
#pragma once

#include <string_view>

enum NSComparisonResult : int { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };

// Compares by UTF-16 units (compare:).
NSComparisonResult compareStrings(std::string_view a, std::string_view b);
// Compares the case-folded texts by UTF-16 units (caseInsensitiveCompare:), so "a" < "B" < "c".
NSComparisonResult caseInsensitiveCompare(std::string_view a, std::string_view b);
// Compares with the collation of the device's locale (localizedCompare:).
NSComparisonResult localizedCompare(std::string_view a, std::string_view b);
// The same, ignoring case (localizedCaseInsensitiveCompare:).
NSComparisonResult localizedCaseInsensitiveCompare(std::string_view a, std::string_view b);
