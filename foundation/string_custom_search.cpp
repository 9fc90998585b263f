// Text searches in UTF-16 units.
#include "foundation/string_custom_search.h"

#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/text/string_compare.h"

bool isEqualToString2(std::string_view text, std::string_view other) {
    return localizedCompare(text, other) == NSOrderedSame;
}

std::optional<std::string> getBetweenText(std::string_view text, std::string_view start, std::string_view end) {
    if (start.empty() || end.empty()) return std::nullopt;
    std::size_t from = text.find(start);
    if (from == std::string_view::npos) return std::nullopt;
    from += start.size();
    std::size_t to = text.find(end, from);
    if (to == std::string_view::npos) return std::nullopt;
    return std::string(text.substr(from, to - from));
}

std::size_t indexOf(std::string_view text, char16_t unit, std::size_t startIndex) {
    std::u16string units = toUtf16(text);
    std::size_t found = startIndex >= units.size() ? std::u16string::npos : units.find(unit, startIndex);
    return found == std::u16string::npos ? NSNotFound : found;
}

std::vector<NSRange> allRangesOfString(std::string_view text, std::string_view needle) {
    std::vector<NSRange> ranges;
    std::u16string haystack = toUtf16(text), pattern = toUtf16(needle);
    if (pattern.empty() || pattern.size() > haystack.size()) return ranges;
    for (char16_t& c : haystack) c = foldedUnit(c);
    for (char16_t& c : pattern) c = foldedUnit(c);
    std::size_t at = 0;
    while ((at = haystack.find(pattern, at)) != std::u16string::npos) {
        ranges.push_back({at, pattern.size()});
        at += pattern.size();
    }
    return ranges;
}
