// The spine of layer drawing: a layer goes straight onto the target, or through a group (for its
// opacity or mask, or with the shadow it casts); its contents are background, own content,
// sublayers and border, in that order.
#include "platform/ui/layer/layer_renderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_backdrop_layer.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_backdrop.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/layer_extent.h"
#include "platform/ui/layer/layer_paint.h"
#include "platform/ui/layer/layer_shadow.h"
#include "platform/ui/layer/layer_shortcuts.h"
#include "platform/ui/layer/scoped_clip.h"
#include "platform/ui/layer/surface_pool.h"

namespace {

using layer_paint::applyMatrix;
using layer_paint::invertible;

std::vector<CALayer*> paintOrder(const CALayer& layer) {
    std::vector<CALayer*> order;
    for (const auto& s : layer.sublayers()) order.push_back(s.get());
    std::stable_sort(order.begin(), order.end(),
                     [](CALayer* a, CALayer* b) { return a->zPosition() < b->zPosition(); });
    return order;
}

// A replicator's sublayers, once per copy: each copy is drawn through one more instance
// transform, applied about the anchor point.
void renderReplicas(cairo_t* cr, CAReplicatorLayer& replicator, const std::vector<CALayer*>& order, RenderPass& pass) {
    CGRect b = pass.shownBounds(replicator);
    CGPoint a{b.origin.x + replicator.anchorPoint().x * b.size.width,
              b.origin.y + replicator.anchorPoint().y * b.size.height};
    CGAffineTransform step = CATransform3DFlatten(replicator.instanceTransform(), b);
    CGAffineTransform acc = CGAffineTransformIdentity;
    long count = std::min(replicator.instanceCount(), 10000L);
    for (long i = 0; i < count; ++i) {
        double alpha = std::clamp(1.0 + i * static_cast<double>(replicator.instanceAlphaOffset()), 0.0, 1.0);
        if (alpha > 0 && invertible(acc)) {
            CairoSave save(cr);
            cairo_translate(cr, a.x, a.y);
            applyMatrix(cr, acc);
            cairo_translate(cr, -a.x, -a.y);
            if (alpha < 1) cairo_push_group(cr);
            for (CALayer* s : order) LayerRenderer::renderLayer(cr, *s, pass);
            if (alpha < 1) {
                cairo_pop_group_to_source(cr);
                cairo_paint_with_alpha(cr, alpha);
            }
        }
        acc = CGAffineTransformConcat(acc, step);
    }
}

void renderSublayers(cairo_t* cr, CALayer& layer, RenderPass& pass) {
    auto order = paintOrder(layer);
    if (auto* replicator = dynamic_cast<CAReplicatorLayer*>(&layer)) {
        renderReplicas(cr, *replicator, order, pass);
        return;
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (std::size_t drawn = layer_shortcuts::drawDimmedPicture(cr, order, i, pass)) {
            i += drawn - 1;
            continue;
        }
        LayerRenderer::renderLayer(cr, *order[i], pass);
    }
}

// The layer's contents drawn into a group of their own and cut by its mask: a pattern of the
// group's pixels (the caller destroys it). `reach` as LayerGroup takes it.
cairo_pattern_t* contentGroup(cairo_t* cr, CALayer& layer, RenderPass& pass, const cairo_rectangle_int_t* reach) {
    LayerGroup group(cr, reach);
    cairo_t* gc = group.cr();
    LayerRenderer::renderContents(gc, layer, pass);
    if (auto mask = layer.mask()) {
        // Keep the content only where the mask (placed in this layer's space) has alpha.
        LayerGroup maskGroup(gc);
        LayerRenderer::renderLayer(maskGroup.cr(), *mask, pass);
        cairo_pattern_t* m = maskGroup.finish();
        cairo_set_operator(gc, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source(gc, m);
        cairo_paint(gc);
        cairo_set_operator(gc, CAIRO_OPERATOR_OVER);
        cairo_pattern_destroy(m);
    }
    return group.finish();
}

// A translucent or masked layer, through a group. The group ends at the whole device pixels the
// layer can draw into: it spans the clip otherwise (the damaged area, often the screen), and is
// cleared and composited over all of it. It still starts where the clip starts: the group's
// origin takes part in how a scaled picture inside is sampled, and moving it would shift those
// samples by a rounding. Within that, only the pixels the layer draws into are cleared and
// composited back.
void renderGroup(cairo_t* cr, CALayer& layer, RenderPass& pass, float opacity) {
    if (layer_shortcuts::paintPlainFill(cr, layer, opacity, pass)) return;
    std::optional<ScopedClip> groupClip;
    std::optional<cairo_rectangle_int_t> reach;
    if (auto own = layer_extent::drawnExtent(layer, pass)) {
        if (auto pixels = layer_extent::devicePixels(cr, *own, true)) {
            auto inner = pass.takesShortcuts() ? layer_extent::devicePixels(cr, *own, false) : std::nullopt;
            if (inner)
                reach = cairo_rectangle_int_t{int(inner->origin.x), int(inner->origin.y), int(inner->size.width),
                                              int(inner->size.height)};
            groupClip.emplace(cr, *pixels, ScopedClip::Space::Device);
        }
    }
    cairo_pattern_t* content = contentGroup(cr, layer, pass, reach ? &*reach : nullptr);
    cairo_set_source(cr, content);
    std::optional<ScopedClip> reachClip;
    if (reach)
        reachClip.emplace(cr, CGRectMake(reach->x, reach->y, reach->width, reach->height), ScopedClip::Space::Device);
    cairo_paint_with_alpha(cr, opacity);
    cairo_pattern_destroy(content);
}

// A layer casting a shadow. The shadow blurs the whole group, so the group is kept to what the
// layer can draw: otherwise it spans the clip (the damaged area, often the screen) and the blur
// with it. (Other groups are not cut so: an edge of their own changes how Cairo rounds the blend
// of text edges.)
void renderWithShadow(cairo_t* cr, CALayer& layer, RenderPass& pass, float opacity) {
    cairo_pattern_t* content = nullptr;
    {
        std::optional<ScopedClip> extentClip;
        if (auto extent = layer_extent::drawnExtent(layer, pass)) {
            // Cut to the clip first: Cairo's fixed-point coordinates cannot hold a huge rectangle.
            double x0, y0, x1, y1;
            cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
            *extent = CGRectIntersection(*extent, CGRectMake(x0, y0, x1 - x0, y1 - y0));
            if (CGRectIsNull(*extent)) extent = CGRectZero;
            extentClip.emplace(cr, *extent, ScopedClip::Space::User);
        }
        content = contentGroup(cr, layer, pass, nullptr);
    }
    layer_shadow::paintWithShadow(cr, content, layer, pass, opacity);
    cairo_pattern_destroy(content);
}

// Where a layer and its shadow can draw, in its own space; none when that cannot be bounded.
std::optional<CGRect> drawnReach(const CALayer& layer, const RenderPass& pass) {
    auto extent = layer_extent::drawnExtent(layer, pass);
    if (!extent) return std::nullopt;
    if (layer_shadow::hasShadow(layer, pass)) {
        // The blur's reach past the group, as the extents of groups take it.
        const CGFloat r = layer.shadowRadius() * 1.5 + 2;
        const CGRect cast = CGRectOffset(*extent, layer.shadowOffset().width, layer.shadowOffset().height);
        *extent = CGRectUnion(*extent, CGRectInset(cast, -r, -r));
    }
    return extent;
}

// A layer with nothing under it that cannot reach the clip draws nothing, so it is passed over
// whole: most of a long scale's ticks lie outside its scroll view or the damaged area. (A blurring
// layer is not: it reads what lies beneath before it draws.)
bool outsideClip(cairo_t* cr, const CALayer& layer, const RenderPass& pass) {
    if (!pass.takesShortcuts() || !layer.sublayers().empty() || layer.mask() ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    auto extent = drawnReach(layer, pass);
    if (!extent) return false;
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    return !CGRectIntersectsRect(*extent, CGRectMake(x0, y0, x1 - x0, y1 - y0));
}

// Lays a deferred rounded clip on the target, through the matrix its layer laid it with.
void layRoundClip(cairo_t* cr, const DeferredRoundClip& clip) {
    cairo_matrix_t m, at = toCairoMatrix(clip.toDevice);
    cairo_get_matrix(cr, &m);
    cairo_set_matrix(cr, &at);
    layer_paint::roundedRect(cr, clip.bounds, clip.radius);
    cairo_clip(cr);
    cairo_set_matrix(cr, &m);
}

// Lays, for a layer drawn wholly within the deferred clip's full coverage, a clip of few edges in
// its place: the bounds with their corners cut by a pixel. Cairo draws under any clip that is no
// set of boxes by intersecting each shape with the clip's outline and rasterising what is left,
// which takes longer the more edges the outline has (a rounded one has dozens); within the pixels
// both cover fully the two give the same shapes, so the same bytes.
void layPlainClip(cairo_t* cr, const DeferredRoundClip& clip) {
    const CGAffineTransform& t = clip.toDevice;
    const CGRect& b = clip.bounds;
    const double ax = t.a * b.origin.x + t.tx, bx = t.a * (b.origin.x + b.size.width) + t.tx;
    const double ay = t.d * b.origin.y + t.ty, by = t.d * (b.origin.y + b.size.height) + t.ty;
    const double x0 = std::min(ax, bx), x1 = std::max(ax, bx), y0 = std::min(ay, by), y1 = std::max(ay, by);
    constexpr double cut = 1;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    cairo_move_to(cr, x0 + cut, y0);
    cairo_line_to(cr, x1 - cut, y0);
    cairo_line_to(cr, x1, y0 + cut);
    cairo_line_to(cr, x1, y1 - cut);
    cairo_line_to(cr, x1 - cut, y1);
    cairo_line_to(cr, x0 + cut, y1);
    cairo_line_to(cr, x0, y1 - cut);
    cairo_line_to(cr, x0, y0 + cut);
    cairo_close_path(cr);
    cairo_clip(cr);
    cairo_set_matrix(cr, &m);
}

// Whether the layer and all under it draw wholly within the pixels the deferred clip covers
// fully. (A blurring layer is not: it reads what lies beneath.)
bool withinRoundClip(cairo_t* cr, const CALayer& layer, const DeferredRoundClip& clip, const RenderPass& pass) {
    if (dynamic_cast<const CABackdropLayer*>(&layer)) return false;
    auto extent = drawnReach(layer, pass);
    if (!extent) return false;
    auto box = deviceBoundsOf(cr, *extent);
    if (!box) return false;
    const CGRect pixels = CGRectMake(std::floor(box->x0), std::floor(box->y0), std::ceil(box->x1) - std::floor(box->x0),
                                     std::ceil(box->y1) - std::floor(box->y0));
    return CGRectContainsRect(clip.inside[0], pixels) || CGRectContainsRect(clip.inside[1], pixels);
}

// A layer that draws straight onto the target, no group or copies of its own, and clips to
// nothing but whole device pixels: it may leave a deferred clip to the layers under it. (Cairo
// keeps the coverage of clips at fractions in the order they are laid.)
bool drawsStraight(cairo_t* cr, const CALayer& layer, const RenderPass& pass, float opacity) {
    if (!(opacity >= 1) || layer.mask() || layer_shadow::hasShadow(layer, pass) ||
        dynamic_cast<const CAReplicatorLayer*>(&layer) || dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    if (!layer.masksToBounds()) return true;
    if (pass.shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius()) > 0) return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    auto box = deviceBoundsOf(cr, pass.shownBounds(layer));
    return m.xy == 0 && m.yx == 0 && box && layer_paint::wholePixel(box->x0) && layer_paint::wholePixel(box->y0) &&
           layer_paint::wholePixel(box->x1) && layer_paint::wholePixel(box->y1);
}

// Clips to the layer's rounded bounds, or leaves the rounded clip to the layers under it (drawn
// as the screen is, axis-aligned). Returns whether it was left.
bool clipToRoundedBounds(cairo_t* cr, const CGRect& b, CGFloat radius, RenderPass& pass) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const bool defer = radius > 0 && pass.takesShortcuts() && m.xy == 0 && m.yx == 0 && !pass.deferredRoundClip();
    DeferredRoundClip clip{fromCairoMatrix(m), b, radius, {}};
    if (defer) {
        const CGFloat r = std::min({radius, b.size.width / 2, b.size.height / 2});
        const CGRect across[2] = {CGRectInset(b, r, 0), CGRectInset(b, 0, r)};
        for (int i = 0; i < 2; ++i) {
            clip.inside[i] = CGRectNull();
            auto box = deviceBoundsOf(cr, across[i]);
            if (!box) continue;
            // A pixel to spare inside: the curve is laid as segments, and the edges at fractions.
            const double x0 = std::ceil(box->x0) + 1, y0 = std::ceil(box->y0) + 1, x1 = std::floor(box->x1) - 1,
                         y1 = std::floor(box->y1) - 1;
            if (x1 > x0 && y1 > y0) clip.inside[i] = CGRectMake(x0, y0, x1 - x0, y1 - y0);
        }
    }
    if (!defer || (CGRectIsNull(clip.inside[0]) && CGRectIsNull(clip.inside[1]))) {
        layer_paint::roundedRect(cr, b, radius);
        cairo_clip(cr);
        return false;
    }
    DeviceBox extents;
    {
        CairoSave save(cr);
        layer_paint::roundedRect(cr, b, radius);
        cairo_clip(cr);
        extents = deviceClipExtents(cr);
    }
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, extents.x0, extents.y0, extents.x1 - extents.x0, extents.y1 - extents.y0);
    cairo_clip(cr);
    cairo_set_matrix(cr, &m);
    pass.deferRoundClip(clip);
    return true;
}

// Whether the layer draws anything of its own besides its background and border.
bool ownContent(const CALayer& layer, const RenderPass& pass) {
    return pass.shown(layer, &CALayerPresentation::contents, layer.contents()) ||
           (layer.backingStore() && layer.backingStore()->surface) || dynamic_cast<const CAShapeLayer*>(&layer) ||
           dynamic_cast<const CAGradientLayer*>(&layer);
}

// Runs a part of a layer's own drawing under the deferred rounded clip, when one is left.
template <class Paint>
void underRoundClip(cairo_t* cr, const RenderPass& pass, Paint&& paint) {
    if (!pass.deferredRoundClip()) return paint();
    CairoSave save(cr);
    layRoundClip(cr, *pass.deferredRoundClip());
    paint();
}

}  // namespace

