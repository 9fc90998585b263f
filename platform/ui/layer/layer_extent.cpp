// The extent a layer tree can draw into, and the device pixels of an area.
#include "platform/ui/layer/layer_extent.h"

#include <algorithm>
#include <cmath>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/layer_paint.h"
#include "platform/ui/layer/layer_shadow.h"
#include "platform/ui/layer/render_pass.h"

namespace layer_extent {

std::optional<CGRect> drawnExtent(const CALayer& layer, const RenderPass& pass) {
    if (dynamic_cast<const CAReplicatorLayer*>(&layer)) return std::nullopt;
    const CGRect b = pass.shownBounds(layer);
    CGRect extent = b;
    if (auto image = pass.shown(layer, &CALayerPresentation::contents, layer.contents())) {
        CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
        extent = CGRectUnion(extent, layer_paint::gravityRect(layer.contentsGravity(), b,
                                                              {image->width() / scale, image->height() / scale}));
    }
    if (const auto& backing = layer.backingStore(); backing && backing->surface)
        extent = CGRectUnion(extent, layer_paint::gravityRect(layer.contentsGravity(), b, backing->size));
    if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer); shape && shape->path()) {
        // A stroke reaches half its width past the path, and a mitred corner up to the miter limit.
        CGFloat line = pass.shown(*shape, &CALayerPresentation::lineWidth, shape->lineWidth());
        CGFloat reach = std::max<CGFloat>(line, 0) / 2 * std::max<CGFloat>(shape->miterLimit(), 1);
        CGRect box = shape->path()->boundingBox();
        if (!CGRectIsNull(box)) extent = CGRectUnion(extent, CGRectInset(box, -reach, -reach));
    }
    if (layer.masksToBounds()) return CGRectInset(b, -1, -1);
    for (const auto& sub : layer.sublayers()) {
        float opacity = pass.shown(*sub, &CALayerPresentation::opacity, sub->opacity());
        if (sub->isHidden() || !(opacity > 0)) continue;
        CGAffineTransform t = pass.transformToSuperlayer(*sub);
        if (!layer_paint::invertible(t)) continue;
        auto inner = drawnExtent(*sub, pass);
        if (!inner) return std::nullopt;
        CGRect own = *inner;
        if (layer_shadow::hasShadow(*sub, pass)) {
            CGFloat r = sub->shadowRadius() * 1.5 + 2;
            CGRect cast = CGRectOffset(own, sub->shadowOffset().width, sub->shadowOffset().height);
            own = CGRectUnion(own, CGRectInset(cast, -r, -r));
        }
        extent = CGRectUnion(extent, CGRectApplyAffineTransform(own, t));
    }
    if (!std::isfinite(extent.origin.x) || !std::isfinite(extent.origin.y) || !std::isfinite(extent.size.width) ||
        !std::isfinite(extent.size.height))
        return std::nullopt;
    return CGRectInset(extent, -1, -1);
}

std::optional<CGRect> devicePixels(cairo_t* cr, const CGRect& r, bool fromClipOrigin) {
    const auto bounds = deviceBoundsOf(cr, r);
    if (!bounds) return std::nullopt;
    const DeviceBox clip = deviceClipExtents(cr);
    double x0 = std::max(std::floor(bounds->x0), std::floor(clip.x0)),
           y0 = std::max(std::floor(bounds->y0), std::floor(clip.y0));
    if (fromClipOrigin) x0 = std::floor(clip.x0), y0 = std::floor(clip.y0);
    double x1 = std::min(std::ceil(bounds->x1), std::ceil(clip.x1)),
           y1 = std::min(std::ceil(bounds->y1), std::ceil(clip.y1));
    if (x1 <= x0 || y1 <= y0) return CGRectZero;
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace layer_extent
