// The renderer's shortcuts to the same pixels, taken when the pass takes shortcuts: a plain
// translucent fill and a picture dimmed by one composited straight on the target's pixels by the
// pixel kernels, and the test of whether a tree covers an area opaquely (so it need not be cleared).
#pragma once

#include <cairo.h>

#include <cstddef>
#include <vector>

#include "platform/runtime/geometry.h"

class CALayer;
class RenderPass;

namespace layer_shortcuts {

// Composites the layer straight on the target when it is nothing but a square fill on whole
// device pixels drawn translucent (a dimming backdrop), with the same bytes as its group would
// give; false, having drawn nothing, when it is not (`cr`'s matrix already through its transform).
bool paintPlainFill(cairo_t* cr, const CALayer& layer, float opacity, const RenderPass& pass);

// A plain picture with a translucent plain fill over it (a dimmed backdrop; layers between them
// drawing nothing) composited in one pass over the target's pixels: Cairo would lay the picture
// (an unscaled copy through OVER) and then go over every pixel again for the fill. Answers how
// many layers of `order` from `first` on it drew, 0 when they are not such a pair.
std::size_t drawDimmedPicture(cairo_t* cr, const std::vector<CALayer*>& order, std::size_t first,
                              const RenderPass& pass);

// Whether the layer, drawn through `toDevice` (the matrix renderLayer finds on its context), sets
// every pixel of `pixels` (device space, whole pixels) to an opaque colour whatever was there
// before: an opaque square background on whole pixels of an unclipped, ungrouped chain. `clip` is
// the device area its ancestors' bounds clip it to.
bool opaqueCover(const CALayer& layer, const cairo_matrix_t& toDevice, const CGRect& pixels, const CGRect& clip,
                 const RenderPass& pass);

}  // namespace layer_shortcuts
