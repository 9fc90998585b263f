// Aztec symbols: compact (1 to 4 layers) and full-range (1 to 32 layers), data in byte mode.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/image/filters/generator/module_image.h"

struct AztecOptions {
    int correctionPercent = 23;  // check words as a share of the data, 5...95
    int layers = 0;              // 0: the smallest that fits
    int compact = -1;            // -1: either; 0: full-range only; 1: compact only
};

// None for an empty message, options out of range, or a message that does not fit.
std::optional<ModuleMatrix> encodeAztec(const std::vector<std::uint8_t>& message, const AztecOptions& options);
