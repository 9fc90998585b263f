// Reading string tables: the bundle's ".strings" files ("key" = "value"; with comments and
// escapes) or a property-list dictionary of strings. Thread-safe.
#pragma once

#include <optional>
#include <string>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// A dictionary of the table's strings; a failure for text that is not a string table.
Result<Value> parseStringsTable(const Bytes& data);
Result<Value> readStringsTable(const std::string& path);
