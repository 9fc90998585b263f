// Property-list dates in XML: ISO 8601 text to and from seconds since 2001-01-01 UTC.
#pragma once

#include <optional>
#include <string>

namespace storage_detail {

// "YYYY-MM-DDTHH:MM:SSZ", whole seconds (rounded down); none for non-finite or absurd dates.
std::optional<std::string> formatPlistDate(double seconds);
std::optional<double> parsePlistDate(const std::string& text);

}  // namespace storage_detail
