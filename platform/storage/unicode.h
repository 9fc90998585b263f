// UTF-8 / UTF-16 conversions the storage formats need (binary property lists, JSON).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace storage_detail {

bool isValidUtf8(std::string_view text);
// None when the text is not valid UTF-8.
std::optional<std::u16string> utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);
void appendUtf8(std::string& out, char32_t code);

}  // namespace storage_detail
