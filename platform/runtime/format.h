// A safe printf-style formatter over Value arguments ("%@", "%d", "%ld", "%0.1f", "%C", "%1$@" ...).
//
// Formats may come from string tables or a server, so nothing here trusts them: a placeholder
// whose argument is missing or of the wrong kind (a string for "%d", a number for "%s") prints as
// an empty text, numbers convert between kinds (an integer for "%f" prints as that number), an
// unknown directive is copied as written, and widths and precisions are capped.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

std::string formatString(std::string_view format, std::initializer_list<Value> args);
std::string formatString(std::string_view format, const std::vector<Value>& args);
std::string formatString(std::string_view format, const Value* args, std::size_t count);

// Largest width or precision honoured; larger ones are clamped to it.
inline constexpr int kFormatMaxWidth = 1024;
