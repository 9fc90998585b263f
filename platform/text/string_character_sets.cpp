// Trimming, splitting and percent escapes over code points of UTF-8 text.
#include "platform/text/string_character_sets.h"

#include "platform/runtime/utf16.h"

namespace {

// Decodes the code point at byte offset i of valid UTF-8 and returns its byte length.
std::size_t decodeAt(std::string_view s, std::size_t i, char32_t& cp) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (i + n > s.size()) n = 1;
    cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return n;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string stringByTrimmingCharactersInSet(std::string_view text, const NSCharacterSet& set) {
    std::string clean = sanitizedUtf8(text);
    std::string_view s = clean;
    std::size_t start = 0, end = s.size();
    while (start < end) {
        char32_t cp;
        std::size_t n = decodeAt(s, start, cp);
        if (!set.longCharacterIsMember(cp)) break;
        start += n;
    }
    while (end > start) {
        std::size_t begin = end - 1;
        while (begin > start && (static_cast<unsigned char>(s[begin]) & 0xC0) == 0x80) --begin;
        char32_t cp;
        decodeAt(s, begin, cp);
        if (!set.longCharacterIsMember(cp)) break;
        end = begin;
    }
    return std::string(s.substr(start, end - start));
}

std::vector<std::string> componentsSeparatedByCharactersInSet(std::string_view text, const NSCharacterSet& set) {
    std::string clean = sanitizedUtf8(text);
    std::string_view s = clean;
    std::vector<std::string> pieces;
    std::size_t pieceStart = 0;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        std::size_t n = decodeAt(s, i, cp);
        if (set.longCharacterIsMember(cp)) {
            pieces.emplace_back(s.substr(pieceStart, i - pieceStart));
            pieceStart = i + n;
        }
        i += n;
    }
    pieces.emplace_back(s.substr(pieceStart));
    return pieces;
}

std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view text, const NSCharacterSet& allowed) {
    static const char* hex = "0123456789ABCDEF";
    std::string clean = sanitizedUtf8(text);
    std::string_view s = clean;
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        std::size_t n = decodeAt(s, i, cp);
        if (allowed.longCharacterIsMember(cp)) {
            out.append(s.substr(i, n));
        } else {
            for (std::size_t k = 0; k < n; ++k) {
                auto b = static_cast<unsigned char>(s[i + k]);
                out += '%';
                out += hex[b >> 4];
                out += hex[b & 15];
            }
        }
        i += n;
    }
    return out;
}

std::optional<std::string> stringByRemovingPercentEncoding(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (!isValidUtf8(out)) return std::nullopt;
    return out;
}
