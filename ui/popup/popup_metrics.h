// The measures every pop-up shares, named once: the corner radius of its panel, how much of the
// screen's shorter side it leaves free, and the side of its square buttons.
#pragma once

#include "platform/runtime/geometry.h"

inline constexpr CGFloat kPopupCornerRadius = 5;
inline constexpr CGFloat kPopupScreenMargin = 20;
inline constexpr CGFloat kPopupButtonSide = 40;
