// HTML and XML entity encoding and decoding, hexadecimal reading and backslash unescaping.
#include <algorithm>
#include <unordered_map>

#include "foundation/html_entities.h"
#include "foundation/string_custom_escaping.h"
#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/regular_expression.h"

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexDigit(char32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    return -1;
}

// A code point a reference may stand for; 0, surrogates and values past U+10FFFF are not.
bool isWritableCodePoint(std::uint64_t code) {
    return code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

// Reads digits of the base from the start, saturating; none when there is no digit.
template <class Text>
std::optional<std::uint64_t> readNumber(const Text& text, std::size_t from, int base) {
    std::uint64_t value = 0;
    std::size_t i = from;
    for (; i < text.size(); ++i) {
        int d = hexDigit(static_cast<char32_t>(text[i]));
        if (d < 0 || d >= base) break;
        value = value > (UINT64_MAX >> 4) ? UINT64_MAX : value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    if (i == from) return std::nullopt;
    return value;
}

}  // namespace

std::string kv_encodeHTMLCharacterEntities(std::string_view text) {
    std::string out(text);
    replaceAll(out, "&", "&amp;");
    replaceAll(out, "<", "&lt;");
    replaceAll(out, ">", "&gt;");
    return out;
}

std::string kv_decodeHTMLCharacterEntities(std::string_view input) {
    if (input.find('&') == std::string_view::npos) return std::string(input);
    std::string text(input);
    for (std::size_t i = 0; i < kLatin1EntityNames.size(); ++i) {
        if (input.find(kLatin1EntityNames[i]) != std::string_view::npos)
            replaceAll(text, kLatin1EntityNames[i], utf8FromCodePoint(static_cast<char32_t>(0xA0 + i)));
    }
    for (const MarkupEntity& entity : kMarkupEntities) {
        if (input.find(entity.name) != std::string_view::npos)
            replaceAll(text, entity.name, std::string(1, entity.character));
    }
    // Numeric references, left to right; the place of a decoded character is looked at again.
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t start = text.find("&#", p);
        std::size_t semicolon = text.find(';', p);
        if (start == std::string::npos || semicolon == std::string::npos || semicolon < start) {
            ++p;
            continue;
        }
        std::size_t digits = start + 2;
        std::optional<std::uint64_t> code = digits < text.size() && text[digits] == 'x'
                                                ? readNumber(text, digits + 1, 16)
                                                : readNumber(text, digits, 10);
        if (!code || !isWritableCodePoint(*code)) {
            p = start + 1;  // unreadable: left as written
            continue;
        }
        std::string character = utf8FromCodePoint(static_cast<char32_t>(*code));
        text.replace(start, semicolon + 1 - start, character);
        p = start;
    }
    return text;
}

std::string my_unescapeHTML(std::string_view input) {
    static const auto table = [] {
        std::unordered_map<std::u16string, char32_t> exact, folded;
        for (std::size_t i = 0; i < kLatin1EntityNames.size(); ++i) {
            std::u16string name = toUtf16(kLatin1EntityNames[i]);
            exact.emplace(name, static_cast<char32_t>(0xA0 + i));
            folded.emplace(lowercaseUtf16(name), static_cast<char32_t>(0xA0 + i));
        }
        for (const MarkupEntity& entity : kMarkupEntities) {
            exact.emplace(toUtf16(entity.name), static_cast<char32_t>(entity.character));
            folded.emplace(toUtf16(entity.name), static_cast<char32_t>(entity.character));
        }
        return std::pair{exact, folded};
    }();
    static const auto pattern =
        NSRegularExpression::regularExpressionWithPattern("&#?(x?)([a-zA-Z0-9]+);", NSRegularExpressionCaseInsensitive);
    if (!pattern.ok()) return std::string(input);
    std::u16string text = toUtf16(input);
    auto matches = (*pattern)->matchesInUtf16(text, {0, text.size()});
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        NSRange whole = it->range();
        std::u16string reference = text.substr(whole.location, whole.length);
        std::optional<std::uint64_t> code;
        // The name as written first, so that "&Agrave;" keeps its capital; then any case.
        if (auto found = table.first.find(reference); found != table.first.end()) {
            code = found->second;
        } else if (auto folded = table.second.find(lowercaseUtf16(reference)); folded != table.second.end()) {
            code = folded->second;
        } else {
            NSRange marker = it->rangeAtIndex(1), digits = it->rangeAtIndex(2);
            std::u16string number = text.substr(digits.location, digits.length);
            if (marker.length > 0) {
                if (std::all_of(number.begin(), number.end(), [](char16_t c) { return isHexDigit(c); }))
                    code = readNumber(number, 0, 16);
            } else {
                code = readNumber(number, 0, 10);
            }
        }
        if (!code || !isWritableCodePoint(*code)) continue;
        text.replace(whole.location, whole.length, toUtf16(utf8FromCodePoint(static_cast<char32_t>(*code))));
    }
    return fromUtf16(text);
}

std::int64_t integerHexValue(std::string_view text) {
    std::uint64_t value = 0;
    for (char16_t unit : toUtf16(text)) {
        int d = hexDigit(unit);
        value = value * 16 + static_cast<std::uint64_t>(d < 0 ? 0 : d);
    }
    return static_cast<std::int64_t>(value);
}

std::string my_unescapeString(std::string_view input) {
    static const auto pattern =
        NSRegularExpression::regularExpressionWithPattern("\\\\x([0-9a-fA-F]{2})", NSRegularExpressionCaseInsensitive);
    std::u16string text = toUtf16(input);
    if (pattern.ok()) {
        auto matches = (*pattern)->matchesInUtf16(text, {0, text.size()});
        for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
            NSRange digits = it->rangeAtIndex(1);
            auto value = static_cast<char16_t>(integerHexValue(fromUtf16(text.substr(digits.location, digits.length))));
            text.replace(it->range().location, it->range().length, 1, value);
        }
    }
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'\\') ++i;
    }
    return fromUtf16(out);
}

std::string& xmlSimpleEscape(std::string& text) {
    replaceAll(text, "&", "&amp;");
    replaceAll(text, "\"", "&quot;");
    replaceAll(text, "'", "&#x27;");
    replaceAll(text, ">", "&gt;");
    replaceAll(text, "<", "&lt;");
    return text;
}

std::string& xmlSimpleUnescape(std::string& text) {
    replaceAll(text, "&amp;", "&");
    replaceAll(text, "&quot;", "\"");
    replaceAll(text, "&#x27;", "'");
    replaceAll(text, "&#x39;", "9");
    replaceAll(text, "&#x92;", "'");
    replaceAll(text, "&#x96;", "'");
    replaceAll(text, "&gt;", ">");
    replaceAll(text, "&lt;", "<");
    replaceAll(text, "&nbsp;", " ");
    replaceAll(text, "  ", " ");
    return text;
}
