// The colour picker's arithmetic: the hue strip's colour at a position, the colour of a point of
// the saturation and brightness square, and the positions of a colour on both. Positions run from
// 0 to 1: the hue from the top of the strip, the square's x as saturation and y as 1 - brightness.
#pragma once

#include <array>
#include <vector>

#include "platform/runtime/geometry.h"

class UIColor;

using Rgb = std::array<double, 3>;

// The hue strip: red, yellow, green, cyan, blue, magenta and red again at sixths; h is clamped
// into 0 to 1.
Rgb hueColor(double h);
// The square for a hue: white at the top left, the pure hue at the top right, black at the bottom.
Rgb squareColor(double h, double x, double y);

struct PickerPosition {
    double hue = 0;
    CGPoint square{0, 0};
};
// The hue and square position of a colour (alpha plays no part); a colour that has no hue,
// saturation and brightness (a pattern) lies at hue 0, white.
PickerPosition pickerPosition(const UIColor& color);

// The swatches: six greys, ten bright colours and fifty tints in rows of ten.
const std::vector<std::vector<std::array<int, 3>>>& swatchGroups();
