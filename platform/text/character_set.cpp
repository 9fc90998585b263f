// NSCharacterSet on ICU's UnicodeSet; the predefined sets are built once and shared.
#include "platform/text/character_set.h"

#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include <string>

#include "platform/runtime/utf16.h"

struct NSCharacterSet::Storage {
    icu::UnicodeSet set;
};

namespace {

std::shared_ptr<const NSCharacterSet::Storage> fromPattern(const char16_t* pattern) {
    auto storage = std::make_shared<NSCharacterSet::Storage>();
    UErrorCode status = U_ZERO_ERROR;
    storage->set.applyPattern(icu::UnicodeString(pattern), status);
    if (U_FAILURE(status)) storage->set.clear();
    storage->set.freeze();
    return storage;
}

// Letters, digits and the URL punctuation every component allows, plus the component's own.
constexpr std::string_view kUrlCommon = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!$&'()*+,=";

}  // namespace

NSCharacterSet NSCharacterSet::whitespaceCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{Zs}\\u0009]"));
    return set;
}

NSCharacterSet NSCharacterSet::whitespaceAndNewlineCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{Z}\\u0009-\\u000D\\u0085]"));
    return set;
}

NSCharacterSet NSCharacterSet::newlineCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\u000A-\\u000D\\u0085\\u2028\\u2029]"));
    return set;
}

NSCharacterSet NSCharacterSet::alphanumericCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{L}\\p{M}\\p{N}]"));
    return set;
}

NSCharacterSet NSCharacterSet::decimalDigitCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{Nd}]"));
    return set;
}

NSCharacterSet NSCharacterSet::letterCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{L}\\p{M}]"));
    return set;
}

NSCharacterSet NSCharacterSet::lowercaseLetterCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{Ll}]"));
    return set;
}

NSCharacterSet NSCharacterSet::uppercaseLetterCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{Lu}\\p{Lt}]"));
    return set;
}

NSCharacterSet NSCharacterSet::punctuationCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{P}]"));
    return set;
}

NSCharacterSet NSCharacterSet::symbolCharacterSet() {
    static const NSCharacterSet set(fromPattern(u"[\\p{S}]"));
    return set;
}

NSCharacterSet NSCharacterSet::URLQueryAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ";:@/?"));
    return set;
}

NSCharacterSet NSCharacterSet::URLFragmentAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ";:@/?"));
    return set;
}

NSCharacterSet NSCharacterSet::URLPathAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ":@/"));
    return set;
}

NSCharacterSet NSCharacterSet::URLHostAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ";:[]"));
    return set;
}

NSCharacterSet NSCharacterSet::URLUserAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ";"));
    return set;
}

NSCharacterSet NSCharacterSet::URLPasswordAllowedCharacterSet() {
    static const NSCharacterSet set(characterSetWithCharactersInString(std::string(kUrlCommon) + ";"));
    return set;
}

NSCharacterSet::NSCharacterSet() {
    static const std::shared_ptr<const Storage> empty = fromPattern(u"[]");
    storage_ = empty;
}

NSCharacterSet NSCharacterSet::characterSetWithCharactersInString(std::string_view text) {
    auto storage = std::make_shared<Storage>();
    std::u16string units = toUtf16(text);
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        storage->set.add(static_cast<UChar32>(c));
    }
    storage->set.freeze();
    return NSCharacterSet(storage);
}

NSCharacterSet NSCharacterSet::characterSetWithRange(char32_t first, char32_t last) {
    auto storage = std::make_shared<Storage>();
    if (first <= last && first <= 0x10FFFF) {
        storage->set.add(static_cast<UChar32>(first), static_cast<UChar32>(last > 0x10FFFF ? 0x10FFFF : last));
    }
    storage->set.freeze();
    return NSCharacterSet(storage);
}

NSCharacterSet NSCharacterSet::invertedSet() const {
    auto storage = std::make_shared<Storage>();
    storage->set.addAll(storage_->set);
    storage->set.complement();
    storage->set.freeze();
    return NSCharacterSet(storage);
}

NSCharacterSet NSCharacterSet::unionWith(const NSCharacterSet& other) const {
    auto storage = std::make_shared<Storage>();
    storage->set.addAll(storage_->set);
    storage->set.addAll(other.storage_->set);
    storage->set.freeze();
    return NSCharacterSet(storage);
}

bool NSCharacterSet::longCharacterIsMember(char32_t codePoint) const {
    return codePoint <= 0x10FFFF && storage_->set.contains(static_cast<UChar32>(codePoint));
}
