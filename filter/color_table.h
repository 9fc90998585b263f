// Colour tables: the data of colour-cube and colour-curve inputs (records of type "NSData.NSArray").
//
// A record holds its table in one of two forms:
// - entries: an array of [red, green, blue, alpha] number arrays, what descriptions give and what
//   the editors write;
// - packed: a data value of native 32-bit floats, four to an entry (16 bytes), red fastest: the
//   filter's own layout. The catalogue's cubes are loaded packed, a twelfth of the memory of their
//   entries (each entry an array of four values), shared by every copy of the record and handed
//   to the filter as they are.
// Whatever reads a table goes through these functions, so both forms read alike. A data value
// that is not a whole number of entries is no table. Pure functions, thread-safe.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/runtime/value.h"

// The packed form of (red, green, blue, alpha) entries.
Value packedColorTable(const std::vector<std::array<float, 4>>& entries);
// Whether the value is a packed table: data of one or more whole entries.
bool isPackedColorTable(const Value& table);
// The number of entries of a table in either form; 0 for any other value.
std::size_t colorTableCount(const Value& table);
// Entry i: as stored for entries, four floats for a packed table; null outside the table.
Value colorTableEntry(const Value& table, std::size_t index);
// The table as entries (a new array; a packed one unpacked into floats); none for any other value.
std::optional<ValueArray> colorTableEntries(const Value& table);
// The filter's data of a table: the first n³ entries, n the largest cube side the count holds
// (entries as nsdata_colorArray packs them; a packed table of a whole cube is given as it is,
// sharing its bytes). Null for an empty table or any other value.
Value colorTableData(const Value& table);
