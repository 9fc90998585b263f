// Word and composed-character (grapheme cluster) boundaries, in UTF-16 units.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/range.h"

// The words the platform's word enumeration finds: runs of letters, digits, kana or ideographs,
// without the blanks and punctuation between them.
std::vector<NSRange> wordRanges(std::u16string_view text);
std::vector<std::string> wordsInString(std::string_view text);

// Every composed character sequence (user-perceived character) of the text, in order.
std::vector<NSRange> composedCharacterRanges(std::u16string_view text);
// The composed character sequence that holds the unit at the index; {NSNotFound, 0} past the end.
NSRange rangeOfComposedCharacterSequenceAtIndex(std::u16string_view text, std::size_t index);
