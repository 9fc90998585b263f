// Colour operations the palette and the colour editors use: a random colour, inversion, alpha
// changes, the packed 0xAARRGGBB code, component arrays and colours from bytes. Every operation
// reads a colour's red, green, blue and alpha (grey colours convert), resolved under the current
// appearance. Main-thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "platform/ui/draw/color.h"

// Red, green and blue each a uniform byte 0-255 (drawn in that order), alpha 1.
std::shared_ptr<UIColor> randomColor();
// (1 - red, 1 - green, 1 - blue) with the same alpha.
std::shared_ptr<UIColor> invert(const UIColor& color);
// The colour's red, green and blue with a new alpha (the receiver is unchanged).
std::shared_ptr<UIColor> setAlpha(const UIColor& color, float alpha);
std::shared_ptr<UIColor> alpha(const UIColor& color, double alpha);
// Each byte component x 255 + 0.5, truncated; 0 for a colour without red, green and blue.
std::uint32_t colorCode(const UIColor& color);
// Red, green, blue and alpha; zeros for a colour without them.
std::array<CGFloat, 4> array(const UIColor& color);
std::shared_ptr<UIColor> colorWithUCharRed(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
