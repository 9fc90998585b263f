// Splitting text into search tokens, lines, words and index ranges.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime/range.h"

// The pieces between units the predicate calls separators (the last piece only when not
// empty); none for an empty text or when no piece results.
std::optional<std::vector<std::string>> tokens0_block(std::string_view text,
                                                      const std::function<bool(char16_t)>& isSeparator);
// Distinct non-empty pieces between symbol units, in order of first appearance; units in the
// exceptions (one-character strings) do not separate. None for an empty text.
std::optional<std::vector<std::string>> tokens0(std::string_view text, const std::vector<std::string>& exceptions = {});
inline std::optional<std::vector<std::string>> tokens(std::string_view text) {
    return tokens0(text);
}
// The lines between line feeds, with an empty last line after a final line feed; none when empty.
std::optional<std::vector<std::string>> lines(std::string_view text);
std::vector<std::string> words(std::string_view text);
std::vector<std::string> words_lowercaseString(std::string_view text);
// Each word with its range in UTF-16 units.
std::vector<std::pair<std::string, NSRange>> wordAndIndices(std::string_view text);
// "a-b", "a-", "-b" or "a" at the start of the text as (location, length); the range of the text
// read goes to matched. {NSNotFound, 0} when none fits. A range that ends before it starts is empty.
NSRange parseIndexRange(std::string_view text, NSRange* matched);
