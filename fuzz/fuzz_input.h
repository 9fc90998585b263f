// The bytes a fuzz target is handed, as the readers take them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/runtime/value.h"

inline Bytes fuzzBytes(const std::uint8_t* data, std::size_t size) {
    return Bytes(data, data + size);
}

inline std::string_view fuzzText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}
