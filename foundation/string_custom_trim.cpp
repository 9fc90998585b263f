// Symbol removal, trimming and word casing.
#include "foundation/string_custom_trim.h"

#include <algorithm>

#include "foundation/string_custom_classes.h"
#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/string_character_sets.h"
#include "platform/text/text_breaks.h"

namespace {

bool isBlankUnit(char16_t c, bool dashes) {
    return c == u'\r' || c == u'\n' || c == u' ' || c == u'\t' || (dashes && c == u'-');
}

}  // namespace

std::string removeAllSymbols(std::string_view text, const std::vector<std::string>& exceptions) {
    std::u16string units = toUtf16(text);
    std::u16string out;
    for (NSRange r : composedCharacterRanges(units)) {
        std::u16string_view character = std::u16string_view(units).substr(r.location, r.length);
        bool symbol = r.length == 1 && isSymbolChar(character[0]);
        if (symbol && std::find(exceptions.begin(), exceptions.end(), fromUtf16(character)) == exceptions.end())
            continue;
        out += character;
    }
    return fromUtf16(out);
}

std::string trim(std::string_view text) {
    return stringByTrimmingCharactersInSet(text, NSCharacterSet::whitespaceAndNewlineCharacterSet());
}

bool isBlankedChar(std::string_view text, std::size_t index) {
    auto unit = utf16CharacterAt(text, index);
    return unit && isBlankUnit(*unit, false);
}

bool isBlankedCharOrDash(std::string_view text, std::size_t index) {
    auto unit = utf16CharacterAt(text, index);
    return unit && isBlankUnit(*unit, true);
}

// Blank-class units are ASCII, so trimming can work on bytes without splitting a character.
std::string trimFirst(std::string_view text, bool dashesAreBlanks) {
    std::size_t start = 0;
    while (start < text.size() && isBlankUnit(static_cast<unsigned char>(text[start]), dashesAreBlanks)) ++start;
    return std::string(text.substr(start));
}

std::string trimLast(std::string_view text, bool dashesAreBlanks) {
    std::size_t end = text.size();
    while (end > 0 && isBlankUnit(static_cast<unsigned char>(text[end - 1]), dashesAreBlanks)) --end;
    return std::string(text.substr(0, end));
}

void appendSentence(std::string& receiver, std::string_view sentence) {
    if (!receiver.empty()) receiver += ' ';
    receiver += trim(sentence);
}

std::string arrangeWord0(std::string_view text) {
    bool capitalised = text.size() >= 2 && text[0] >= 'A' && text[0] <= 'Z' && text[1] >= 'a' && text[1] <= 'z';
    return capitalised ? lowercaseString(text) : std::string(text);
}
