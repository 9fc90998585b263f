// Random flat colours. Draws of the whole palette and of its light or dark half share one
// remembered index (the user-defaults key "previousRandomNumber") so that a non-zero index is
// not drawn twice in a row. Main-thread only: the read-compare-write of the key is not atomic.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/draw/color.h"

inline constexpr const char* kPreviousRandomNumberKey = "previousRandomNumber";

// Values other than Dark draw from the light half.
enum class UIShadeStyle : long { Light = 0, Dark = 1 };

// Uniform in [0, max), max taken as an unsigned 32-bit number.
long generateRandomNumberWithMax(long max);
// A palette colour whose index differs from the previous draw's, unless that was 0.
std::shared_ptr<UIColor> randomFlatColor();
// A random element; none for an empty array.
std::shared_ptr<UIColor> colorWithRandomColorInArray(const std::vector<std::shared_ptr<UIColor>>& colors);
// A random palette colour not equal to any in the array; none, without drawing, when the array
// holds every palette colour.
std::shared_ptr<UIColor> colorWithRandomFlatColorExcludingColorsInArray(
    const std::vector<std::shared_ptr<UIColor>>& colors);
// A random colour of the light or dark half with the alpha given.
std::shared_ptr<UIColor> colorWithRandomFlatColorOfShadeStyle(UIShadeStyle style, CGFloat alpha = 1.0);
