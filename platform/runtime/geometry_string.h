// Points written as text in the platform's "{x, y}" form, and read back; the number scanner and
// formatter that the other geometry texts (sizes, edge insets) share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/runtime/geometry.h"

// "{x, y}" with the shortest decimal forms that read back exactly.
std::string NSStringFromCGPoint(CGPoint point);
// Reads the first two numbers of a "{x, y}" text (spaces allowed); a text that does not hold two
// numbers gives the zero point, as on the platform. Numbers that are not finite read as 0.
CGPoint CGPointFromString(std::string_view text);

// "{a, b, …}" of the given numbers, each in its shortest form that reads back exactly.
std::string geometryText(const CGFloat* values, std::size_t count);
// Reads up to `count` numbers in order wherever they stand, ignoring the punctuation around them;
// answers how many were found (the rest of `out` is 0). Numbers that are not finite read as 0.
std::size_t readGeometryNumbers(std::string_view text, CGFloat* out, std::size_t count);
