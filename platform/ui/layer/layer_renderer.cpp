// The Cairo side of layers: display into a backing bitmap, and drawing whole trees.
#include "platform/ui/layer/layer_renderer.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/layer/ca_backdrop_layer.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/ink_box.h"
#include "platform/ui/layer/pixel_compose.h"
#include "platform/ui/layer/resampled_paint.h"
#include "platform/ui/layer/shadow_cache.h"
#include "platform/ui/layer/surface_pool.h"

// The bitmap a layer's display drew, at the scale it was drawn at.
struct LayerBackingStore {
    cairo_surface_t* surface = nullptr;
    CGFloat scale = 1;
    CGSize size;
    // Where the drawing's calls could reach (when they all told), and the pixels it touched (all
    // others are transparent black), found within that reach when first asked for.
    std::mutex inkLock;
    std::optional<PixelBox> reach;
    std::optional<PixelBox> ink;
    PixelBox drawnPixels() {
        std::lock_guard lock(inkLock);
        if (!ink) {
            cairo_surface_flush(surface);
            const PixelBox within = reach ? *reach
                                          : PixelBox{0, 0, cairo_image_surface_get_width(surface),
                                                     cairo_image_surface_get_height(surface)};
            ink = PixelBox{};
            if (!within.empty()) {
                const int stride = cairo_image_surface_get_stride(surface);
                const unsigned char* corner = cairo_image_surface_get_data(surface) +
                                              static_cast<std::ptrdiff_t>(within.y0) * stride + within.x0 * 4;
                const PixelBox found = inkBox(corner, stride, within.x1 - within.x0, within.y1 - within.y0);
                if (!found.empty())
                    ink = PixelBox{found.x0 + within.x0, found.y0 + within.y0, found.x1 + within.x0, found.y1 + within.y0};
            }
        }
        return *ink;
    }
    // What may be drawn: the exact pixels when found, else the reach.
    std::optional<PixelBox> mayBeDrawn() const { return ink ? ink : reach; }
    LayerBackingStore() = default;
    LayerBackingStore(const LayerBackingStore&) = delete;
    LayerBackingStore& operator=(const LayerBackingStore&) = delete;
    ~LayerBackingStore() {
        if (surface) cairo_surface_destroy(surface);
    }
};

namespace {

std::atomic<bool> takeShortcuts{true};

// Set while renderInContext draws: it renders the model tree, leaving running animations out.
thread_local bool drawingModel = false;

struct DrawModelScope {
    DrawModelScope() : saved_(drawingModel) { drawingModel = true; }
    ~DrawModelScope() { drawingModel = saved_; }
    DrawModelScope(const DrawModelScope&) = delete;
    DrawModelScope& operator=(const DrawModelScope&) = delete;
    bool saved_;
};

const CALayerPresentation* presentationOf(const CALayer& layer) {
    return drawingModel ? nullptr : layer.presentation();
}

// The value drawn for a property: the presented one while an animation sets it, else the model's.
template <class T>
T shown(const CALayer& layer, std::optional<T> CALayerPresentation::*field, T model) {
    const CALayerPresentation* p = presentationOf(layer);
    return p && (p->*field) ? *(p->*field) : std::move(model);
}

CGRect shownBounds(const CALayer& layer) { return shown(layer, &CALayerPresentation::bounds, layer.bounds()); }

// Layers whose bitmap would exceed this many pixels are not drawn (a runaway size is not a crash).
constexpr double kMaxBackingPixels = 1 << 26;

void setColor(cairo_t* cr, const CGColor& c, double alphaFactor = 1) {
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * alphaFactor);
}

bool visible(const std::optional<CGColor>& c) { return c && !c->isPattern() && c->alpha > 0; }

void roundedRect(cairo_t* cr, const CGRect& r, CGFloat radius) {
    CGFloat x = r.origin.x, y = r.origin.y, w = r.size.width, h = r.size.height;
    radius = std::min({radius, w / 2, h / 2});
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void applyMatrix(cairo_t* cr, const CGAffineTransform& t) {
    cairo_matrix_t m = toCairoMatrix(t);
    cairo_transform(cr, &m);
}

bool invertible(const CGAffineTransform& t) { return std::abs(t.a * t.d - t.b * t.c) > 1e-12; }

// Where an image of the size goes in the bounds under the gravity.
CGRect gravityRect(CAContentsGravity g, const CGRect& b, CGSize s) {
    CGFloat bw = b.size.width, bh = b.size.height;
    switch (g) {
    case CAContentsGravity::Resize: return b;
    case CAContentsGravity::ResizeAspect:
    case CAContentsGravity::ResizeAspectFill: {
        if (s.width <= 0 || s.height <= 0) return b;
        CGFloat k = g == CAContentsGravity::ResizeAspect ? std::min(bw / s.width, bh / s.height)
                                                         : std::max(bw / s.width, bh / s.height);
        CGSize d{s.width * k, s.height * k};
        return {{b.origin.x + (bw - d.width) / 2, b.origin.y + (bh - d.height) / 2}, d};
    }
    default: break;
    }
    CGFloat x = b.origin.x + (bw - s.width) / 2, y = b.origin.y + (bh - s.height) / 2;
    switch (g) {
    case CAContentsGravity::Top: y = b.origin.y; break;
    case CAContentsGravity::Bottom: y = b.origin.y + bh - s.height; break;
    case CAContentsGravity::Left: x = b.origin.x; break;
    case CAContentsGravity::Right: x = b.origin.x + bw - s.width; break;
    case CAContentsGravity::TopLeft: x = b.origin.x; y = b.origin.y; break;
    case CAContentsGravity::TopRight: x = b.origin.x + bw - s.width; y = b.origin.y; break;
    case CAContentsGravity::BottomLeft: x = b.origin.x; y = b.origin.y + bh - s.height; break;
    case CAContentsGravity::BottomRight: x = b.origin.x + bw - s.width; y = b.origin.y + bh - s.height; break;
    default: break;
    }
    return {{x, y}, s};
}

bool wholePixel(double v) { return std::isfinite(v) && std::abs(v - std::round(v)) < 1e-6 && std::abs(v) < (1 << 23); }

// Clips to fewer whole device pixels, keeping all whose colour can come from the bitmap's ink when
// it is drawn through `cr`'s matrix (bitmap pixels to device space); false when none can. Outside
// them every sample the scaler takes reads zero pixels only, so OVER leaves them as they were. A
// sample reads the bitmap pixels within half its filter's width of where it falls: a device
// pixel's worth of bitmap pixels, at most 16 (Cairo's cap on the filter), plus the interpolation's
// own pixel; the margin here is wider. A side whose margin reaches the bitmap's edge is not cut, as
// the edge pixels repeat beyond it. The clip's extents are cut by the same whole pixels on both
// sides of each axis: Cairo fits the scaler's fixed-point transform at their centre, so a centre
// that stays gives the same samples.
bool clipToInk(cairo_t* cr, const PixelBox& ink, int w, int h) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xy != 0 || m.yx != 0 || m.xx == 0 || m.yy == 0) return true;  // turned: not cut
    const double across = std::max({1.0, 1 / std::abs(m.xx), 1 / std::abs(m.yy)});
    const int margin = static_cast<int>(std::ceil(std::min(16.0, across))) + 3;
    double cx0, cy0, cx1, cy1;
    cairo_identity_matrix(cr);
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    // One axis: how many pixels can go from each end of the clip's extents; none when the ink
    // with its margin lies outside them.
    auto trim = [margin](int from, int to, int size, double scale, double offset, double low, double high) {
        const bool openLow = from - margin <= 0, openHigh = to + margin >= size;
        double a = scale * (from - margin) + offset, b = scale * (to + margin) + offset;
        bool openA = openLow, openB = openHigh;
        if (scale < 0) std::swap(a, b), std::swap(openA, openB);
        a = std::floor(a) - 1, b = std::ceil(b) + 1;
        if ((!openA && a >= high) || (!openB && b <= low)) return std::optional<double>();
        const double keep = std::min(openA ? 0.0 : a - low, openB ? 0.0 : high - b);
        return std::optional<double>(std::max(0.0, keep));
    };
    const bool whole = wholePixel(cx0) && wholePixel(cy0) && wholePixel(cx1) && wholePixel(cy1);
    auto kx = trim(ink.x0, ink.x1, w, m.xx, m.x0, cx0, cx1);
    auto ky = trim(ink.y0, ink.y1, h, m.yy, m.y0, cy0, cy1);
    const bool any = kx && ky;
    if (any && whole && (*kx > 0 || *ky > 0)) {
        cairo_rectangle(cr, cx0 + *kx, cy0 + *ky, cx1 - cx0 - 2 * *kx, cy1 - cy0 - 2 * *ky);
        cairo_clip(cr);
    }
    cairo_set_matrix(cr, &m);
    return any;
}

