// Draws layer trees with Cairo: backgrounds, rounded corners, borders, shadows, contents, drawn
// content, shape, gradient and replicator layers, masks, opacity and transforms. The stages live
// in files of their own: painting (layer_paint), shadows (layer_shadow), backdrops
// (layer_backdrop), the shortcuts (layer_shortcuts), a tree's extent (layer_extent) and the drawn
// bitmap (layer_backing_store); a RenderPass carries one drawing's state down the tree.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/result.h"
#include "platform/ui/layer/render_pass.h"

typedef struct _cairo cairo_t;
class CALayer;
class CGImage;

class LayerRenderer {
public:
    // Brings drawn content up to date through the tree (display of stale layers) at the scale.
    static void prepare(CALayer& root, CGFloat scale);
    // Draws the layer where it sits in its superlayer's space; `cr`'s matrix maps that space to
    // device pixels, which the pass's scale says how many of make a point.
    static void renderLayer(cairo_t* cr, CALayer& layer, RenderPass& pass);
    // Draws the layer's own content and its sublayers in its bounds space (renderInContext).
    static void renderContents(cairo_t* cr, CALayer& layer, RenderPass& pass);
    // Whether renderLayer(cr, layer) leaves every pixel of the device rectangle (whole pixels)
    // opaque whatever it held before (an opaque square background covers it), so it need not be
    // cleared first. False when unsure.
    static bool coversOpaquely(cairo_t* cr, CALayer& layer, const CGRect& pixels);

    // The layer drawn alone into a transparent bitmap of its bounds at the scale, as the screen
    // shows it (running animations' presentation values). renderInContext draws the model instead.
    static std::shared_ptr<CGImage> snapshot(CALayer& layer, CGFloat scale);
    // The bitmap the layer's display last drew, as it is kept (none when it keeps none).
    static std::shared_ptr<CGImage> drawnBitmap(const CALayer& layer);
    // The same written as a PNG file.
    static Result<void> writePNG(CALayer& layer, CGFloat scale, const std::string& path);
};
