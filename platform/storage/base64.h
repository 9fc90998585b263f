// Base64 for XML property lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/value.h"

namespace storage_detail {

std::string base64Encode(const Bytes& data);
// Skips whitespace; none on any other character outside the alphabet or bad padding.
std::optional<Bytes> base64Decode(std::string_view text);

}  // namespace storage_detail
