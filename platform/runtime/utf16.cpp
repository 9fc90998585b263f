// UTF-16 unit arithmetic over UTF-8 text, decoding with ICU's UTF-8 macros.
#include "platform/runtime/utf16.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One decoded code point and the bytes it came from; `valid` is false for an ill-formed sequence,
// which reads as U+FFFD.
struct Decoded {
    char32_t codePoint;
    std::size_t begin;
    std::size_t end;
    bool valid;
    std::size_t units() const { return codePoint > 0xFFFF ? 2 : 1; }
};

// Calls f(Decoded) for every code point until f returns false.
template <class F>
void forEachCodePoint(std::string_view s, F&& f) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    const auto length = static_cast<int32_t>(std::min<std::size_t>(s.size(), INT32_MAX));
    int32_t i = 0;
    while (i < length) {
        int32_t begin = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        Decoded d{c < 0 ? kReplacement : static_cast<char32_t>(c), static_cast<std::size_t>(begin),
                  static_cast<std::size_t>(i), c >= 0};
        if (!f(d)) return;
    }
}

void appendCodePoint(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    uint8_t buffer[4];
    int32_t n = 0;
    U8_APPEND_UNSAFE(buffer, n, cp);
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

void appendDecoded(std::string& out, std::string_view s, const Decoded& d) {
    if (d.valid)
        out.append(s.substr(d.begin, d.end - d.begin));
    else
        appendCodePoint(out, kReplacement);
}

}  // namespace

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    forEachCodePoint(utf8, [&](const Decoded& d) {
        units += d.units();
        return true;
    });
    return units;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    forEachCodePoint(utf8, [&](const Decoded& d) {
        if (d.codePoint > 0xFFFF) {
            out.push_back(static_cast<char16_t>(U16_LEAD(d.codePoint)));
            out.push_back(static_cast<char16_t>(U16_TRAIL(d.codePoint)));
        } else {
            out.push_back(static_cast<char16_t>(d.codePoint));
        }
        return true;
    });
    return out;
}

std::string fromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    const auto length = static_cast<int32_t>(std::min<std::size_t>(utf16.size(), INT32_MAX));
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U16_NEXT(utf16.data(), i, length, c);
        appendCodePoint(out, U_IS_SURROGATE(c) ? kReplacement : static_cast<char32_t>(c));
    }
    return out;
}

std::string utf8FromUnit(char16_t unit) {
    std::string out;
    appendCodePoint(out, unit);
    return out;
}

std::string utf8FromCodePoint(char32_t codePoint) {
    std::string out;
    appendCodePoint(out, codePoint);
    return out;
}

std::optional<char16_t> utf16CharacterAt(std::string_view utf8, std::size_t index) {
    std::optional<char16_t> result;
    std::size_t unit = 0;
    forEachCodePoint(utf8, [&](const Decoded& d) {
        if (index < unit + d.units()) {
            if (d.units() == 1)
                result = static_cast<char16_t>(d.codePoint);
            else
                result = static_cast<char16_t>(index == unit ? U16_LEAD(d.codePoint) : U16_TRAIL(d.codePoint));
            return false;
        }
        unit += d.units();
        return true;
    });
    return result;
}

std::size_t utf16OffsetFromByteOffset(std::string_view utf8, std::size_t byteOffset) {
    std::size_t unit = 0;
    forEachCodePoint(utf8, [&](const Decoded& d) {
        if (d.end > byteOffset) return false;
        unit += d.units();
        return true;
    });
    return unit;
}

std::size_t byteOffsetFromUtf16Offset(std::string_view utf8, std::size_t unitOffset) {
    std::size_t unit = 0;
    std::size_t byte = utf8.size();
    forEachCodePoint(utf8, [&](const Decoded& d) {
        if (unitOffset < unit + d.units()) {
            byte = d.begin;
            return false;
        }
        unit += d.units();
        return true;
    });
    return byte;
}

std::string utf16Substring(std::string_view utf8, NSRange range) {
    std::string out;
    const std::size_t start = range.location;
    // Saturating end, so that a huge length cannot wrap around.
    const std::size_t end = range.length > SIZE_MAX - start ? SIZE_MAX : start + range.length;
    if (start >= end) return out;
    std::size_t unit = 0;
    forEachCodePoint(utf8, [&](const Decoded& d) {
        const std::size_t first = unit, last = unit + d.units();
        unit = last;
        if (last <= start) return true;
        if (first >= end) return false;
        if (first >= start && last <= end)
            appendDecoded(out, utf8, d);
        else
            appendCodePoint(out, kReplacement);  // half of a surrogate pair
        return true;
    });
    return out;
}

std::string utf16SubstringFrom(std::string_view utf8, std::size_t index) {
    return utf16Substring(utf8, {index, SIZE_MAX});
}

std::string utf16SubstringTo(std::string_view utf8, std::size_t index) {
    return utf16Substring(utf8, {0, index});
}

NSRange utf16RangeOf(std::string_view haystack, std::string_view needle, std::size_t fromIndex) {
    if (needle.empty()) return {NSNotFound, 0};
    std::u16string h = toUtf16(haystack), n = toUtf16(needle);
    if (fromIndex >= h.size()) return {NSNotFound, 0};
    std::size_t at = h.find(n, fromIndex);
    if (at == std::u16string::npos) return {NSNotFound, 0};
    return {at, n.size()};
}

std::string sanitizedUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    forEachCodePoint(utf8, [&](const Decoded& d) {
        appendDecoded(out, utf8, d);
        return true;
    });
    return out;
}

bool isValidUtf8(std::string_view utf8) {
    bool valid = true;
    forEachCodePoint(utf8, [&](const Decoded& d) { return valid = d.valid; });
    return valid;
}
