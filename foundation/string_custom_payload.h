// Readers of server pages: the JSON payload of a tagged HTML comment, comment and line-break
// removal, and JSON parsing of text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/value.h"

// The payload of the first "<!-- TAG:payload-->" comment, the tag matched in any case, after
// every line feed, carriage return and tab of the page was removed; none without one.
std::optional<std::string> dravelinqt0(std::string_view page, std::string_view tag);
std::optional<std::string> dravelinqt(std::string_view page);
std::optional<std::string> dravelinerror(std::string_view page);
// The text without line feeds, carriage returns, tabs and HTML comments.
std::string removeCommentsNewLines(std::string_view text);

// The text as UTF-8 bytes (named apart from std::data, which argument lookup would also find).
Bytes utf8Data(std::string_view text);
// The JSON value the text holds (any kind at the top); null when it holds none.
Value json(std::string_view text);
// The same value, whatever its kind: callers check for a dictionary or an array themselves.
inline Value jsonDictionary(std::string_view text) {
    return json(text);
}
inline Value jsonArray(std::string_view text) {
    return json(text);
}
// A second try after backslash and entity escapes were turned into characters.
Value jsonDictionary_unescapeString(std::string_view text);
Value jsonArray_unescapeString(std::string_view text);
