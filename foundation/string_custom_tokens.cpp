// Tokens, lines, words and index ranges.
#include "foundation/string_custom_tokens.h"

#include <algorithm>
#include <cstdint>

#include "foundation/string_custom_classes.h"
#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/text_breaks.h"

std::optional<std::vector<std::string>> tokens0_block(std::string_view text,
                                                      const std::function<bool(char16_t)>& isSeparator) {
    if (text.empty()) return std::nullopt;
    std::vector<std::string> pieces;
    std::u16string current;
    for (char16_t unit : toUtf16(text)) {
        if (isSeparator(unit)) {
            pieces.push_back(fromUtf16(current));
            current.clear();
        } else {
            current += unit;
        }
    }
    if (!current.empty()) pieces.push_back(fromUtf16(current));
    if (pieces.empty()) return std::nullopt;
    return pieces;
}

std::optional<std::vector<std::string>> tokens0(std::string_view text, const std::vector<std::string>& exceptions) {
    if (text.empty()) return std::nullopt;
    std::u16string kept;
    for (const std::string& exception : exceptions) {
        std::u16string units = toUtf16(exception);
        if (units.size() == 1) kept += units[0];
    }
    auto pieces = tokens0_block(
        text, [&](char16_t unit) { return isSymbolChar(unit) && kept.find(unit) == std::u16string::npos; });
    std::vector<std::string> result;
    if (!pieces) return result;  // only separators: no token
    for (std::string& piece : *pieces) {
        if (piece.empty() || std::find(result.begin(), result.end(), piece) != result.end()) continue;
        result.push_back(std::move(piece));
    }
    return result;
}

std::optional<std::vector<std::string>> lines(std::string_view text) {
    auto pieces = tokens0_block(text, [](char16_t unit) { return unit == u'\n'; });
    if (!text.empty() && text.back() == '\n') {
        if (!pieces) pieces.emplace();
        pieces->emplace_back();
    }
    return pieces;
}

std::vector<std::string> words(std::string_view text) {
    return wordsInString(text);
}

std::vector<std::string> words_lowercaseString(std::string_view text) {
    std::vector<std::string> result = words(text);
    for (std::string& word : result) word = lowercaseString(word);
    return result;
}

std::vector<std::pair<std::string, NSRange>> wordAndIndices(std::string_view text) {
    std::u16string units = toUtf16(text);
    std::vector<std::pair<std::string, NSRange>> result;
    for (NSRange r : wordRanges(units)) {
        result.emplace_back(fromUtf16(std::u16string_view(units).substr(r.location, r.length)), r);
    }
    return result;
}

namespace {

// Reads ASCII digits from position i, saturating at the largest 32-bit signed value.
std::size_t readDigits(std::string_view text, std::size_t& i) {
    std::size_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(text[i] - '0'), INT32_MAX);
        ++i;
    }
    return value;
}

bool isDigitAt(std::string_view text, std::size_t i) {
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace

NSRange parseIndexRange(std::string_view text, NSRange* matched) {
    // Digits, "-" and the positions before them are ASCII, so byte and unit offsets agree.
    std::size_t i = 0;
    NSRange result{NSNotFound, 0};
    if (isDigitAt(text, 0)) {
        std::size_t a = readDigits(text, i);
        if (i < text.size() && text[i] == '-') {
            ++i;
            if (isDigitAt(text, i)) {
                std::size_t b = readDigits(text, i);
                result = {a, b > a ? b - a : 0};
            } else {
                result = {a, INT32_MAX};
            }
        } else {
            result = {a, 0};
        }
    } else if (text.size() > 1 && text[0] == '-' && isDigitAt(text, 1)) {
        i = 1;
        result = {0, readDigits(text, i)};
    } else {
        return result;
    }
    if (matched) *matched = {0, i};
    return result;
}
