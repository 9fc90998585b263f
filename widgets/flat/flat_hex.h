// Colours from hexadecimal strings ("#RGB", "#RRGGBB", the "#" optional) and back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/draw/color.h"

// None for an empty string or one that is not three or six characters after its "#". Pairs that
// are not hexadecimal read as far as their digits go ("1G" is 1, "GG" is 0). No blanks are trimmed.
std::shared_ptr<UIColor> colorWithHexString(std::string_view hex, CGFloat alpha = 1.0);
// The string read as a hexadecimal number (leading blanks and a "0x" skipped); 0 when nothing
// is read, the largest value when it does not fit.
std::uint32_t hexValueToUnsigned(std::string_view hex);
// "#" and six upper-case digits of a grey or RGB colour, each channel times 255 truncated;
// "#FFFFFF" for any other colour. Alpha is never written.
std::string hexValue(const UIColor& color);
