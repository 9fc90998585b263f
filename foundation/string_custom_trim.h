// Cleaning and trimming text: symbol removal, blank trimming, sentence joining, word casing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text without its composed characters that are one-unit symbols, except the listed ones.
std::string removeAllSymbols(std::string_view text, const std::vector<std::string>& exceptions);
// The text without white space and line breaks at either end.
std::string trim(std::string_view text);
// Whether the unit at the UTF-16 index is a carriage return, line feed, blank or tab (or "-").
bool isBlankedChar(std::string_view text, std::size_t index);
bool isBlankedCharOrDash(std::string_view text, std::size_t index);
// The text without leading (trailing) blank-class units.
std::string trimFirst(std::string_view text, bool dashesAreBlanks);
std::string trimLast(std::string_view text, bool dashesAreBlanks);
// Appends a blank when the receiver is not empty, then the trimmed sentence.
void appendSentence(std::string& receiver, std::string_view sentence);
// A capitalised word ("Hello") lower-cased; acronyms and other texts unchanged.
std::string arrangeWord0(std::string_view text);
inline std::string arrangeWord(std::string_view text) {
    return arrangeWord0(trim(text));
}
