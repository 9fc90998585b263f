// Editing UTF-8 text by UTF-16 ranges, as keyboard input and the text delegates count.
#pragma once

#include <optional>
#include <string>

#include "platform/runtime/range.h"

// The text with the range replaced, or none when the range leaves the text or splits a
// character encoded as a surrogate pair.
std::optional<std::string> replaceUtf16Range(const std::string& text, NSRange range, const std::string& replacement);
// The range that one backspace at the end removes (a whole character); empty for empty text.
NSRange lastCharacterRange(const std::string& text);
