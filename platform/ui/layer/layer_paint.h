// Painting a layer's own content with Cairo: its background, contents, drawn bitmap, shape,
// gradient and border, and the drawing primitives the renderer's other parts share.
#pragma once

#include <cairo.h>

#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_layer.h"

class RenderPass;
struct LayerBackingStore;

namespace layer_paint {

void setColor(cairo_t* cr, const CGColor& c, double alphaFactor = 1);
// Whether a colour paints anything.
bool visible(const std::optional<CGColor>& c);
// Adds the rectangle with rounded corners (square when the radius is not positive) to the path.
void roundedRect(cairo_t* cr, const CGRect& r, CGFloat radius);
void applyMatrix(cairo_t* cr, const CGAffineTransform& t);
bool invertible(const CGAffineTransform& t);
// Whether the value lies on a whole number (within a rounding, and of a size Cairo can hold).
bool wholePixel(double v);
// Where an image of the size goes in the bounds under the gravity.
CGRect gravityRect(CAContentsGravity g, const CGRect& b, CGSize s);

// Draws the bitmap stretched over the rectangle. Of a layer's own bitmap (`store`) only what its
// drawing touched is composited, since elsewhere it lays nothing but transparent black over what
// is there (with the pass's shortcuts).
void drawSurfaceInRect(cairo_t* cr, cairo_surface_t* surface, const CGRect& rect, const RenderPass& pass,
                       LayerBackingStore* store = nullptr);

// The background colour over the bounds (rounded by the radius).
void paintBackground(cairo_t* cr, const CALayer& layer, const CGRect& bounds, CGFloat radius, const RenderPass& pass);
// What the layer itself shows inside its background: contents, the bitmap its display drew, a
// shape layer's path, a gradient layer's gradient.
void paintOwnContent(cairo_t* cr, const CALayer& layer, const RenderPass& pass);
// The border along the inside of the (rounded) bounds.
void paintBorder(cairo_t* cr, const CALayer& layer, const CGRect& bounds, CGFloat radius, const RenderPass& pass);

}  // namespace layer_paint
