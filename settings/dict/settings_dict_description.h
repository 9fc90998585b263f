// Reading a settings description: the sections of row dictionaries under "arr" and the header
// titles under "secLabels", each value checked for its kind. A value of the wrong kind is logged
// and read as absent, so that what can be built still is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/value.h"

namespace settings_dict {

// The sections of "arr" (each an array of row dictionaries); a section that is no array is an
// empty one, so later sections keep their positions.
std::vector<ValueArray> sections(const Value& description);
// The header title of a section: its "secLabels" entry when it is text, else "".
std::string sectionLabel(const Value& description, std::size_t section);
// All rows of all sections, whatever their type.
std::size_t rowCount(const Value& description);

// Typed reads of a row's keys; none when absent or of the wrong kind (which is logged).
std::optional<std::string> text(const Value& row, const char* key);
// A number, or text read as one (logged); none for other kinds.
std::optional<double> number(const Value& row, const char* key);
// A height that can be used: a finite number of at least 0.
std::optional<double> height(const Value& row);
// A list of texts (entries of other kinds are left out).
std::vector<std::string> texts(const Value& row, const char* key);
bool flag(const Value& row, const char* key, bool absent);

}  // namespace settings_dict
