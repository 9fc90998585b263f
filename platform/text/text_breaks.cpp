// Word and grapheme boundaries on ICU's break iterators.
#include "platform/text/text_breaks.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/ubrk.h>
#include <unicode/unistr.h>

#include <memory>

#include "platform/runtime/utf16.h"

namespace {

enum class BreakKind { Word, Character };

std::unique_ptr<icu::BreakIterator> makeIterator(BreakKind kind, const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        kind == BreakKind::Word ? icu::BreakIterator::createWordInstance(icu::Locale::getDefault(), status)
                                : icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) return nullptr;
    it->setText(text);
    return it;
}

}  // namespace

std::vector<NSRange> wordRanges(std::u16string_view text) {
    std::vector<NSRange> ranges;
    if (text.empty() || text.size() > static_cast<std::size_t>(INT32_MAX)) return ranges;
    icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    auto it = makeIterator(BreakKind::Word, source);
    if (!it) return ranges;
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
        if (it->getRuleStatus() != UBRK_WORD_NONE) {
            ranges.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)});
        }
    }
    return ranges;
}

std::vector<std::string> wordsInString(std::string_view text) {
    std::u16string units = toUtf16(text);
    std::vector<std::string> words;
    for (NSRange r : wordRanges(units))
        words.push_back(fromUtf16(std::u16string_view(units).substr(r.location, r.length)));
    return words;
}

std::vector<NSRange> composedCharacterRanges(std::u16string_view text) {
    std::vector<NSRange> ranges;
    if (text.empty() || text.size() > static_cast<std::size_t>(INT32_MAX)) return ranges;
    icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    auto it = makeIterator(BreakKind::Character, source);
    if (!it) return ranges;
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
        ranges.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)});
    }
    return ranges;
}

NSRange rangeOfComposedCharacterSequenceAtIndex(std::u16string_view text, std::size_t index) {
    // Walked from the start: ICU moves an offset inside a surrogate pair before it looks back.
    if (index >= text.size()) return {NSNotFound, 0};
    for (NSRange r : composedCharacterRanges(text)) {
        if (NSLocationInRange(index, r)) return r;
    }
    return {index, 1};
}
