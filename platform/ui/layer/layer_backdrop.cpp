// Backdrop layers: capturing the blur beneath, drawing it, and the blend of vibrant content.
#include "platform/ui/layer/layer_backdrop.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_backdrop_layer.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/layer_paint.h"
#include "platform/ui/layer/render_pass.h"
#include "platform/ui/layer/surface_pool.h"

namespace layer_backdrop {

using layer_paint::roundedRect;

void capture(cairo_t* cr, const CABackdropLayer& layer, RenderPass& pass) {
    pass.dropBackdrop();
    if (pass.drawsModel() || layer.kind() != CABackdropKind::Blur || !(layer.blurRadius() > 0)) return;
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return;
    cairo_surface_flush(target);
    CGRect b = pass.shownBounds(layer);
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (CGPoint p : {b.origin, CGPoint{CGRectGetMaxX(b), b.origin.y}, CGPoint{b.origin.x, CGRectGetMaxY(b)},
                      CGPoint{CGRectGetMaxX(b), CGRectGetMaxY(b)}}) {
        double x = p.x, y = p.y;
        cairo_user_to_device(cr, &x, &y);
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(target, &ox, &oy);
    int tw = cairo_image_surface_get_width(target), th = cairo_image_surface_get_height(target);
    int x0 = std::max(0, static_cast<int>(std::floor(minX + ox))),
        y0 = std::max(0, static_cast<int>(std::floor(minY + oy)));
    int x1 = std::min(tw, static_cast<int>(std::ceil(maxX + ox))),
        y1 = std::min(th, static_cast<int>(std::ceil(maxY + oy)));
    if (x1 <= x0 || y1 <= y0 || double(x1 - x0) * (y1 - y0) > kMaxBackingPixels) return;
    cairo_surface_t* copy = SurfacePool::shared().transparentSurface(x1 - x0, y1 - y0);
    if (!copy) return;
    const unsigned char* from = cairo_image_surface_get_data(target);
    unsigned char* to = cairo_image_surface_get_data(copy);
    int fromStride = cairo_image_surface_get_stride(target), toStride = cairo_image_surface_get_stride(copy);
    for (int y = y0; y < y1; ++y)
        std::copy_n(from + static_cast<std::size_t>(y) * fromStride + x0 * 4, (x1 - x0) * 4,
                    to + static_cast<std::size_t>(y - y0) * toStride);
    cairo_surface_mark_dirty(copy);
    blurSurface(copy, layer.blurRadius() * pass.deviceScale());
    pass.holdBackdrop({layer.layerId(), copy, x0 - ox, y0 - oy});
}

void draw(cairo_t* cr, const CABackdropLayer& layer, const CGRect& b, CGFloat radius, RenderPass& pass) {
    if (auto captured = pass.takeBackdrop(layer)) {
        {
            CairoSave save(cr);
            roundedRect(cr, b, radius);
            cairo_clip(cr);
            cairo_identity_matrix(cr);
            cairo_set_source_surface(cr, captured->surface, captured->x, captured->y);
            cairo_paint(cr);
        }
        cairo_surface_destroy(captured->surface);
    }
    if (auto tint = layer.tintColor(); layer_paint::visible(tint) && layer.kind() == CABackdropKind::Blur) {
        roundedRect(cr, b, radius);
        layer_paint::setColor(cr, *tint);
        cairo_fill(cr);
    }
}

std::optional<cairo_operator_t> vibrantBlend(const CABackdropLayer* layer) {
    if (!layer || layer->kind() != CABackdropKind::Vibrancy) return std::nullopt;
    auto tint = layer->tintColor();
    const bool lightBlur = !tint || (tint->red + tint->green + tint->blue) / 3 > 0.5;
    return lightBlur ? CAIRO_OPERATOR_MULTIPLY : CAIRO_OPERATOR_SCREEN;
}

}  // namespace layer_backdrop
