// NSCoder (Numbers): unsigned 64-bit and single-precision numbers by key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/storage/ns_coder.h"

inline void encodeUInt64(NSCoder& coder, std::uint64_t value, std::string key) {
    coder.encodeObject(Value(static_cast<unsigned long long>(value)), std::move(key));
}
inline void encodeFloat(NSCoder& coder, float value, std::string key) {
    coder.encodeObject(Value(value), std::move(key));
}

// A value of another kind (or none) reads as 0; negative numbers read as 0 unsigned.
inline std::uint64_t decodeUInt64ForKey(const NSCoder& coder, std::string_view key) {
    const Value v = coder.decodeObjectForKey(key);
    if (!v.isNumber() || (v.kind() == Value::Kind::Int && v.integerValue() < 0)) return 0;
    return v.unsignedIntegerValue();
}
// Any number read back through single precision.
inline float decodeFloatForKey(const NSCoder& coder, std::string_view key) {
    const Value v = coder.decodeObjectForKey(key);
    return v.isNumber() ? v.floatValue() : 0.0f;
}
