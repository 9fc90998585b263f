// Case mapping on ICU with the root locale, so that the device language never changes the result.
#include "platform/text/case_mapping.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "platform/runtime/utf16.h"

std::u16string lowercaseUtf16(std::u16string_view text) {
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return std::u16string(text);
    icu::UnicodeString s(text.data(), static_cast<int32_t>(text.size()));
    s.toLower(icu::Locale::getRoot());
    return std::u16string(s.getBuffer(), static_cast<std::size_t>(s.length()));
}

std::string lowercaseString(std::string_view text) {
    return fromUtf16(lowercaseUtf16(toUtf16(text)));
}

std::string uppercaseString(std::string_view text) {
    std::u16string units = toUtf16(text);
    if (units.size() > static_cast<std::size_t>(INT32_MAX)) return std::string(text);
    icu::UnicodeString s(units.data(), static_cast<int32_t>(units.size()));
    s.toUpper(icu::Locale::getRoot());
    return fromUtf16(std::u16string_view(s.getBuffer(), static_cast<std::size_t>(s.length())));
}

char16_t foldedUnit(char16_t unit) {
    // Surrogate halves fold to themselves; a BMP character folds within the BMP.
    if (unit >= 0xD800 && unit <= 0xDFFF) return unit;
    UChar32 folded = u_foldCase(unit, U_FOLD_CASE_DEFAULT);
    return folded <= 0xFFFF ? static_cast<char16_t>(folded) : unit;
}