// How far (in bitmap pixels) the samples of a bitmap shown at its own size reach: bilinear
// filtering reads the next pixel; the rest is to spare.
constexpr double kSampleReach = 3;
// How far from 1 the scale of a layer's bitmap to the device may be and still count as its own
// size: a bitmap is a whole number of pixels, up to one more than its bounds take. (Layers shown
// scaled by more, in a pop-up's grow say, are sampled through other filters and keep the whole
// composite: cutting theirs moved some pixels by a level or two.)
constexpr double kStretchOfRoundedSize = 0.002;

// Draws the bitmap stretched over the rectangle. Of a layer's own bitmap (`store`) only what its
// drawing touched is composited, since elsewhere it lays nothing but transparent black over what
// is there. Shown at its own size but off the device pixels (a label at a fractional place, or its
// bitmap a fraction wider than its bounds) it would be sampled pixel by pixel, the costliest way:
// it is clipped to the whole device pixels whose samples can reach a drawn pixel. Shown scaled (a
// pop-up's grow), the clip is cut as clipToInk keeps the scaler's samples.
void drawSurfaceInRect(cairo_t* cr, cairo_surface_t* surface, const CGRect& rect, LayerBackingStore* store = nullptr) {
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    if (w <= 0 || h <= 0 || rect.size.width <= 0 || rect.size.height <= 0) return;
    if (cairo_get_operator(cr) != CAIRO_OPERATOR_OVER) store = nullptr;
    // The bitmap's pixels to the device, as the translation and scale below make it.
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_matrix_translate(&m, rect.origin.x, rect.origin.y);
    cairo_matrix_scale(&m, rect.size.width / w, rect.size.height / h);
    auto near1 = [](double k) { return std::abs(k - 1) < kStretchOfRoundedSize; };
    const bool onPixels = m.xx == 1 && m.yy == 1 && m.x0 == std::round(m.x0) && m.y0 == std::round(m.y0);
    const bool betweenPixels = store && m.xy == 0 && m.yx == 0 && near1(m.xx) && near1(m.yy) && !onPixels &&
                               std::isfinite(m.x0) && std::isfinite(m.y0);
    PixelBox ink;
    // The whole device pixels whose samples can reach a drawn pixel.
    double reachX0 = 0, reachY0 = 0, reachX1 = 0, reachY1 = 0;
    if (betweenPixels) {
        ink = store->drawnPixels();
        if (ink.empty()) return;
        reachX0 = ink.x0 - kSampleReach, reachY0 = ink.y0 - kSampleReach;
        reachX1 = ink.x1 + kSampleReach, reachY1 = ink.y1 + kSampleReach;
        cairo_matrix_transform_point(&m, &reachX0, &reachY0);
        cairo_matrix_transform_point(&m, &reachX1, &reachY1);
        reachX0 = std::floor(reachX0), reachY0 = std::floor(reachY0);
        reachX1 = std::ceil(reachX1), reachY1 = std::ceil(reachY1);
        const bool inRange = std::max({std::abs(reachX0), std::abs(reachY0), std::abs(reachX1), std::abs(reachY1)}) < 1e8;
        if (inRange && LayerRenderer::shortcuts()) {
            const cairo_rectangle_t bounds{rect.origin.x, rect.origin.y, rect.size.width, rect.size.height};
            const PixelBox reach{static_cast<int>(reachX0), static_cast<int>(reachY0), static_cast<int>(reachX1),
                                 static_cast<int>(reachY1)};
            if (paintResampled(cr, {surface, m, ink, bounds, reach})) return;
        }
    }
    CairoSave save(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cr);
    cairo_translate(cr, rect.origin.x, rect.origin.y);
    cairo_scale(cr, rect.size.width / w, rect.size.height / h);
    if (betweenPixels) {
        cairo_identity_matrix(cr);
        cairo_rectangle(cr, reachX0, reachY0, reachX1 - reachX0, reachY1 - reachY0);
        cairo_clip(cr);
        cairo_set_matrix(cr, &m);
    } else if (store && LayerRenderer::shortcuts()) {
        ink = store->drawnPixels();
        if (ink.empty()) return;
        const bool whole = ink.x0 == 0 && ink.y0 == 0 && ink.x1 == w && ink.y1 == h;
        if (!whole && !clipToInk(cr, ink, w, h)) return;
    }
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
}

void drawContents(cairo_t* cr, const CALayer& layer) {
    auto image = shown(layer, &CALayerPresentation::contents, layer.contents());
    if (!image) return;
    cairo_surface_t* surface = createSurfaceForImage(*image);
    if (!surface) return;
    CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
    CGSize size{image->width() / scale, image->height() / scale};
    drawSurfaceInRect(cr, surface, gravityRect(layer.contentsGravity(), shownBounds(layer), size));
    cairo_surface_destroy(surface);
}

