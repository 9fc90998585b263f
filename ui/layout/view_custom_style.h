// Styling recipes on views: the layer recipes applied to the view's layer, and the pill-shaped
// rim. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class UIView;
class UIColor;

void assignShadow(UIView& view);
void assignShadow(UIView& view, const std::shared_ptr<UIColor>& color);
void assignRound(UIView& view, CGFloat radius);
void assignBorder(UIView& view, CGFloat width, const std::shared_ptr<UIColor>& color);
// A pill (or circle) with a one-point flat-grey rim: clipped, corner radius half the frame's
// height, rasterised.
void setRoundEdge(UIView& view);
