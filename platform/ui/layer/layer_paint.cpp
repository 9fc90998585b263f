// Painting a layer's own content, and the primitives the renderer's parts share.
#include "platform/ui/layer/layer_paint.h"

#include <algorithm>
#include <cmath>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/layer_backing_store.h"
#include "platform/ui/layer/render_pass.h"
#include "platform/ui/layer/resampled_paint.h"

namespace layer_paint {

void setColor(cairo_t* cr, const CGColor& c, double alphaFactor) {
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * alphaFactor);
}

bool visible(const std::optional<CGColor>& c) {
    return c && !c->isPattern() && c->alpha > 0;
}

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

bool invertible(const CGAffineTransform& t) {
    return std::abs(t.a * t.d - t.b * t.c) > 1e-12;
}

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
        case CAContentsGravity::TopLeft:
            x = b.origin.x;
            y = b.origin.y;
            break;
        case CAContentsGravity::TopRight:
            x = b.origin.x + bw - s.width;
            y = b.origin.y;
            break;
        case CAContentsGravity::BottomLeft:
            x = b.origin.x;
            y = b.origin.y + bh - s.height;
            break;
        case CAContentsGravity::BottomRight:
            x = b.origin.x + bw - s.width;
            y = b.origin.y + bh - s.height;
            break;
        default: break;
    }
    return {{x, y}, s};
}

bool wholePixel(double v) {
    return std::isfinite(v) && std::abs(v - std::round(v)) < 1e-6 && std::abs(v) < (1 << 23);
}

namespace {

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

}  // namespace

// Draws the bitmap stretched over the rectangle. Of a layer's own bitmap (`store`) only what its
// drawing touched is composited, since elsewhere it lays nothing but transparent black over what
// is there. Shown at its own size but off the device pixels (a label at a fractional place, or its
// bitmap a fraction wider than its bounds) it would be sampled pixel by pixel, the costliest way:
// it is clipped to the whole device pixels whose samples can reach a drawn pixel. Shown scaled (a
// pop-up's grow), the clip is cut as clipToInk keeps the scaler's samples.
void drawSurfaceInRect(cairo_t* cr, cairo_surface_t* surface, const CGRect& rect, const RenderPass& pass,
                       LayerBackingStore* store) {
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
        const bool inRange =
            std::max({std::abs(reachX0), std::abs(reachY0), std::abs(reachX1), std::abs(reachY1)}) < 1e8;
        if (inRange && pass.takesShortcuts()) {
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
    } else if (store && pass.takesShortcuts()) {
        ink = store->drawnPixels();
        if (ink.empty()) return;
        const bool whole = ink.x0 == 0 && ink.y0 == 0 && ink.x1 == w && ink.y1 == h;
        if (!whole && !clipToInk(cr, ink, w, h)) return;
    }
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
}

