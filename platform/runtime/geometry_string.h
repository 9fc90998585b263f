// Points written as text in the platform's "{x, y}" form, and read back.
#pragma once

#include <string>

#include "platform/runtime/geometry.h"

// "{x, y}" with the shortest decimal forms that read back exactly.
std::string NSStringFromCGPoint(CGPoint point);
// Reads the first two numbers of a "{x, y}" text (spaces allowed); a text that does not hold two
// numbers gives the zero point, as on the platform.
CGPoint CGPointFromString(const std::string& text);