void LayerRenderer::renderLayer(cairo_t* cr, CALayer& layer, RenderPass& pass) {
    float opacity = std::clamp(pass.shown(layer, &CALayerPresentation::opacity, layer.opacity()), 0.0f, 1.0f);
    if (layer.isHidden() || opacity <= 0) return;
    CGAffineTransform t = pass.transformToSuperlayer(layer);
    if (!invertible(t)) return;  // a layer scaled to nothing shows nothing
    CairoSave save(cr);
    applyMatrix(cr, t);
    if (outsideClip(cr, layer, pass)) return;
    // A rounded clip left by a layer above: a clip of few edges stands in for it within the pixels
    // it covers fully; it is laid on before a layer draws otherwise, except by one that leaves it
    // to the layers under it in turn.
    std::optional<DeferredRoundClip> deferred;
    if (pass.deferredRoundClip()) {
        if (withinRoundClip(cr, layer, *pass.deferredRoundClip(), pass)) {
            deferred = pass.takeDeferredRoundClip();
            layPlainClip(cr, *deferred);
        } else if (!drawsStraight(cr, layer, pass, opacity)) {
            deferred = pass.takeDeferredRoundClip();
            layRoundClip(cr, *deferred);
        }
    }
    // A blur reads what is drawn beneath it before a group of its own would hide that.
    if (auto* backdrop = dynamic_cast<CABackdropLayer*>(&layer)) layer_backdrop::capture(cr, *backdrop, pass);
    if (layer_shadow::hasShadow(layer, pass))
        renderWithShadow(cr, layer, pass, opacity);
    else if (opacity < 1 || layer.mask())
        renderGroup(cr, layer, pass, opacity);
    else
        renderContents(cr, layer, pass);
    if (deferred) pass.deferRoundClip(deferred);
}

