// Shadows: made from a group's alpha (or found again in the shadow cache) and laid under it.
#include "platform/ui/layer/layer_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/layer_paint.h"
#include "platform/ui/layer/render_pass.h"
#include "platform/ui/layer/scoped_clip.h"
#include "platform/ui/layer/shadow_cache.h"
#include "platform/ui/layer/surface_pool.h"

namespace {

// A layer's blurred, tinted shadow and where it goes, in device pixels.
struct CastShadow {
    cairo_surface_t* surface = nullptr;
    double x = 0, y = 0;
    int width = 0, height = 0;
};

// The shadow of a group's alpha: blurred and tinted, offset by the layer's shadow offset.
CastShadow makeShadow(cairo_pattern_t* group, const CALayer& layer, const RenderPass& pass) {
    const CGFloat scale = pass.deviceScale();
    cairo_surface_t* source = nullptr;
    if (cairo_pattern_get_surface(group, &source) != CAIRO_STATUS_SUCCESS || !source ||
        cairo_surface_get_type(source) != CAIRO_SURFACE_TYPE_IMAGE)
        return {};
    const CGColor c = *layer.shadowColor();
    double sigma = layer.shadowRadius() * scale / 2;
    int pad = static_cast<int>(std::ceil(3 * sigma)) + 2;
    int w = cairo_image_surface_get_width(source), h = cairo_image_surface_get_height(source);
    if (w <= 0 || h <= 0 || double(w + 2 * pad) * (h + 2 * pad) > kMaxBackingPixels) return {};
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(source, &ox, &oy);
    // The same picture with the same blur and tint casts the same shadow: it is made once. A
    // layer whose group changes size from frame to frame (growing, shrinking) is not looked up:
    // its pictures do not come again.
    const double opacity = c.alpha * pass.shown(layer, &CALayerPresentation::shadowOpacity, layer.shadowOpacity());
    const bool settled = ShadowCache::shared().groupSettled(layer.layerId(), w, h);
    ShadowCache::Key key{};
    cairo_surface_t* shadow = nullptr;
    if (settled) {
        key = {ShadowCache::hashPixels(source), w, h, sigma, c.red, c.green, c.blue, opacity};
        shadow = ShadowCache::shared().find(key);
    }
    if (!shadow) {
        shadow = SurfacePool::shared().transparentSurface(w + 2 * pad, h + 2 * pad);
        if (!shadow) return {};
        // The group's pixels, copied inside the transparent margin (only their alpha counts).
        cairo_surface_flush(source);
        const unsigned char* from = cairo_image_surface_get_data(source);
        unsigned char* to = cairo_image_surface_get_data(shadow);
        const int fromStride = cairo_image_surface_get_stride(source),
                  toStride = cairo_image_surface_get_stride(shadow);
        if (!from || !to) {
            cairo_surface_destroy(shadow);
            return {};
        }
        for (int y = 0; y < h; ++y)
            std::copy_n(from + static_cast<std::size_t>(y) * fromStride, static_cast<std::size_t>(w) * 4,
                        to + static_cast<std::size_t>(y + pad) * toStride + static_cast<std::size_t>(pad) * 4);
        cairo_surface_mark_dirty(shadow);
        blurAndTint(shadow, sigma, c.red, c.green, c.blue, opacity);
        if (settled) ShadowCache::shared().insert(key, shadow);
    }
    return {shadow, -ox - pad + layer.shadowOffset().width * scale, -oy - pad + layer.shadowOffset().height * scale,
            w + 2 * pad, h + 2 * pad};
}

// The device-space rectangle, in whole pixels, that a group pattern's surface covers.
std::optional<CGRect> patternPixels(cairo_pattern_t* pattern) {
    cairo_surface_t* surface = nullptr;
    if (cairo_pattern_get_surface(pattern, &surface) != CAIRO_STATUS_SUCCESS || !surface ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return std::nullopt;
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(surface, &ox, &oy);
    return CGRectMake(-ox, -oy, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
}

}  // namespace

namespace layer_shadow {

bool hasShadow(const CALayer& layer, const RenderPass& pass) {
    return pass.shown(layer, &CALayerPresentation::shadowOpacity, layer.shadowOpacity()) > 0 &&
           layer_paint::visible(layer.shadowColor()) && !layer.masksToBounds();
}

void paintWithShadow(cairo_t* cr, cairo_pattern_t* content, const CALayer& layer, const RenderPass& pass,
                     float opacity) {
    CastShadow cast = makeShadow(content, layer, pass);
    // Nothing but the shadow and the content lies in the group that joins them, so it is cut to
    // the whole pixels they cover (in device space, where the clip keeps whole pixels).
    std::optional<CGRect> covered = patternPixels(content);
    if (covered && cast.surface) covered = CGRectUnion(*covered, CGRectMake(cast.x, cast.y, cast.width, cast.height));
    std::optional<ScopedClip> cut;
    if (covered && std::isfinite(covered->origin.x) && std::isfinite(covered->origin.y)) {
        double x0 = std::floor(covered->origin.x), y0 = std::floor(covered->origin.y);
        double x1 = std::ceil(CGRectGetMaxX(*covered)), y1 = std::ceil(CGRectGetMaxY(*covered));
        cut.emplace(cr, CGRectMake(x0, y0, x1 - x0, y1 - y0), ScopedClip::Space::Device);
    }
    LayerGroup both(cr);
    if (cast.surface) {
        CairoSave save(both.cr());
        cairo_identity_matrix(both.cr());
        cairo_set_source_surface(both.cr(), cast.surface, cast.x, cast.y);
        cairo_paint(both.cr());
        cairo_surface_destroy(cast.surface);
    }
    cairo_set_source(both.cr(), content);
    cairo_paint(both.cr());
    cairo_pattern_t* withShadow = both.finish();
    cairo_set_source(cr, withShadow);
    cairo_pattern_destroy(withShadow);
    cairo_paint_with_alpha(cr, opacity);
}

}  // namespace layer_shadow
