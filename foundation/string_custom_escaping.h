// Escaping across text borders: HTML and XML entities, backslash escapes, URL and query escapes,
// query parsing, address checks and pattern helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/value.h"

// "&", "<" and ">" written as entities; quotes stay.
std::string kv_encodeHTMLCharacterEntities(std::string_view text);
inline std::string escapeHTML(std::string_view text) {
    return kv_encodeHTMLCharacterEntities(text);
}
// Named (Latin-1 and markup) and numeric ("&#65;", "&#x41;") references replaced literally; a
// reference that holds no readable number stays as written.
std::string kv_decodeHTMLCharacterEntities(std::string_view text);
// References found by pattern ("&name;", "&#65;", "&#x41;", any case) decoded; unknown names and
// unreadable numbers stay as written.
std::string my_unescapeHTML(std::string_view text);
inline std::string unescapeHTML(std::string_view text) {
    return my_unescapeHTML(text);
}
// Hexadecimal digits read with 64-bit wrap-around; other characters count as the digit 0.
std::int64_t integerHexValue(std::string_view text);
// "\xHH" escapes turned into characters, then each doubled backslash made single.
std::string my_unescapeString(std::string_view text);
// In place; returns the receiver.
std::string& xmlSimpleEscape(std::string& text);
std::string& xmlSimpleUnescape(std::string& text);

// Percent escapes for everything a URL may not hold, and for "#", "%", "[", "]" and blanks, so
// that an escaped value is never cut at a fragment.
std::string escapeURL(std::string_view text);
// None when an escape is malformed or the bytes are not UTF-8.
std::optional<std::string> unescapeURL(std::string_view text);
// escapeURL, then the query delimiters "$&+,/:;=?@" escaped too.
std::string escapeQueryParam(std::string_view text);
// Form encoding of the UTF-8 bytes: blanks as "+", unreserved ASCII kept, the rest "%XX".
std::string urlencode(std::string_view text);
// key=value pairs split at "&"; a dictionary value, or null when no pair was found.
Value webQueryDict(std::string_view query);
// webQueryDict of what follows the first "?"; null without one.
Value webQueryDict0(std::string_view address);
// The reference resolved against the base address; none when either forms no URL.
std::optional<std::string> appendRelativedUrl(std::string_view base, std::string_view relative);
// The address, with "https://" put in front unless it already holds "http://" or "https://".
std::string makeDownloadable(std::string_view address);
bool isRemoteURL(std::string_view address);
// A remote address that, escaped, parses as a URL with a host.
bool isDownloadableURL(std::string_view address);

// "." and "-" escaped for a pattern; nothing else.
std::string escapeRegEx(std::string_view text);
inline std::string escapeNull(const std::optional<std::string>& text) {
    return text.value_or(std::string());
}
// Whether the pattern (case-sensitive) matches anywhere; false when it does not compile.
bool validRegEx(std::string_view text, std::string_view pattern);
bool validEmail(std::string_view text);
bool validWebsite(std::string_view text);
