// The number layout. Groups of digits are cut by the pattern's separators; the digits are laid
// in group by group, with one extra digit on an extra "X" so that a full group already shows the
// separator after it (the extra digit is removed again at the end).
#include "settings/form/form_number_format.h"

#include <vector>

#include "platform/runtime/utf16.h"

std::string form_digitsOnly(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

std::string form_stringWithNumberFormat(std::string_view text, std::string_view pattern) {
    if (text.empty() || pattern.empty()) return std::string(text);
    std::u16string extended = toUtf16(pattern) + u"X";
    std::string digits = form_digitsOnly(std::string(text) + "0");

    std::vector<std::size_t> groups{0};
    std::vector<std::string> separators;
    std::size_t places = 0;
    for (char16_t c : extended) {
        if (c == u'X') {
            ++groups.back();
            ++places;
        } else {
            groups.push_back(0);
            separators.push_back(utf8FromUnit(c));
        }
    }
    if (digits.size() > places) digits.resize(places);

    // The last group that the digits reach (a group of 0 is reached once the digits before it
    // fill the earlier groups) decides how many separators show.
    std::string result = digits;
    std::size_t before = 0;  // digits in the groups before group i
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i > 0 && digits.size() <= before) break;
        if (i > 0) {
            std::string laid;
            std::size_t at = 0;
            for (std::size_t g = 0; g <= i; ++g) {
                std::size_t take = g < i ? groups[g] : digits.size() - at;
                laid += digits.substr(at, take);
                at += take;
                if (g < i) laid += separators[g];
            }
            result = laid;
        }
        before += groups[i];
    }
    // Drop the appended digit (or the digit that fell on the appended "X").
    if (!result.empty()) result = utf16SubstringTo(result, utf16Length(result) - 1);
    return result;
}

std::string form_string(const std::optional<std::string>& text, std::string_view pattern) {
    return text ? form_stringWithNumberFormat(*text, pattern) : std::string();
}

std::string form_unformattedText(std::string_view text, const std::optional<std::string>& pattern) {
    if (!pattern) return form_digitsOnly(text);
    std::string places;
    for (char c : *pattern)
        if ((c >= '0' && c <= '9') || c == 'X') places += c;
    std::string digits = form_digitsOnly(text);
    std::string out;
    for (std::size_t i = 0; i < std::min(places.size(), digits.size()); ++i)
        if (places[i] != digits[i]) out += digits[i];
    return out;
}
