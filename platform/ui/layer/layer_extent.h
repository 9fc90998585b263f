// Where a layer tree can draw: its extent in its own space, and the whole device pixels that an
// area covers within the clip. Groups are cut to these.
#pragma once

#include <cairo.h>

#include <optional>

#include "platform/runtime/geometry.h"

class CALayer;
class RenderPass;

namespace layer_extent {

// The area a layer and everything under it can draw into, in the layer's own space, with a point
// to spare for antialiasing; none when that cannot be bounded (a replicator's copies).
std::optional<CGRect> drawnExtent(const CALayer& layer, const RenderPass& pass);

// The whole device pixels that a rectangle in user space covers, within the clip (from the clip's
// own top left corner with `fromClipOrigin`); none when they cannot be had.
std::optional<CGRect> devicePixels(cairo_t* cr, const CGRect& r, bool fromClipOrigin);

}  // namespace layer_extent