void LayerRenderer::renderContents(cairo_t* cr, CALayer& layer, RenderPass& pass) {
    const CGRect b = pass.shownBounds(layer);
    const CGFloat radius = pass.shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius());
    auto* backdrop = dynamic_cast<CABackdropLayer*>(&layer);
    if (backdrop) layer_backdrop::draw(cr, *backdrop, b, radius, pass);
    if (!pass.deferredRoundClip() ||
        layer_paint::visible(pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor())))
        underRoundClip(cr, pass, [&] { layer_paint::paintBackground(cr, layer, b, radius, pass); });
    {
        CairoSave save(cr);
        bool deferred = false;
        if (layer.masksToBounds()) deferred = clipToRoundedBounds(cr, b, radius, pass);
        if (!pass.deferredRoundClip() || ownContent(layer, pass))
            underRoundClip(cr, pass, [&] { layer_paint::paintOwnContent(cr, layer, pass); });
        if (auto blend = layer_backdrop::vibrantBlend(backdrop)) {
            // Vibrant content is blended into what lies beneath rather than laid over it.
            cairo_push_group(cr);
            renderSublayers(cr, layer, pass);
            cairo_pop_group_to_source(cr);
            cairo_set_operator(cr, *blend);
            cairo_paint(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        } else {
            renderSublayers(cr, layer, pass);
        }
        if (deferred) pass.takeDeferredRoundClip();
    }
    if (!pass.deferredRoundClip() || pass.shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth()) > 0)
        underRoundClip(cr, pass, [&] { layer_paint::paintBorder(cr, layer, b, radius, pass); });
}

