// Character classes by range comparisons, and the text tests that use them.
#include "foundation/string_custom_classes.h"

#include <algorithm>
#include <string>

#include "platform/runtime/utf16.h"
#include "platform/text/text_breaks.h"

namespace {

bool in(char16_t c, char16_t lo, char16_t hi) {
    return c >= lo && c <= hi;
}

}  // namespace

bool isSymbolChar(char16_t c) {
    if (c < 0x30) return true;
    if (in(c, 0x3A, 0x40) || in(c, 0x5B, 0x60) || in(c, 0x7B, 0x89)) return true;
    // C1 controls, except the seven units that read as letters in Windows-1252.
    if (c == 0x8B || c == 0x8D || in(c, 0x8F, 0x99) || c == 0x9B || c == 0x9D) return true;
    return in(c, 0xA0, 0xBF) || in(c, 0x250, 0x36F) || in(c, 0x2000, 0x27BF) || in(c, 0x2800, 0x28FF) ||
           in(c, 0x2FF0, 0x303F) || in(c, 0x3200, 0x33FF) || in(c, 0xD800, 0xF8FF) || in(c, 0xFB00, 0xFB4F) ||
           in(c, 0xFE20, 0xFE4F) || in(c, 0xFE70, 0xFFFD);
}

bool isNumberChar(char16_t c) {
    return in(c, u'0', u'9');
}

bool isNumberDisplay(char16_t c) {
    return isNumberChar(c) || c == u'$' || c == 0x9C || c == 0x9D;
}

bool is_ja(char16_t c) {
    return in(c, 0x2E80, 0x2FD5) || in(c, 0x3041, 0x3096) || in(c, 0x30A0, 0x30FF) || in(c, 0x3400, 0x4DB5) ||
           in(c, 0x4E00, 0x9FCB) || in(c, 0xF900, 0xFA6A);
}

bool is_ko(char16_t c) {
    return in(c, 0x3131, 0x3163) || in(c, 0xAC00, 0xD7AF);
}

bool is_zh(char16_t c) {
    return in(c, 0x2E80, 0x2EF3) || in(c, 0x3400, 0x4DB5) || in(c, 0x4E00, 0x9FCC) || in(c, 0xF900, 0xFAD9);
}

bool isSymbolOneCharacter(std::string_view text) {
    std::u16string units = toUtf16(text);
    return units.size() == 1 && isSymbolChar(units[0]);
}

bool isNumberOneCharacter(std::string_view text) {
    std::u16string units = toUtf16(text);
    return units.size() == 1 && isNumberChar(units[0]);
}

bool isAllSymbols(std::string_view text) {
    std::u16string units = toUtf16(text);
    for (NSRange r : composedCharacterRanges(units)) {
        if (r.length != 1 || !isSymbolChar(units[r.location])) return false;
    }
    return true;
}

bool isNumberString(std::string_view text) {
    std::u16string units = toUtf16(text);
    return !units.empty() && std::all_of(units.begin(), units.end(), isNumberChar);
}

bool isNumberExist(std::string_view text) {
    std::u16string units = toUtf16(text);
    return std::any_of(units.begin(), units.end(), isNumberChar);
}

bool hasSymbol(std::string_view text) {
    std::u16string units = toUtf16(text);
    return std::any_of(units.begin(), units.end(), isSymbolChar);
}

bool hasSymbolOrNumber(std::string_view text) {
    std::u16string units = toUtf16(text);
    return std::any_of(units.begin(), units.end(), [](char16_t c) { return isSymbolChar(c) || isNumberChar(c); });
}

bool isAlphabet(std::string_view text) {
    std::u16string units = toUtf16(text);
    return units.size() == 1 && (in(units[0], u'a', u'z') || in(units[0], u'A', u'Z'));
}

bool isBinaryData(std::string_view text) {
    std::u16string units = toUtf16(text);
    for (std::size_t i = 1; i < units.size(); ++i) {
        char16_t previous = units[i - 1];
        if (in(units[i], 0x300, 0x36F) && (is_ja(previous) || is_ko(previous) || is_zh(previous))) return true;
    }
    return false;
}
