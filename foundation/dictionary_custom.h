// Helpers on dictionaries: null-tolerant reads, JSON, the query string of server requests, the
// path language over nested values and the first-text search.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/value.h"

// The value for the key; null when absent or null.
Value valueForKey1(const Value& dictionary, std::string_view key);
Value objectForKeyIgnoreNull(const Value& dictionary, std::string_view key);
// Compact JSON; none when a value cannot be written as JSON.
std::optional<Bytes> jsonData(const Value& value);
std::optional<std::string> jsonString(const Value& value);
// "key=value&..." in the dictionary's order, keys and text values escaped by escapeQueryParam,
// other values written as their description. No "?".
std::string queryString(const Value& dictionary);

// The path language: "/key" reads a key, "@n" an array element (no digits: 0), ":" parses a text
// as JSON and goes on inside the dictionary it holds, "#" fetches the JSON page whose address the
// text is (blocking; once per process, then from Global's cache) and goes on inside it. A slash
// before another step only separates ("/items/@0/title"); an empty key at the end or before
// another slash ends the walk at the current value. Anything that does not fit gives null. A value
// found through a fetched page is a copy: editing it leaves the cache as it was.
Value at0(const Value& start, std::string_view path);
inline Value at(const Value& dictionary, std::string_view path) {
    return at0(dictionary, path);
}

// The first text found depth-first in the values, in order; none without one.
std::optional<std::string> anyElementText(const Value& container);
