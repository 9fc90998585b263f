// NSCoder: typed values by key, read from or written to a keyed archive. Objects that come from
// archives (views laid out in a resource, for instance) read their properties through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

// A value of the wrong kind reads as the kind's zero, as an absent key does. Not thread-safe.
class NSCoder {
public:
    NSCoder() = default;
    explicit NSCoder(ValueDictionary values) : values_(std::move(values)) {}
    // A coder over the dictionary at the root of a keyed archive; a failure for a damaged archive
    // or a root that is not a dictionary.
    static Result<NSCoder> decoderWithData(const Bytes& archive);
    // The keyed archive of everything encoded so far.
    Result<Bytes> encodedData() const;

    bool containsValueForKey(std::string_view key) const { return values_.contains(key); }
    void encodeBool(bool value, std::string key) { values_.set(std::move(key), Value(value)); }
    void encodeInteger(std::int64_t value, std::string key) {
        values_.set(std::move(key), Value(static_cast<long long>(value)));
    }
    void encodeDouble(double value, std::string key) { values_.set(std::move(key), Value(value)); }
    // A null value removes the key.
    void encodeObject(Value value, std::string key) { values_.set(std::move(key), std::move(value)); }

    bool decodeBoolForKey(std::string_view key) const;
    std::int64_t decodeIntegerForKey(std::string_view key) const;
    double decodeDoubleForKey(std::string_view key) const;
    // Null when absent.
    Value decodeObjectForKey(std::string_view key) const { return values_.get(key); }

    const ValueDictionary& values() const { return values_; }

private:
    ValueDictionary values_;
};
