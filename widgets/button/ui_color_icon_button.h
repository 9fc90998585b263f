// The icon button's palette on the colour class: one colour per button type in the gradient (V2)
// and flat (V3) looks, and the shade operations the button derives its drawing from.
#pragma once

#include <memory>

#include "platform/ui/draw/color.h"

// Palette colours: new opaque colours each call; components are single-precision constants.
std::shared_ptr<UIColor> ib_defaultColorV2();
std::shared_ptr<UIColor> ib_defaultColorV3();
std::shared_ptr<UIColor> ib_primaryColorV2();
std::shared_ptr<UIColor> ib_primaryColorV3();
std::shared_ptr<UIColor> ib_infoColorV2();
std::shared_ptr<UIColor> ib_infoColorV3();
std::shared_ptr<UIColor> ib_successColorV2();
std::shared_ptr<UIColor> ib_successColorV3();
std::shared_ptr<UIColor> ib_warningColorV2();
std::shared_ptr<UIColor> ib_warningColorV3();
std::shared_ptr<UIColor> ib_dangerColorV2();
std::shared_ptr<UIColor> ib_dangerColorV3();
std::shared_ptr<UIColor> ib_inverseColorV2();
std::shared_ptr<UIColor> ib_inverseColorV3();
std::shared_ptr<UIColor> ib_twitterColor();
std::shared_ptr<UIColor> ib_facebookColor();
std::shared_ptr<UIColor> ib_purpleIconButtonColor();
std::shared_ptr<UIColor> ib_grayIconButtonColor();

// Each channel raised (capped at 1) or lowered (floored at 0) by v, as an RGB colour; a grey
// colour's level goes to all three channels, alpha is kept. A colour without grey or RGB
// components (a pattern) comes back as it is.
std::shared_ptr<UIColor> ib_lightenColorWithValue(const UIColor& color, double v);
std::shared_ptr<UIColor> ib_darkenColorWithValue(const UIColor& color, double v);
// Same hue, brightness and alpha with the saturation times p; a pattern colour comes back as it is.
std::shared_ptr<UIColor> ib_desaturatedColorToPercentSaturation(const UIColor& color, double p);
// Light when the grey level, or the mean of red, green and blue, is at least 0.75.
bool ib_isLightColor(const UIColor& color);
