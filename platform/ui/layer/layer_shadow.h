// A layer's shadow: the alpha of its group blurred, tinted and offset, composited under the group.
#pragma once

#include <cairo.h>

class CALayer;
class RenderPass;

namespace layer_shadow {

// Whether the layer casts a shadow as drawn by the pass.
bool hasShadow(const CALayer& layer, const RenderPass& pass);

// Paints the layer's group (`content`, its pixels in device space) with the shadow it casts
// beneath it, both through the opacity, within the whole pixels they cover.
void paintWithShadow(cairo_t* cr, cairo_pattern_t* content, const CALayer& layer, const RenderPass& pass,
                     float opacity);

}  // namespace layer_shadow