void drawShape(cairo_t* cr, const CAShapeLayer& shape) {
    const CALayerPresentation* p = presentationOf(shape);
    std::optional<CGPath> shownPath = p && p->path ? p->path : shape.path();
    if (!shownPath) return;
    const CGPath& path = *shownPath;
    auto fillColor = shown(shape, &CALayerPresentation::fillColor, shape.fillColor());
    auto strokeColor = shown(shape, &CALayerPresentation::strokeColor, shape.strokeColor());
    CGFloat lineWidth = shown(shape, &CALayerPresentation::lineWidth, shape.lineWidth());
    CGFloat strokeStart = std::clamp<CGFloat>(shown(shape, &CALayerPresentation::strokeStart, shape.strokeStart()), 0, 1);
    CGFloat strokeEnd = std::clamp<CGFloat>(shown(shape, &CALayerPresentation::strokeEnd, shape.strokeEnd()), 0, 1);
    if (visible(fillColor)) {
        cairo_new_path(cr);
        appendPath(cr, path, false);
        cairo_set_fill_rule(cr, shape.fillRule() == CAFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        setColor(cr, *fillColor);
        cairo_fill(cr);
    }
    if (visible(strokeColor) && lineWidth > 0 && strokeEnd > strokeStart) {
        bool trimmed = strokeStart > 0 || strokeEnd < 1;
        CGPath stroked = trimmed ? path.trimmed(strokeStart, strokeEnd) : path;
        cairo_new_path(cr);
        appendPath(cr, stroked, false);
        cairo_set_line_width(cr, lineWidth);
        cairo_set_line_cap(cr, shape.lineCap() == CGLineCap::Round    ? CAIRO_LINE_CAP_ROUND
                               : shape.lineCap() == CGLineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                                      : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, shape.lineJoin() == CGLineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                                : shape.lineJoin() == CGLineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                        : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr, shape.miterLimit());
        const auto& dash = shape.lineDashPattern();
        bool dashOk = !dash.empty() && std::all_of(dash.begin(), dash.end(), [](CGFloat d) { return d >= 0; }) &&
                      std::any_of(dash.begin(), dash.end(), [](CGFloat d) { return d > 0; });
        if (dashOk) cairo_set_dash(cr, dash.data(), static_cast<int>(dash.size()), shape.lineDashPhase());
        setColor(cr, *strokeColor);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_new_path(cr);
}

void drawGradient(cairo_t* cr, const CAGradientLayer& g) {
    // Running animations of the colours or locations show their presented values (also when the
    // gradient is another layer's mask).
    auto stops = CAGradientLayer::stopsOf(shown(g, &CALayerPresentation::colors, g.colors()),
                                          shown(g, &CALayerPresentation::locations, g.locations()));
    if (stops.empty()) return;
    CGRect b = shownBounds(g);
    CGPoint s = g.startPoint(), e = g.endPoint();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(b.origin.x + s.x * b.size.width, b.origin.y + s.y * b.size.height,
                                                           b.origin.x + e.x * b.size.width, b.origin.y + e.y * b.size.height);
    for (const auto& [at, c] : stops) cairo_pattern_add_color_stop_rgba(pattern, at, c.red, c.green, c.blue, c.alpha);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    CairoSave save(cr);
    roundedRect(cr, b, shown(g, &CALayerPresentation::cornerRadius, g.cornerRadius()));
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void drawBacking(cairo_t* cr, const CALayer& layer) {
    const auto& backing = layer.backingStore();
    if (!backing || !backing->surface) return;
    // Until it is drawn again at a new size, the old drawing is fitted like contents.
    drawSurfaceInRect(cr, backing->surface, gravityRect(layer.contentsGravity(), shownBounds(layer), backing->size),
                      backing.get());
}

std::vector<CALayer*> paintOrder(const CALayer& layer) {
    std::vector<CALayer*> order;
    for (const auto& s : layer.sublayers()) order.push_back(s.get());
    std::stable_sort(order.begin(), order.end(), [](CALayer* a, CALayer* b) { return a->zPosition() < b->zPosition(); });
    return order;
}

std::size_t drawDimmedPicture(cairo_t* cr, const std::vector<CALayer*>& order, std::size_t first);

void renderSublayers(cairo_t* cr, CALayer& layer, CGFloat scale) {
    auto order = paintOrder(layer);
    auto* replicator = dynamic_cast<CAReplicatorLayer*>(&layer);
    if (!replicator) {
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (std::size_t drawn = drawDimmedPicture(cr, order, i)) {
                i += drawn - 1;
                continue;
            }
            LayerRenderer::renderLayer(cr, *order[i], scale);
        }
        return;
    }
    // Each copy is drawn through one more instance transform, applied about the anchor point.
    CGRect b = shownBounds(layer);
    CGPoint a{b.origin.x + layer.anchorPoint().x * b.size.width, b.origin.y + layer.anchorPoint().y * b.size.height};
    CGAffineTransform step = CATransform3DFlatten(replicator->instanceTransform(), b);
    CGAffineTransform acc = CGAffineTransformIdentity;
    long count = std::min(replicator->instanceCount(), 10000L);
    for (long i = 0; i < count; ++i) {
        double alpha = std::clamp(1.0 + i * static_cast<double>(replicator->instanceAlphaOffset()), 0.0, 1.0);
        if (alpha > 0 && invertible(acc)) {
            CairoSave save(cr);
            cairo_translate(cr, a.x, a.y);
            applyMatrix(cr, acc);
            cairo_translate(cr, -a.x, -a.y);
            if (alpha < 1) cairo_push_group(cr);
            for (CALayer* s : order) LayerRenderer::renderLayer(cr, *s, scale);
            if (alpha < 1) {
                cairo_pop_group_to_source(cr);
                cairo_paint_with_alpha(cr, alpha);
            }
        }
        acc = CGAffineTransformConcat(acc, step);
    }
}

// Whether the layer's shadow group had this size the last time it was drawn (main-thread
// drawing and snapshots each keep their own record).
bool shadowGroupSettled(const CALayer& layer, int w, int h) {
    thread_local std::unordered_map<const CALayer*, std::pair<int, int>> lastSize;
    if (lastSize.size() > 4096) lastSize.clear();  // layers gone long ago
    auto [it, added] = lastSize.try_emplace(&layer, w, h);
    if (added) return false;
    bool same = it->second == std::make_pair(w, h);
    it->second = {w, h};
    return same;
}

// A layer's blurred, tinted shadow and where it goes, in device pixels.
struct CastShadow {
    cairo_surface_t* surface = nullptr;
    double x = 0, y = 0;
    int width = 0, height = 0;
};

// The shadow of a group's alpha: blurred and tinted, offset by the layer's shadow offset.
CastShadow makeShadow(cairo_pattern_t* group, const CALayer& layer, CGFloat scale) {
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
    const double opacity = c.alpha * shown(layer, &CALayerPresentation::shadowOpacity, layer.shadowOpacity());
    const bool settled = shadowGroupSettled(layer, w, h);
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
        const int fromStride = cairo_image_surface_get_stride(source), toStride = cairo_image_surface_get_stride(shadow);
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

// The blurred pixels under a backdrop layer, captured before the layer draws (device space).
struct Backdrop {
    const CALayer* layer = nullptr;
    cairo_surface_t* surface = nullptr;
    double x = 0, y = 0;
};
thread_local Backdrop pendingBackdrop;

void dropBackdrop() {
    if (pendingBackdrop.surface) cairo_surface_destroy(pendingBackdrop.surface);
    pendingBackdrop = {};
}

void captureBackdrop(cairo_t* cr, const CABackdropLayer& layer, CGFloat scale) {
    dropBackdrop();
    if (drawingModel || layer.kind() != CABackdropKind::Blur || !(layer.blurRadius() > 0)) return;
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return;
    cairo_surface_flush(target);
    CGRect b = shownBounds(layer);
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
    int x0 = std::max(0, static_cast<int>(std::floor(minX + ox))), y0 = std::max(0, static_cast<int>(std::floor(minY + oy)));
    int x1 = std::min(tw, static_cast<int>(std::ceil(maxX + ox))), y1 = std::min(th, static_cast<int>(std::ceil(maxY + oy)));
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
    blurSurface(copy, layer.blurRadius() * scale);
    pendingBackdrop = {&layer, copy, x0 - ox, y0 - oy};
}

// Paints the captured backdrop inside the layer's (rounded) bounds, then the effect's tint.
void drawBackdrop(cairo_t* cr, const CABackdropLayer& layer, const CGRect& b, CGFloat radius) {
    if (pendingBackdrop.layer == &layer && pendingBackdrop.surface) {
        CairoSave save(cr);
        roundedRect(cr, b, radius);
        cairo_clip(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, pendingBackdrop.surface, pendingBackdrop.x, pendingBackdrop.y);
        cairo_paint(cr);
    }
    if (pendingBackdrop.layer == &layer) dropBackdrop();
    if (auto tint = layer.tintColor(); visible(tint) && layer.kind() == CABackdropKind::Blur) {
        roundedRect(cr, b, radius);
        setColor(cr, *tint);
        cairo_fill(cr);
    }
}

bool hasShadow(const CALayer& layer) {
    return shown(layer, &CALayerPresentation::shadowOpacity, layer.shadowOpacity()) > 0 &&
           visible(layer.shadowColor()) && !layer.masksToBounds();
}

// The area a layer and everything under it can draw into, in the layer's own space, with a point
// to spare for antialiasing; none when that cannot be bounded (a replicator's copies).
std::optional<CGRect> drawnExtent(const CALayer& layer) {
    if (dynamic_cast<const CAReplicatorLayer*>(&layer)) return std::nullopt;
    const CGRect b = shownBounds(layer);
    CGRect extent = b;
    if (auto image = shown(layer, &CALayerPresentation::contents, layer.contents())) {
        CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
        extent = CGRectUnion(extent, gravityRect(layer.contentsGravity(), b, {image->width() / scale, image->height() / scale}));
    }
    if (const auto& backing = layer.backingStore(); backing && backing->surface)
        extent = CGRectUnion(extent, gravityRect(layer.contentsGravity(), b, backing->size));
    if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer); shape && shape->path()) {
        // A stroke reaches half its width past the path, and a mitred corner up to the miter limit.
        CGFloat line = shown(*shape, &CALayerPresentation::lineWidth, shape->lineWidth());
        CGFloat reach = std::max<CGFloat>(line, 0) / 2 * std::max<CGFloat>(shape->miterLimit(), 1);
        CGRect box = shape->path()->boundingBox();
        if (!CGRectIsNull(box)) extent = CGRectUnion(extent, CGRectInset(box, -reach, -reach));
    }
    if (layer.masksToBounds()) return CGRectInset(b, -1, -1);
    for (const auto& sub : layer.sublayers()) {
        float opacity = shown(*sub, &CALayerPresentation::opacity, sub->opacity());
        if (sub->isHidden() || !(opacity > 0)) continue;
        CGAffineTransform t = drawingModel ? sub->transformToSuperlayer() : sub->presentedTransformToSuperlayer();
        if (!invertible(t)) continue;
        auto inner = drawnExtent(*sub);
        if (!inner) return std::nullopt;
        CGRect own = *inner;
        if (hasShadow(*sub)) {
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

// The whole device pixels that a rectangle in user space covers, within the clip (from the clip's
// own top left corner with `fromClipOrigin`); none when they cannot be had.
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

// Clips to whole device pixels (a region, so what is drawn inside is composited the same way as
// without it); the caller restores.
void clipToPixels(cairo_t* cr, const CGRect& pixels) {
    cairo_save(cr);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, pixels.origin.x, pixels.origin.y, pixels.size.width, pixels.size.height);
    cairo_clip(cr);
    cairo_set_matrix(cr, &m);
}

// The pixels of the target `cr` draws on, for compositing on them directly: an ARGB32 image, its
// device offset (whole pixels) and the clip as whole-pixel boxes of its own pixels. None when the
// kernels do not run here, or the target or the clip is of another kind (Cairo then draws).
struct DirectTarget {
    cairo_surface_t* surface = nullptr;
    unsigned char* data = nullptr;
    int stride = 0;
    int offsetX = 0, offsetY = 0;  // a device pixel's column and row in the surface: add these
    std::vector<PixelBox> clip;
};

std::optional<DirectTarget> directTarget(cairo_t* cr) {
    if (!pixel_compose::available() || !LayerRenderer::shortcuts()) return std::nullopt;
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return std::nullopt;
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(target, &ox, &oy);
    if (!wholePixel(ox) || !wholePixel(oy)) return std::nullopt;
    DirectTarget t;
    t.surface = target;
    t.offsetX = static_cast<int>(std::lround(ox));
    t.offsetY = static_cast<int>(std::lround(oy));
    const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    cairo_set_matrix(cr, &m);
    bool ok = clip->status == CAIRO_STATUS_SUCCESS;
    for (int i = 0; ok && i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        ok = wholePixel(r.x) && wholePixel(r.y) && wholePixel(r.x + r.width) && wholePixel(r.y + r.height);
        if (!ok) break;
        PixelBox box{std::max(0, int(std::lround(r.x)) + t.offsetX),
                                  std::max(0, int(std::lround(r.y)) + t.offsetY),
                                  std::min(w, int(std::lround(r.x + r.width)) + t.offsetX),
                                  std::min(h, int(std::lround(r.y + r.height)) + t.offsetY)};
        if (!box.empty()) t.clip.push_back(box);
    }
    cairo_rectangle_list_destroy(clip);
    if (!ok) return std::nullopt;
    cairo_surface_flush(target);
    t.data = cairo_image_surface_get_data(target);
    t.stride = cairo_image_surface_get_stride(target);
    if (!t.data) return std::nullopt;
    return t;
}

// A translucent layer that is nothing but a square fill on whole device pixels (a dimming
// backdrop) is composited without a group. The group would hold the fill's pixel everywhere
// inside and be painted through the opacity as an 8-bit mask (the opacity's 16 bits, top byte);
// that pixel is made once on a one-pixel surface, multiplied by the mask as the compositing
// would, and laid over the same pixels as a solid colour, which composites alike.
struct PlainFill {
    PixelBox device;  // whole device pixels
    std::uint32_t colour = 0;      // premultiplied; 0 when the layer draws nothing
};

// The fill such a layer lays, drawn on `cr` (its matrix already through the layer's transform);
// none when the layer is not one.
std::optional<PlainFill> plainFill(cairo_t* cr, const CALayer& layer, float opacity) {
    if (layer.mask() || !layer.sublayers().empty() || layer.backingStore() ||
        shown(layer, &CALayerPresentation::contents, layer.contents()) || dynamic_cast<const CAShapeLayer*>(&layer) ||
        dynamic_cast<const CAGradientLayer*>(&layer) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return std::nullopt;
    if (shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius()) != 0) return std::nullopt;
    CGFloat borderWidth = shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    if (borderWidth > 0 && shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0)
        return std::nullopt;
    auto background = shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (!visible(background)) return PlainFill{};  // draws nothing
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xy != 0 || m.yx != 0) return std::nullopt;
    const CGRect b = shownBounds(layer);
    double x0 = b.origin.x, y0 = b.origin.y, x1 = CGRectGetMaxX(b), y1 = CGRectGetMaxY(b);
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    if (!wholePixel(x0) || !wholePixel(y0) || !wholePixel(x1) || !wholePixel(y1)) return std::nullopt;
    cairo_surface_t* pixel = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    if (cairo_surface_status(pixel) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(pixel);
        return std::nullopt;
    }
    cairo_t* pc = cairo_create(pixel);
    cairo_rectangle(pc, 0, 0, 1, 1);
    setColor(pc, *background);
    cairo_fill(pc);
    cairo_destroy(pc);
    cairo_surface_flush(pixel);
    std::uint32_t value;
    std::memcpy(&value, cairo_image_surface_get_data(pixel), sizeof value);
    cairo_surface_destroy(pixel);
    const auto mask = static_cast<std::uint32_t>(static_cast<std::uint16_t>(double(opacity) * 65535.0 + 0.5) >> 8);
    auto through = [mask](std::uint32_t c) {
        std::uint32_t t = c * mask + 0x80;
        return (t + (t >> 8)) >> 8;
    };
    const std::uint32_t a = through(value >> 24), r = through((value >> 16) & 0xFF), g = through((value >> 8) & 0xFF),
                        bl = through(value & 0xFF);
    PlainFill fill;
    if (a == 0) return fill;
    fill.colour = (a << 24) | (r << 16) | (g << 8) | bl;
    fill.device = {int(std::lround(std::min(x0, x1))), int(std::lround(std::min(y0, y1))),
                   int(std::lround(std::max(x0, x1))), int(std::lround(std::max(y0, y1)))};
    return fill;
}

PixelBox intersect(const PixelBox& a, const PixelBox& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

bool paintPlainFill(cairo_t* cr, CALayer& layer, float opacity) {
    auto fill = plainFill(cr, layer, opacity);
    if (!fill) return false;
    const std::uint32_t colour = fill->colour, a = colour >> 24;
    if (a == 0) return true;
    if (auto target = directTarget(cr)) {
        const PixelBox own{fill->device.x0 + target->offsetX, fill->device.y0 + target->offsetY,
                                        fill->device.x1 + target->offsetX, fill->device.y1 + target->offsetY};
        for (const auto& box : target->clip) {
            const auto area = intersect(box, own);
            if (area.empty()) continue;
            for (int y = area.y0; y < area.y1; ++y)
                pixel_compose::overSolid(
                    reinterpret_cast<std::uint32_t*>(target->data + static_cast<std::size_t>(y) * target->stride) +
                        area.x0,
                    area.x1 - area.x0, colour);
        }
        cairo_surface_mark_dirty(target->surface);
        return true;
    }
    const std::uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, bl = colour & 0xFF;
    CairoSave save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, fill->device.x0, fill->device.y0, fill->device.x1 - fill->device.x0,
                    fill->device.y1 - fill->device.y0);
    cairo_clip(cr);
    // Colours given unpremultiplied: each 16-bit channel comes out as the byte times 257.
    cairo_set_source_rgba(cr, double(r) / a, double(g) / a, double(bl) / a, a / 255.0);
    cairo_paint(cr);
    return true;
}

// A layer that draws nothing but its contents, a picture laid unscaled on whole device pixels
// through `toDevice` (the matrix renderLayer finds on its context): its pixels and where the
// picture's top left pixel goes in device space.
struct PlainPicture {
    std::shared_ptr<CGImage> image;
    int x = 0, y = 0;
};

std::optional<PlainPicture> plainPicture(const CALayer& layer, const cairo_matrix_t& toDevice) {
    float opacity = shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || opacity < 1 || layer.mask() || hasShadow(layer) || !layer.sublayers().empty() ||
        layer.backingStore() || dynamic_cast<const CAShapeLayer*>(&layer) ||
        dynamic_cast<const CAGradientLayer*>(&layer) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return std::nullopt;
    if (visible(shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor()))) return std::nullopt;
    CGFloat borderWidth = shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    if (borderWidth > 0 && shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0)
        return std::nullopt;
    auto image = shown(layer, &CALayerPresentation::contents, layer.contents());
    if (!image || image->layout() != CGImagePixelLayout::BGRA8Premultiplied || image->bytesPerRow() % 4 != 0 ||
        image->bytesPerRow() < std::size_t(image->width()) * 4)
        return std::nullopt;
    CGAffineTransform t = drawingModel ? layer.transformToSuperlayer() : layer.presentedTransformToSuperlayer();
    cairo_matrix_t own = toCairoMatrix(t), m;
    cairo_matrix_multiply(&m, &own, &toDevice);
    if (m.xy != 0 || m.yx != 0 || !(m.xx > 0) || !(m.yy > 0)) return std::nullopt;
    const CGRect b = shownBounds(layer);
    const CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
    const CGRect rect = gravityRect(layer.contentsGravity(), b, {image->width() / scale, image->height() / scale});
    // Clipped to rounded bounds, or to bounds that cut the picture, it is not plain.
    if (layer.masksToBounds() && (shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius()) != 0 ||
                                  !CGRectContainsRect(b, rect)))
        return std::nullopt;
    const double x = m.xx * rect.origin.x + m.x0, y = m.yy * rect.origin.y + m.y0;
    if (!wholePixel(x) || !wholePixel(y) || std::abs(m.xx * rect.size.width - image->width()) > 1e-6 ||
        std::abs(m.yy * rect.size.height - image->height()) > 1e-6)
        return std::nullopt;
    return PlainPicture{image, int(std::lround(x)), int(std::lround(y))};
}

