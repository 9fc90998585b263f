// UTF-16 code-unit views of UTF-8 text: lengths, indices, ranges and substrings counted the way
// the platform's strings count them (a character outside the BMP is two units).
//
// Invalid UTF-8 is never an error: each ill-formed sequence (its longest valid-looking prefix, or
// one stray byte) reads as one U+FFFD, one unit, and every function agrees on that reading.
// Text produced here is always valid UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/range.h"

// Number of UTF-16 units of the text (NSString length).
std::size_t utf16Length(std::string_view utf8);

// Conversions. Lone surrogates in UTF-16 and ill-formed UTF-8 become U+FFFD.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);
// One UTF-16 unit or one code point as UTF-8 ("%C"); a lone surrogate gives U+FFFD.
std::string utf8FromUnit(char16_t unit);
std::string utf8FromCodePoint(char32_t codePoint);

// The unit at a UTF-16 index (characterAtIndex:); none when the index is past the end.
std::optional<char16_t> utf16CharacterAt(std::string_view utf8, std::size_t index);

// Offset conversions. A byte offset inside a multi-byte sequence counts from that sequence's start;
// a unit offset between the two halves of a surrogate pair maps to the pair's first byte.
// Offsets past the end are clamped to the end.
std::size_t utf16OffsetFromByteOffset(std::string_view utf8, std::size_t byteOffset);
std::size_t byteOffsetFromUtf16Offset(std::string_view utf8, std::size_t unitOffset);

// Substrings by UTF-16 range (substringWithRange:, substringFromIndex:, substringToIndex:).
// The range is clamped to the text; a half surrogate pair at either edge becomes U+FFFD.
std::string utf16Substring(std::string_view utf8, NSRange range);
std::string utf16SubstringFrom(std::string_view utf8, std::size_t index);
std::string utf16SubstringTo(std::string_view utf8, std::size_t index);

// Literal search in UTF-16 units (rangeOfString:); {NSNotFound, 0} when absent or needle empty.
NSRange utf16RangeOf(std::string_view haystack, std::string_view needle, std::size_t fromIndex = 0);

// The text with every ill-formed sequence replaced by U+FFFD (unchanged when already valid).
std::string sanitizedUtf8(std::string_view utf8);
bool isValidUtf8(std::string_view utf8);
