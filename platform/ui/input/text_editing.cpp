// UTF-16 range editing over UTF-8 strings.
#include "platform/ui/input/text_editing.h"

#include "platform/runtime/utf16.h"

std::optional<std::string> replaceUtf16Range(const std::string& text, NSRange range, const std::string& replacement) {
    std::u16string units = toUtf16(text);
    if (range.location > units.size() || range.length > units.size() - range.location) return std::nullopt;
    auto isLow = [&](std::size_t i) { return i < units.size() && units[i] >= 0xDC00 && units[i] <= 0xDFFF; };
    if (isLow(range.location) || isLow(range.location + range.length)) return std::nullopt;
    std::u16string out =
        units.substr(0, range.location) + toUtf16(replacement) + units.substr(range.location + range.length);
    return fromUtf16(out);
}

NSRange lastCharacterRange(const std::string& text) {
    std::u16string units = toUtf16(text);
    if (units.empty()) return {0, 0};
    std::size_t n = units.size();
    bool pair =
        n >= 2 && units[n - 1] >= 0xDC00 && units[n - 1] <= 0xDFFF && units[n - 2] >= 0xD800 && units[n - 2] <= 0xDBFF;
    return pair ? NSRange{n - 2, 2} : NSRange{n - 1, 1};
}