// Whether renderLayer draws nothing at all for the layer.
bool drawsNothing(const CALayer& layer) {
    float opacity = shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || !(opacity > 0)) return true;
    CGAffineTransform t = drawingModel ? layer.transformToSuperlayer() : layer.presentedTransformToSuperlayer();
    if (!invertible(t)) return true;
    if (layer.mask() || hasShadow(layer) || !layer.sublayers().empty() || layer.backingStore() ||
        shown(layer, &CALayerPresentation::contents, layer.contents()) || dynamic_cast<const CAShapeLayer*>(&layer) ||
        dynamic_cast<const CAGradientLayer*>(&layer) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    if (visible(shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor()))) return false;
    CGFloat borderWidth = shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    return !(borderWidth > 0 && shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0);
}

// A plain picture with a translucent plain fill over it (a dimmed backdrop; layers between them
// drawing nothing) composited in one pass over the target's pixels: Cairo would lay the picture
// (an unscaled copy through OVER) and then go over every pixel again for the fill. Answers how
// many layers from `first` on it drew, 0 when they are not such a pair.
std::size_t drawDimmedPicture(cairo_t* cr, const std::vector<CALayer*>& order, std::size_t first) {
    if (!pixel_compose::available() || !LayerRenderer::shortcuts()) return 0;
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    auto picture = plainPicture(*order[first], ctm);
    if (!picture) return 0;
    std::size_t next = first + 1;
    while (next < order.size() && drawsNothing(*order[next])) ++next;
    if (next == order.size()) return 0;
    CALayer& dim = *order[next];
    const float opacity = std::clamp(shown(dim, &CALayerPresentation::opacity, dim.opacity()), 0.0f, 1.0f);
    // Only a translucent layer without a shadow is drawn as a plain fill.
    if (!(opacity < 1) || hasShadow(dim)) return 0;
    std::optional<PlainFill> fill;
    {
        CairoSave save(cr);
        applyMatrix(cr, drawingModel ? dim.transformToSuperlayer() : dim.presentedTransformToSuperlayer());
        fill = plainFill(cr, dim, opacity);
    }
    if (!fill) return 0;
    auto target = directTarget(cr);
    if (!target) return 0;
    const CGImage& image = *picture->image;
    const int ox = target->offsetX, oy = target->offsetY;
    const PixelBox pictureBox{picture->x + ox, picture->y + oy, picture->x + ox + image.width(),
                                           picture->y + oy + image.height()};
    PixelBox fillBox;
    if (fill->colour) fillBox = {fill->device.x0 + ox, fill->device.y0 + oy, fill->device.x1 + ox, fill->device.y1 + oy};
    for (const auto& box : target->clip) {
        for (int y = box.y0; y < box.y1; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(target->data + static_cast<std::size_t>(y) * target->stride);
            const bool pictureRow = y >= pictureBox.y0 && y < pictureBox.y1;
            const bool fillRow = y >= fillBox.y0 && y < fillBox.y1;
            const int pa = pictureRow ? std::max(box.x0, pictureBox.x0) : box.x1;
            const int pb = pictureRow ? std::min(box.x1, pictureBox.x1) : box.x1;
            const int fa = fillRow ? std::max(box.x0, fillBox.x0) : box.x1;
            const int fb = fillRow ? std::min(box.x1, fillBox.x1) : box.x1;
            int cuts[] = {box.x0, box.x1, std::clamp(pa, box.x0, box.x1), std::clamp(pb, box.x0, box.x1),
                          std::clamp(fa, box.x0, box.x1), std::clamp(fb, box.x0, box.x1)};
            std::sort(std::begin(cuts), std::end(cuts));
            for (int i = 0; i + 1 < 6; ++i) {
                const int u = cuts[i], v = cuts[i + 1];
                if (u >= v) continue;
                const bool inPicture = pa < pb && pa <= u && v <= pb, inFill = fa < fb && fa <= u && v <= fb;
                if (inPicture) {
                    const auto* source = reinterpret_cast<const std::uint32_t*>(image.row(y - pictureBox.y0)) +
                                         (u - pictureBox.x0);
                    pixel_compose::overPictureThenSolid(row + u, source, v - u, inFill ? fill->colour : 0);
                } else if (inFill) {
                    pixel_compose::overSolid(row + u, v - u, fill->colour);
                }
            }
        }
    }
    cairo_surface_mark_dirty(target->surface);
    return next - first + 1;
}

