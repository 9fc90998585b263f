// JSON to and from Value.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

enum NSJSONWritingOptions : unsigned {
    NSJSONWritingCompact = 0,
    NSJSONWritingPrettyPrinted = 1u << 0,
    NSJSONWritingSortedKeys = 1u << 1,
};

// Reading accepts any value at the top (fragments). Integers become Int, or UInt when they do
// not fit a signed 64-bit integer; numbers with a fraction or exponent become Double. Nesting
// deeper than maxDepth fails. Writing accepts null, bools, numbers, strings, arrays and
// dictionaries; NaN, infinities, data, dates, sets, objects and invalid UTF-8 fail.
class NSJSONSerialization {
public:
    static constexpr int maxDepth = 512;

    static Result<Value> JSONObjectWithData(const Bytes& data);
    static Result<Value> JSONObjectWithString(std::string_view text);
    static Result<Bytes> dataWithJSONObject(const Value& value, unsigned options = NSJSONWritingCompact);
    static Result<std::string> stringWithJSONObject(const Value& value, unsigned options = NSJSONWritingCompact);
    static bool isValidJSONObject(const Value& value);
};
