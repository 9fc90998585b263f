// Code 128 symbols: the bar pattern of a message.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Modules of the symbol left to right (true: bar), start to stop; none for bytes above 127.
// Runs of four or more digits use code set C, control characters code set A, the rest B.
std::optional<std::vector<bool>> encodeCode128(const std::vector<std::uint8_t>& message);