// Whether the layer, drawn through `toDevice` (the matrix renderLayer finds on its context), sets
// every pixel of `pixels` (device space, whole pixels) to an opaque colour whatever was there
// before: an opaque square background on whole pixels of an unclipped, ungrouped chain. `clip` is
// the device area its ancestors' bounds clip it to.
bool opaqueCover(const CALayer& layer, const cairo_matrix_t& toDevice, const CGRect& pixels, const CGRect& clip) {
    float opacity = shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || opacity < 1) return false;
    // Groups (a mask, a shadow), copies and blended sublayers composite in ways this does not follow.
    if (layer.mask() || hasShadow(layer) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    CGAffineTransform t = drawingModel ? layer.transformToSuperlayer() : layer.presentedTransformToSuperlayer();
    if (!invertible(t)) return false;
    cairo_matrix_t own = toCairoMatrix(t), m;
    cairo_matrix_multiply(&m, &own, &toDevice);
    if (m.xy != 0 || m.yx != 0) return false;  // turned: its edges are not along the pixels
    const CGRect b = shownBounds(layer);
    double x0 = b.origin.x, y0 = b.origin.y, x1 = CGRectGetMaxX(b), y1 = CGRectGetMaxY(b);
    cairo_matrix_transform_point(&m, &x0, &y0);
    cairo_matrix_transform_point(&m, &x1, &y1);
    const CGRect device = CGRectMake(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
    const CGFloat radius = shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius());
    auto covers = [&pixels](const CGRect& r) {
        constexpr double e = 1e-6;
        return !CGRectIsNull(r) && r.origin.x <= pixels.origin.x + e && r.origin.y <= pixels.origin.y + e &&
               CGRectGetMaxX(r) >= CGRectGetMaxX(pixels) - e && CGRectGetMaxY(r) >= CGRectGetMaxY(pixels) - e;
    };
    auto background = shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (background && !background->isPattern() && background->alpha >= 1 && radius == 0 &&
        covers(CGRectIntersection(device, clip)))
        return true;
    if (layer.masksToBounds() && radius != 0) return false;
    const CGRect inner = layer.masksToBounds() ? CGRectIntersection(clip, device) : clip;
    if (!covers(inner)) return false;
    for (const auto& sub : layer.sublayers())
        if (opaqueCover(*sub, m, pixels, inner)) return true;
    return false;
}

}  // namespace