namespace {

void drawContents(cairo_t* cr, const CALayer& layer, const RenderPass& pass) {
    auto image = pass.shown(layer, &CALayerPresentation::contents, layer.contents());
    if (!image) return;
    cairo_surface_t* surface = createSurfaceForImage(*image);
    if (!surface) return;
    CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
    CGSize size{image->width() / scale, image->height() / scale};
    drawSurfaceInRect(cr, surface, gravityRect(layer.contentsGravity(), pass.shownBounds(layer), size), pass);
    cairo_surface_destroy(surface);
}

void drawShape(cairo_t* cr, const CAShapeLayer& shape, const RenderPass& pass) {
    const CALayerPresentation* p = pass.presentationOf(shape);
    std::optional<CGPath> shownPath = p && p->path ? p->path : shape.path();
    if (!shownPath) return;
    const CGPath& path = *shownPath;
    auto fillColor = pass.shown(shape, &CALayerPresentation::fillColor, shape.fillColor());
    auto strokeColor = pass.shown(shape, &CALayerPresentation::strokeColor, shape.strokeColor());
    CGFloat lineWidth = pass.shown(shape, &CALayerPresentation::lineWidth, shape.lineWidth());
    CGFloat strokeStart =
        std::clamp<CGFloat>(pass.shown(shape, &CALayerPresentation::strokeStart, shape.strokeStart()), 0, 1);
    CGFloat strokeEnd =
        std::clamp<CGFloat>(pass.shown(shape, &CALayerPresentation::strokeEnd, shape.strokeEnd()), 0, 1);
    if (visible(fillColor)) {
        cairo_new_path(cr);
        appendPath(cr, path, false);
        cairo_set_fill_rule(
            cr, shape.fillRule() == CAFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
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

void drawGradient(cairo_t* cr, const CAGradientLayer& g, const RenderPass& pass) {
    // Running animations of the colours or locations show their presented values (also when the
    // gradient is another layer's mask).
    auto stops = CAGradientLayer::stopsOf(pass.shown(g, &CALayerPresentation::colors, g.colors()),
                                          pass.shown(g, &CALayerPresentation::locations, g.locations()));
    if (stops.empty()) return;
    CGRect b = pass.shownBounds(g);
    CGPoint s = g.startPoint(), e = g.endPoint();
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(b.origin.x + s.x * b.size.width, b.origin.y + s.y * b.size.height,
                                    b.origin.x + e.x * b.size.width, b.origin.y + e.y * b.size.height);
    for (const auto& [at, c] : stops) cairo_pattern_add_color_stop_rgba(pattern, at, c.red, c.green, c.blue, c.alpha);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    CairoSave save(cr);
    roundedRect(cr, b, pass.shown(g, &CALayerPresentation::cornerRadius, g.cornerRadius()));
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void drawBacking(cairo_t* cr, const CALayer& layer, const RenderPass& pass) {
    const auto& backing = layer.backingStore();
    if (!backing || !backing->surface) return;
    // Until it is drawn again at a new size, the old drawing is fitted like contents.
    drawSurfaceInRect(cr, backing->surface,
                      gravityRect(layer.contentsGravity(), pass.shownBounds(layer), backing->size), pass,
                      backing.get());
}

}  // namespace

void paintBackground(cairo_t* cr, const CALayer& layer, const CGRect& b, CGFloat radius, const RenderPass& pass) {
    auto background = pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (!visible(background)) return;
    // Square fills are cut to the visible area first: Cairo's fixed-point coordinates cannot hold
    // a rectangle millions of points wide.
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    CGRect visibleRect = radius > 0 ? b : CGRectIntersection(b, CGRectMake(x0, y0, x1 - x0, y1 - y0));
    if (CGRectIsNull(visibleRect)) visibleRect = CGRectZero;
    roundedRect(cr, visibleRect, radius);
    setColor(cr, *background);
    cairo_fill(cr);
}

void paintOwnContent(cairo_t* cr, const CALayer& layer, const RenderPass& pass) {
    drawContents(cr, layer, pass);
    drawBacking(cr, layer, pass);
    if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer)) drawShape(cr, *shape, pass);
    if (auto* gradient = dynamic_cast<const CAGradientLayer*>(&layer)) drawGradient(cr, *gradient, pass);
}

void paintBorder(cairo_t* cr, const CALayer& layer, const CGRect& b, CGFloat radius, const RenderPass& pass) {
    CGFloat borderWidth = pass.shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    CGColor borderColor = pass.shown(layer, &CALayerPresentation::borderColor, layer.borderColor());
    if (!(borderWidth > 0 && borderColor.alpha > 0)) return;
    CGFloat w = std::min({borderWidth, b.size.width / 2, b.size.height / 2});
    roundedRect(cr, CGRectInset(b, w / 2, w / 2), std::max<CGFloat>(0, radius - w / 2));
    cairo_set_line_width(cr, w);
    setColor(cr, borderColor);
    cairo_stroke(cr);
}

}  // namespace layer_paint
