// Comparisons: code-unit order, case-folded order, and ICU collation for the device's locale.
#include "platform/text/string_compare.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/ustring.h>

#include <memory>
#include <mutex>

#include "platform/runtime/utf16.h"

namespace {

NSComparisonResult sign(int value) {
    return value < 0 ? NSOrderedAscending : value > 0 ? NSOrderedDescending : NSOrderedSame;
}

NSComparisonResult collate(std::string_view a, std::string_view b, bool ignoreCase) {
    // A collator is not thread-safe to use; each call clones the shared one, which is cheap.
    static std::once_flag once;
    static std::unique_ptr<icu::Collator> base;
    std::call_once(once, [] {
        UErrorCode status = U_ZERO_ERROR;
        // A "C" or "POSIX" environment maps to en_US_POSIX, whose collation is code-unit order;
        // the platform's locales always collate alphabetically, so that one falls back to root.
        icu::Locale locale = icu::Locale::getDefault();
        if (std::string_view(locale.getVariant()) == "POSIX") locale = icu::Locale::getRoot();
        base.reset(icu::Collator::createInstance(locale, status));
        if (U_FAILURE(status)) base.reset();
    });
    if (!base) return compareStrings(a, b);
    std::unique_ptr<icu::Collator> collator(base->clone());
    UErrorCode status = U_ZERO_ERROR;
    if (ignoreCase) collator->setStrength(icu::Collator::SECONDARY);
    std::u16string ua = toUtf16(a), ub = toUtf16(b);
    if (ua.size() > INT32_MAX || ub.size() > INT32_MAX) return compareStrings(a, b);
    UCollationResult r = collator->compare(ua.data(), static_cast<int32_t>(ua.size()), ub.data(),
                                           static_cast<int32_t>(ub.size()), status);
    if (U_FAILURE(status)) return compareStrings(a, b);
    return sign(r);
}

}  // namespace

NSComparisonResult compareStrings(std::string_view a, std::string_view b) {
    return sign(toUtf16(a).compare(toUtf16(b)));
}

NSComparisonResult caseInsensitiveCompare(std::string_view a, std::string_view b) {
    std::u16string ua = toUtf16(a), ub = toUtf16(b);
    if (ua.size() > INT32_MAX || ub.size() > INT32_MAX) return compareStrings(a, b);
    UErrorCode status = U_ZERO_ERROR;
    int r = u_strCaseCompare(ua.data(), static_cast<int32_t>(ua.size()), ub.data(), static_cast<int32_t>(ub.size()),
                             U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) return compareStrings(a, b);
    return sign(r);
}

NSComparisonResult localizedCompare(std::string_view a, std::string_view b) {
    return collate(a, b, false);
}

NSComparisonResult localizedCaseInsensitiveCompare(std::string_view a, std::string_view b) {
    return collate(a, b, true);
}