void LayerRenderer::renderContents(cairo_t* cr, CALayer& layer, CGFloat scale) {
    CGRect b = shownBounds(layer);
    CGFloat radius = shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius());
    auto* backdrop = dynamic_cast<CABackdropLayer*>(&layer);
    if (backdrop) drawBackdrop(cr, *backdrop, b, radius);
    auto background = shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (visible(background)) {
        // Square fills are cut to the visible area first: Cairo's fixed-point coordinates cannot
        // hold a rectangle millions of points wide.
        double x0, y0, x1, y1;
        cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
        CGRect visibleRect = radius > 0 ? b : CGRectIntersection(b, CGRectMake(x0, y0, x1 - x0, y1 - y0));
        if (CGRectIsNull(visibleRect)) visibleRect = CGRectZero;
        roundedRect(cr, visibleRect, radius);
        setColor(cr, *background);
        cairo_fill(cr);
    }
    {
        CairoSave save(cr);
        if (layer.masksToBounds()) {
            roundedRect(cr, b, radius);
            cairo_clip(cr);
        }
        drawContents(cr, layer);
        drawBacking(cr, layer);
        if (auto* shape = dynamic_cast<CAShapeLayer*>(&layer)) drawShape(cr, *shape);
        if (auto* gradient = dynamic_cast<CAGradientLayer*>(&layer)) drawGradient(cr, *gradient);
        if (backdrop && backdrop->kind() == CABackdropKind::Vibrancy) {
            // Vibrant content is blended into what lies beneath rather than laid over it: it
            // darkens a light blur and lightens a dark one.
            auto tint = backdrop->tintColor();
            bool lightBlur = !tint || (tint->red + tint->green + tint->blue) / 3 > 0.5;
            cairo_push_group(cr);
            renderSublayers(cr, layer, scale);
            cairo_pop_group_to_source(cr);
            cairo_set_operator(cr, lightBlur ? CAIRO_OPERATOR_MULTIPLY : CAIRO_OPERATOR_SCREEN);
            cairo_paint(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        } else {
            renderSublayers(cr, layer, scale);
        }
    }
    CGFloat borderWidth = shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    CGColor borderColor = shown(layer, &CALayerPresentation::borderColor, layer.borderColor());
    if (borderWidth > 0 && borderColor.alpha > 0) {
        CGFloat w = std::min({borderWidth, b.size.width / 2, b.size.height / 2});
        roundedRect(cr, CGRectInset(b, w / 2, w / 2), std::max<CGFloat>(0, radius - w / 2));
        cairo_set_line_width(cr, w);
        setColor(cr, borderColor);
        cairo_stroke(cr);
    }
}

