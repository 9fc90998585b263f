// Keyed archives: Value graphs stored as binary property lists in the platform's archive shape.
#pragma once

#include <string>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// Writes null, numbers, strings, data, dates, arrays, dictionaries and sets. A container that
// appears twice is stored once and read back as one shared container. Objects and cycles of
// containers cannot be archived: writing fails.
class NSKeyedArchiver {
public:
    static Result<Bytes> archivedDataWithRootObject(const Value& root);
    // Atomic write.
    static Result<void> archiveRootObject(const Value& root, const std::string& path);
};

// A truncated, garbage or wrongly shaped archive gives a failure, never a partial value.
// Floats written as 4-byte reals come back as Float.
class NSKeyedUnarchiver {
public:
    static Result<Value> unarchiveObjectWithData(const Bytes& data);
    static Result<Value> unarchiveObjectWithFile(const std::string& path);
};
