// Character classes of UTF-16 units (symbol, digit, script) and the text tests built on them.
#pragma once

#include <string_view>

// The symbol class that breaks search tokens: controls, ASCII and Latin-1 punctuation, modifier
// and combining marks, general punctuation to dingbats, braille, CJK punctuation, surrogates,
// private use and presentation forms.
bool isSymbolChar(char16_t unit);
// "0" to "9" only.
bool isNumberChar(char16_t unit);
// A digit, "$", or the units 009C and 009D.
bool isNumberDisplay(char16_t unit);
bool is_ja(char16_t unit);
bool is_ko(char16_t unit);
bool is_zh(char16_t unit);

bool isSymbolOneCharacter(std::string_view text);
bool isNumberOneCharacter(std::string_view text);
// Every composed character is a one-unit symbol (true for an empty text).
bool isAllSymbols(std::string_view text);
bool isNumberString(std::string_view text);
bool isNumberExist(std::string_view text);
inline bool hasNumber(std::string_view text) {
    return isNumberExist(text);
}
bool hasSymbol(std::string_view text);
bool hasSymbolOrNumber(std::string_view text);
// Exactly one ASCII letter.
bool isAlphabet(std::string_view text);
// A combining diacritical mark (0300-036F) right after a Japanese, Korean or Chinese unit.
bool isBinaryData(std::string_view text);
