// Contrast, shade and complement operations of the flat palette.
#pragma once

#include <memory>

#include "platform/ui/draw/color.h"

// The contrast rule: luminance 0.2126 r + 0.7152 g + 0.0722 b on the components as they are,
// light when above 0.6.
bool isLightForContrast(CGFloat red, CGFloat green, CGFloat blue);

// Black or white to draw on the background: with isFlat the palette's darkest black or its white,
// otherwise pure black or white; the clear colour when alpha is 0. A pattern background is
// resolved first; a background without RGB components (or none) counts as black.
std::shared_ptr<UIColor> colorWithContrastingBlackOrWhiteColorOn(const std::shared_ptr<UIColor>& background,
                                                                 bool isFlat, CGFloat alpha = 1.0);

// Brightness lowered or raised by a fraction of the scale (raised values stop at 1; lowered ones
// have no floor); an amount of 0 or less changes nothing. None when the colour has no HSB form.
std::shared_ptr<UIColor> darkenByPercentage(const UIColor& color, CGFloat amount);
std::shared_ptr<UIColor> lightenByPercentage(const UIColor& color, CGFloat amount);

// The palette colour nearest to the opposite hue, with the alpha given; the clear colour for a
// colour whose own alpha is 0 (or that has no HSB form).
std::shared_ptr<UIColor> colorWithComplementaryFlatColorOf(const std::shared_ptr<UIColor>& color, CGFloat alpha = 1.0);
