// Colours stored in records as arrays of numbers (red, green, blue, alpha, each 0 to 1).
#pragma once

#include <memory>

#include "platform/runtime/value.h"

class UIColor;

// The colour of an array of at least three numbers (a missing alpha is 1); none for anything
// else. Components that are not finite numbers read as 0.
std::shared_ptr<UIColor> colorOfNumbers(const Value& array);
// A colour's red, green, blue and alpha as a new array of four numbers.
Value numbersOfColor(const UIColor& color);