void LayerRenderer::renderLayer(cairo_t* cr, CALayer& layer, CGFloat scale) {
    float opacity = std::clamp(shown(layer, &CALayerPresentation::opacity, layer.opacity()), 0.0f, 1.0f);
    if (layer.isHidden() || opacity <= 0) return;
    CGAffineTransform t = drawingModel ? layer.transformToSuperlayer() : layer.presentedTransformToSuperlayer();
    if (!invertible(t)) return;  // a layer scaled to nothing shows nothing
    CairoSave save(cr);
    applyMatrix(cr, t);
    // A blur reads what is drawn beneath it before a group of its own would hide that.
    if (auto* backdrop = dynamic_cast<CABackdropLayer*>(&layer)) captureBackdrop(cr, *backdrop, scale);
    bool shadow = hasShadow(layer);
    bool group = opacity < 1 || layer.mask() || shadow;
    if (!group) {
        renderContents(cr, layer, scale);
        return;
    }
    if (!shadow && paintPlainFill(cr, layer, opacity)) return;
    // Other groups end at the whole device pixels the layer can draw into: a group spans the
    // clip otherwise (the damaged area, often the screen), and is cleared and composited over all
    // of it. They still start where the clip starts: the group's origin takes part in how a
    // scaled picture inside is sampled, and moving it would shift those samples by a rounding.
    // Within that, only the pixels the layer draws into are cleared and composited back.
    bool cutGroup = false;
    std::optional<cairo_rectangle_int_t> reach;
    if (!shadow) {
        if (auto own = drawnExtent(layer)) {
            if (auto pixels = devicePixels(cr, *own, true)) {
                auto inner = LayerRenderer::shortcuts() ? devicePixels(cr, *own, false) : std::nullopt;
                if (inner)
                    reach = cairo_rectangle_int_t{int(inner->origin.x), int(inner->origin.y), int(inner->size.width),
                                                  int(inner->size.height)};
                clipToPixels(cr, *pixels);
                cutGroup = true;
            }
        }
    }
    // A shadow blurs the whole group, so the group is kept to what the layer can draw: otherwise
    // it spans the clip (the damaged area, often the screen) and the blur with it. (Other groups
    // are not cut: an edge of their own changes how Cairo rounds the blend of text edges.)
    std::optional<CGRect> extent = shadow ? drawnExtent(layer) : std::nullopt;
    if (extent) {
        // Cut to the clip first: Cairo's fixed-point coordinates cannot hold a huge rectangle.
        double x0, y0, x1, y1;
        cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
        *extent = CGRectIntersection(*extent, CGRectMake(x0, y0, x1 - x0, y1 - y0));
        if (CGRectIsNull(*extent)) extent = CGRectZero;
        cairo_save(cr);
        cairo_rectangle(cr, extent->origin.x, extent->origin.y, extent->size.width, extent->size.height);
        cairo_clip(cr);
    }
    LayerGroup contentGroup(cr, reach ? &*reach : nullptr);
    cairo_t* gc = contentGroup.cr();
    renderContents(gc, layer, scale);
    if (auto mask = layer.mask()) {
        // Keep the content only where the mask (placed in this layer's space) has alpha.
        LayerGroup maskGroup(gc);
        renderLayer(maskGroup.cr(), *mask, scale);
        cairo_pattern_t* m = maskGroup.finish();
        cairo_set_operator(gc, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source(gc, m);
        cairo_paint(gc);
        cairo_set_operator(gc, CAIRO_OPERATOR_OVER);
        cairo_pattern_destroy(m);
    }
    cairo_pattern_t* content = contentGroup.finish();
    if (extent) cairo_restore(cr);
    bool cut = false;
    if (shadow) {
        CastShadow cast = makeShadow(content, layer, scale);
        // Nothing but the shadow and the content lies in the group that joins them, so it is cut
        // to the whole pixels they cover (in device space, where the clip keeps whole pixels).
        std::optional<CGRect> covered = patternPixels(content);
        if (covered && cast.surface)
            covered = CGRectUnion(*covered, CGRectMake(cast.x, cast.y, cast.width, cast.height));
        if (covered && std::isfinite(covered->origin.x) && std::isfinite(covered->origin.y)) {
            double x0 = std::floor(covered->origin.x), y0 = std::floor(covered->origin.y);
            double x1 = std::ceil(CGRectGetMaxX(*covered)), y1 = std::ceil(CGRectGetMaxY(*covered));
            cairo_save(cr);
            cut = true;
            cairo_matrix_t m;
            cairo_get_matrix(cr, &m);
            cairo_identity_matrix(cr);
            cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
            cairo_clip(cr);
            cairo_set_matrix(cr, &m);
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
    } else {
        cairo_set_source(cr, content);
        if (reach) {
            cairo_matrix_t m;
            cairo_get_matrix(cr, &m);
            cairo_identity_matrix(cr);
            cairo_rectangle(cr, reach->x, reach->y, reach->width, reach->height);
            cairo_clip(cr);
            cairo_set_matrix(cr, &m);
        }
    }
    cairo_paint_with_alpha(cr, opacity);
    cairo_pattern_destroy(content);
    if (cut || cutGroup) cairo_restore(cr);
}

void LayerRenderer::setShortcuts(bool on) { takeShortcuts = on; }
bool LayerRenderer::shortcuts() { return takeShortcuts; }

bool LayerRenderer::coversOpaquely(cairo_t* cr, CALayer& layer, const CGRect& pixels) {
    auto whole = [](double v) { return std::isfinite(v) && v == std::round(v); };
    if (!whole(pixels.origin.x) || !whole(pixels.origin.y) || !whole(pixels.size.width) || !whole(pixels.size.height) ||
        pixels.size.width <= 0 || pixels.size.height <= 0)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return opaqueCover(layer, m, pixels, CGRectInfinite());
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
    renderContents(cr, layer, scale);
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

// ---- CALayer drawing ----

void CALayer::display() {
    CGSize size = bounds_.size;
    CGFloat scale = contentsScale_ > 0 ? contentsScale_ : 1;
    int w = static_cast<int>(std::ceil(size.width * scale)), h = static_cast<int>(std::ceil(size.height * scale));
    bool hasDelegate = !delegate_.expired();
    // A layer without a size yet is drawn once it has one.
    needsDisplay_ = w <= 0 || h <= 0;
    if (w <= 0 || h <= 0 || double(w) * h > kMaxBackingPixels) {
        if (backing_) changed();
        backing_.reset();
        return;
    }
    // A bitmap of the same size that nothing else holds is cleared and drawn again: a fresh one
    // costs the kernel a new mapping and zeroing each time a layer draws (text of scrolled rows).
    std::shared_ptr<LayerBackingStore> store;
    if (backing_ && backing_.use_count() == 1 && backing_->surface && backing_->scale == scale &&
        cairo_surface_get_reference_count(backing_->surface) == 1 &&
        cairo_image_surface_get_width(backing_->surface) == w && cairo_image_surface_get_height(backing_->surface) == h) {
        store = backing_;
        cairo_surface_flush(store->surface);
        // Only the pixels the last drawing may have touched need clearing.
        unsigned char* data = cairo_image_surface_get_data(store->surface);
        const int stride = cairo_image_surface_get_stride(store->surface);
        if (auto drawn = store->mayBeDrawn()) clearPixels(data, stride, *drawn);
        else std::memset(data, 0, static_cast<std::size_t>(stride) * h);
        store->ink.reset();
        store->reach.reset();
        cairo_surface_mark_dirty(store->surface);
    } else {
        store = std::make_shared<LayerBackingStore>();
        store->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        store->scale = scale;
    }
    store->size = size;
    store->ink.reset();
    cairo_t* cr = cairo_create(store->surface);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -bounds_.origin.x, -bounds_.origin.y);
    auto context = CGContext::makeWithCairo(cr, CGAffineTransformMakeScale(scale, scale));
    baseDrawCalled_ = false;
    delegateDrew_ = false;
    std::optional<CGRect> reach;
    {
        DrawnArea area(cr);
        UIGraphicsPushContext(context);
        drawInContext(*context);
        UIGraphicsPopContext();
        reach = area.pixels();
    }
    context.reset();
    cairo_destroy(cr);
    cairo_surface_flush(store->surface);
    if (reach) {
        const CGRect r = CGRectIntersection(*reach, CGRectMake(0, 0, w, h));
        store->reach = CGRectIsNull(r) || CGRectIsEmpty(r)
                         ? PixelBox{}
                         : PixelBox{static_cast<int>(r.origin.x), static_cast<int>(r.origin.y),
                                    static_cast<int>(CGRectGetMaxX(r)), static_cast<int>(CGRectGetMaxY(r))};
    }
    // A plain layer whose delegate draws nothing keeps no bitmap.
    bool drew = !baseDrawCalled_ || (hasDelegate && delegateDrew_);
    if (drew)
        backing_ = std::move(store);
    else
        backing_.reset();
    changed();
}

void CALayer::drawInContext(CGContext& context) {
    baseDrawCalled_ = true;
    if (auto d = delegate_.lock()) delegateDrew_ = d->drawLayerInContext(*this, context);
}

void CALayer::renderInContext(CGContext& context) {
    const CGAffineTransform& base = context.baseTransform();
    CGFloat scale = std::sqrt(std::abs(base.a * base.d - base.b * base.c));
    if (!(scale > 0)) scale = 1;
    layoutIfNeeded();
    LayerRenderer::prepare(*this, scale);
    cairo_t* cr = context.cairo();
    if (!cr) return;
    DrawnArea::note(cr, std::nullopt);  // layers draw straight through Cairo
    CairoSave save(cr);
    DrawModelScope model;
    LayerRenderer::renderContents(cr, *this, scale);
}
