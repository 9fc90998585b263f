// String operations driven by character sets: trimming, splitting and percent escapes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/character_set.h"

// The text without members of the set at either end (stringByTrimmingCharactersInSet:).
std::string stringByTrimmingCharactersInSet(std::string_view text, const NSCharacterSet& set);
// The pieces between members of the set, empty pieces included (componentsSeparatedByCharactersInSet:).
std::vector<std::string> componentsSeparatedByCharactersInSet(std::string_view text, const NSCharacterSet& set);
// Every character outside the allowed set written as "%XX" escapes of its UTF-8 bytes (upper-case hex).
std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view text, const NSCharacterSet& allowed);
// Percent escapes turned back into bytes; none when an escape is malformed ("%" without two hex
// digits) or the bytes do not form valid UTF-8.
std::optional<std::string> stringByRemovingPercentEncoding(std::string_view text);
