// Backdrop layers: the blur of what lies beneath (captured before the layer draws, shown inside
// its bounds) and vibrant content blended into it.
#pragma once

#include <cairo.h>

#include <optional>

#include "platform/runtime/geometry.h"

class CABackdropLayer;
class RenderPass;

namespace layer_backdrop {

// Captures and blurs the target's pixels under the layer's bounds (`cr`'s matrix already through
// the layer's transform); the pass holds them until the layer draws.
void capture(cairo_t* cr, const CABackdropLayer& layer, RenderPass& pass);
// Paints the captured backdrop inside the layer's (rounded) bounds, then the effect's tint.
void draw(cairo_t* cr, const CABackdropLayer& layer, const CGRect& bounds, CGFloat radius, RenderPass& pass);
// How the sublayers of a vibrant backdrop are blended into what lies beneath (they darken a light
// blur and lighten a dark one); none when they are laid over it as usual.
std::optional<cairo_operator_t> vibrantBlend(const CABackdropLayer* layer);

}  // namespace layer_backdrop