bool LayerRenderer::coversOpaquely(cairo_t* cr, CALayer& layer, const CGRect& pixels) {
    auto whole = [](double v) { return std::isfinite(v) && v == std::round(v); };
    if (!whole(pixels.origin.x) || !whole(pixels.origin.y) || !whole(pixels.size.width) || !whole(pixels.size.height) ||
        pixels.size.width <= 0 || pixels.size.height <= 0)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const RenderPass screen(1);  // the screen's values; the scale plays no part in the test
    return layer_shortcuts::opaqueCover(layer, m, pixels, CGRectInfinite(), screen);
}

void LayerRenderer::prepare(CALayer& root, CGFloat scale) {
    // Drawn content follows the screen's scale; a bitmap given as contents keeps the scale its
    // owner set for it.
    if (!root.contents() && root.contentsScale() != scale) root.setContentsScale(scale);
    root.displayIfNeeded();
    if (auto m = root.mask()) prepare(*m, scale);
    auto subs = root.sublayers();
    for (auto& s : subs) prepare(*s, scale);
}

std::shared_ptr<CGImage> LayerRenderer::snapshot(CALayer& layer, CGFloat scale) {
    if (!(scale > 0)) scale = 1;
    CGSize size = layer.bounds().size;
    int w = static_cast<int>(std::ceil(size.width * scale)), h = static_cast<int>(std::ceil(size.height * scale));
    if (w <= 0 || h <= 0 || double(w) * h > kMaxBackingPixels) return nullptr;
    layer.layoutIfNeeded();
    prepare(layer, scale);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -layer.bounds().origin.x, -layer.bounds().origin.y);
    {
        RenderPass pass(scale);
        renderContents(cr, layer, pass);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    auto image = imageFromSurface(surface);
    cairo_surface_destroy(surface);
    return image;
}

std::shared_ptr<CGImage> LayerRenderer::drawnBitmap(const CALayer& layer) {
    const auto& backing = layer.backingStore();
    if (!backing || !backing->surface) return nullptr;
    cairo_surface_flush(backing->surface);
    return imageFromSurface(backing->surface);
}

Result<void> LayerRenderer::writePNG(CALayer& layer, CGFloat scale, const std::string& path) {
    auto image = snapshot(layer, scale);
    if (!image) return fail("the layer has no pixels to write");
    cairo_surface_t* surface = createSurfaceForImage(*image);
    if (!surface) return fail("the snapshot could not be converted");
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) return fail("cannot write " + path + ": " + cairo_status_to_string(status));
    return {};
}