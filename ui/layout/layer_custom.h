// Styling recipes on layers, repeated across the interface instead of setting layer properties
// by hand: a light shadow, rounded clipping, a border, and moving a sublayer to the top or bottom.
// Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class CALayer;
class UIColor;

// Shadow colour, opacity 0.2 and offset (1, 1); the radius stays as it is. Black by default.
void assignShadow(CALayer& layer);
void assignShadow(CALayer& layer, const std::shared_ptr<UIColor>& color);
// Corner radius, clipping to bounds, and no border.
void assignRound(CALayer& layer, CGFloat radius);
void assignBorder(CALayer& layer, CGFloat width, const std::shared_ptr<UIColor>& color);
// Moves `sublayer` from wherever it is to the top of / the bottom of `layer`.
void bringToFront(CALayer& layer, const std::shared_ptr<CALayer>& sublayer);
void sendToBack(CALayer& layer, const std::shared_ptr<CALayer>& sublayer);
