// Reading an attribute record for an editor. Records come from stored presets and filter
// descriptions, so a key may be missing or hold anything: only a finite number is read as such,
// everything else (missing, a string, an array, NaN, an infinity) reads as 0.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/value.h"

float adjRecordFloat(const Value& record, std::string_view key);
// True for a finite non-zero number (a bool included).
bool adjRecordBool(const Value& record, std::string_view key);
// Whether the record holds the key at all, whatever its value.
bool adjRecordHas(const Value& record, std::string_view key);
// The record's display name in upper case, the title of its editor.
std::string adjRecordTitle(const Value& record);
