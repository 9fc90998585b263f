// QR code symbols (byte mode, versions 1 to 40, all four error correction levels).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/image/filters/generator/module_image.h"

enum class QRCorrection { L, M, Q, H };

// The smallest symbol that holds the message at the level, with the mask of least penalty;
// none when the message is too long for version 40.
std::optional<ModuleMatrix> encodeQR(const std::vector<std::uint8_t>& message, QRCorrection level);
