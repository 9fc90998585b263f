// CGContext over Cairo: state stack, path building and painting with alpha, blend modes and clip.
#include "platform/ui/draw/context.h"

#include <cairo.h>

#include <cmath>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/image.h"

std::shared_ptr<CGContext> CGContext::makeWithCairo(cairo_t* cairo, const CGAffineTransform& baseTransform) {
    if (!cairo) return nullptr;
    return make<CGContext>(cairo, baseTransform);
}

CGContext::CGContext(cairo_t* cairo, const CGAffineTransform& base) : cr_(cairo_reference(cairo)), base_(base) {}

CGContext::~CGContext() {
    cairo_destroy(cr_);
}

void CGContext::flush() {
    cairo_surface_flush(cairo_get_target(cr_));
}

void CGContext::saveGState() {
    cairo_save(cr_);
    stack_.push_back(stack_.back());
}

void CGContext::restoreGState() {
    if (stack_.size() <= 1) return;
    stack_.pop_back();
    cairo_restore(cr_);
}

namespace {
bool finite(std::initializer_list<CGFloat> values) {
    for (CGFloat v : values)
        if (!std::isfinite(v)) return false;
    return true;
}
}  // namespace

// Cairo puts a context into a permanent error state for a singular or non-finite matrix. A
// singular CTM instead makes the state degenerate: nothing draws until it is restored, as on the
// platform where everything collapses to nothing. Non-finite values are ignored.
void CGContext::translateCTM(CGFloat tx, CGFloat ty) {
    if (finite({tx, ty})) cairo_translate(cr_, tx, ty);
}
void CGContext::scaleCTM(CGFloat sx, CGFloat sy) {
    if (!finite({sx, sy})) return;
    if (sx == 0 || sy == 0)
        state().degenerate = true;
    else
        cairo_scale(cr_, sx, sy);
}
void CGContext::rotateCTM(CGFloat angle) {
    if (finite({angle})) cairo_rotate(cr_, angle);
}

void CGContext::concatCTM(const CGAffineTransform& t) {
    if (!finite({t.a, t.b, t.c, t.d, t.tx, t.ty})) return;
    if (t.a * t.d - t.b * t.c == 0) {
        state().degenerate = true;
        return;
    }
    cairo_matrix_t m = toCairoMatrix(t);
    cairo_transform(cr_, &m);
}

CGAffineTransform CGContext::getCTM() const {
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    return fromCairoMatrix(m);
}

void CGContext::setFillColorWithColor(const CGColor& color) {
    state().fill = color;
}
void CGContext::setStrokeColorWithColor(const CGColor& color) {
    state().stroke = color;
}
void CGContext::setAlpha(CGFloat alpha) {
    state().alpha = std::clamp<CGFloat>(alpha, 0, 1);
}
void CGContext::setLineWidth(CGFloat width) {
    if (std::isfinite(width) && width >= 0) state().lineWidth = width;
}

void CGContext::setLineDash(CGFloat phase, std::vector<CGFloat> lengths) {
    bool valid = true, anyPositive = false;
    for (CGFloat l : lengths) {
        if (l < 0 || !std::isfinite(l)) valid = false;
        if (l > 0) anyPositive = true;
    }
    if (!valid || !anyPositive) lengths.clear();
    state().dash = std::move(lengths);
    state().dashPhase = phase;
}

void CGContext::setShadowWithColor(CGSize offset, CGFloat blur, std::optional<CGColor> color) {
    state().shadowOffset = finite({offset.width, offset.height}) ? CGSize{std::clamp<CGFloat>(offset.width, -1e5, 1e5),
                                                                          std::clamp<CGFloat>(offset.height, -1e5, 1e5)}
                                                                 : CGSizeZero;
    state().shadowBlur = finite({blur}) ? std::clamp<CGFloat>(blur, 0, 1000) : 0;
    state().shadowColor = color;
}

bool CGContext::hasShadow() const {
    const GState& s = state();
    return s.shadowColor && s.shadowColor->alpha > 0 && !s.shadowColor->isPattern();
}

// Path building goes straight into Cairo, which keeps the current path in device space as the
// platform does.
void CGContext::beginPath() {
    cairo_new_path(cr_);
}
void CGContext::moveToPoint(CGFloat x, CGFloat y) {
    if (finite({x, y})) cairo_move_to(cr_, x, y);
}
void CGContext::addLineToPoint(CGFloat x, CGFloat y) {
    if (!finite({x, y})) return;
    if (cairo_has_current_point(cr_))
        cairo_line_to(cr_, x, y);
    else
        cairo_move_to(cr_, x, y);
}
void CGContext::addCurveToPoint(CGFloat c1x, CGFloat c1y, CGFloat c2x, CGFloat c2y, CGFloat x, CGFloat y) {
    if (!finite({c1x, c1y, c2x, c2y, x, y})) return;
    if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, c1x, c1y);
    cairo_curve_to(cr_, c1x, c1y, c2x, c2y, x, y);
}
void CGContext::addQuadCurveToPoint(CGFloat cx, CGFloat cy, CGFloat x, CGFloat y) {
    CGPath path;
    if (cairo_has_current_point(cr_)) path.moveToPoint(getPathCurrentPoint());
    path.addQuadCurveToPoint({cx, cy}, {x, y});
    appendPath(cr_, path, /*skipLeadingMove=*/cairo_has_current_point(cr_));
}
void CGContext::addArc(CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    CGPath path;
    bool hasPoint = cairo_has_current_point(cr_);
    if (hasPoint) path.moveToPoint(getPathCurrentPoint());
    path.addArc({x, y}, radius, startAngle, endAngle, clockwise);
    appendPath(cr_, path, hasPoint);
}
void CGContext::addArcToPoint(CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius) {
    CGPath path;
    bool hasPoint = cairo_has_current_point(cr_);
    if (hasPoint) path.moveToPoint(getPathCurrentPoint());
    path.addArcToPoint({x1, y1}, {x2, y2}, radius);
    appendPath(cr_, path, hasPoint);
}
void CGContext::closePath() {
    cairo_close_path(cr_);
}
void CGContext::addRect(const CGRect& rect) {
    CGPath path;
    path.addRect(rect);
    appendPath(cr_, path, false);
}
void CGContext::addEllipseInRect(const CGRect& rect) {
    CGPath path;
    path.addEllipseInRect(rect);
    appendPath(cr_, path, false);
}
void CGContext::addPath(const CGPath& path) {
    appendPath(cr_, path, false);
}

bool CGContext::isPathEmpty() const {
    cairo_path_t* path = cairo_copy_path(cr_);
    bool empty = path->num_data == 0;
    cairo_path_destroy(path);
    return empty;
}

CGPoint CGContext::getPathCurrentPoint() const {
    if (!cairo_has_current_point(cr_)) return CGPointZero;
    double x, y;
    cairo_get_current_point(cr_, &x, &y);
    return {x, y};
}

void CGContext::setSource(cairo_t* cr, const CGColor& color, bool withAlpha) const {
    CGFloat alpha = withAlpha ? state().alpha : 1;
    if (color.isPattern()) {
        auto image = color.pattern;
        cairo_surface_t* surface = image && image->cgImage() ? createSurfaceForImage(*image->cgImage()) : nullptr;
        if (!surface) {
            cairo_set_source_rgba(cr, 0, 0, 0, 0);
            return;
        }
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, image->scale(), image->scale());
        cairo_pattern_set_matrix(pattern, &m);
        cairo_set_source(cr, pattern);
        cairo_pattern_destroy(pattern);
        cairo_surface_destroy(surface);
        return;
    }
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha * alpha);
}

void CGContext::applyStrokeStyle(cairo_t* cr) const {
    const GState& s = state();
    cairo_set_line_width(cr, s.lineWidth);
    cairo_set_line_cap(cr, s.cap == CGLineCap::Round    ? CAIRO_LINE_CAP_ROUND
                           : s.cap == CGLineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                        : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, s.join == CGLineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                            : s.join == CGLineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                          : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, s.miterLimit);
    cairo_set_dash(cr, s.dash.data(), static_cast<int>(s.dash.size()), s.dashPhase);
}

void CGContext::drawPath(CGPathDrawingMode mode) {
    cairo_path_t* path = cairo_copy_path(cr_);
    cairo_new_path(cr_);
    if (path->num_data == 0 || state().degenerate) {
        cairo_path_destroy(path);
        return;
    }
    bool fill = mode != CGPathDrawingMode::Stroke;
    bool evenOdd = mode == CGPathDrawingMode::EOFill || mode == CGPathDrawingMode::EOFillStroke;
    bool stroke = mode == CGPathDrawingMode::Stroke || mode == CGPathDrawingMode::FillStroke ||
                  mode == CGPathDrawingMode::EOFillStroke;
    cairo_antialias_t antialias = state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE;
    cairo_fill_rule_t rule = evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;

    if (fill) {
        auto fillShape = [&](cairo_t* cr) {
            setSource(cr, state().fill, false);
            cairo_append_path(cr, path);
            cairo_set_fill_rule(cr, rule);
            cairo_set_antialias(cr, antialias);
            cairo_fill(cr);
        };
        if (hasShadow()) drawShadow(fillShape);
        // Clip to the shape and paint: the blend mode then acts inside the shape only, as the
        // platform's compositing does, even for modes Cairo treats as unbounded (in, out, ...).
        CairoSave save(cr_);
        cairo_append_path(cr_, path);
        cairo_set_fill_rule(cr_, rule);
        cairo_set_antialias(cr_, antialias);
        cairo_clip(cr_);
        setSource(cr_, state().fill, false);
        cairo_set_operator(cr_, toCairoOperator(state().blend));
        cairo_paint_with_alpha(cr_, state().alpha);
    }
    if (stroke) {
        // The shadow takes the plain shape; the context's alpha and blend mode apply to the stroke.
        auto strokeShape = [&](cairo_t* cr, bool composite) {
            setSource(cr, state().stroke, composite);
            if (composite) cairo_set_operator(cr, toCairoOperator(state().blend));
            cairo_append_path(cr, path);
            applyStrokeStyle(cr);
            cairo_set_antialias(cr, antialias);
            cairo_stroke(cr);
        };
        if (hasShadow()) drawShadow([&](cairo_t* cr) { strokeShape(cr, false); });
        CairoSave save(cr_);
        strokeShape(cr_, true);
    }
    // The shape's reach: its fill and its stroke (a shadow or a blend that acts outside the shape
    // reach farther).
    std::optional<CGRect> reach;
    if (!hasShadow() && state().blend == CGBlendMode::Normal) {
        CairoSave save(cr_);
        cairo_new_path(cr_);
        cairo_append_path(cr_, path);
        double x0, y0, x1, y1;
        CGRect area = CGRectNull();
        if (fill) {
            cairo_set_fill_rule(cr_, rule);
            cairo_fill_extents(cr_, &x0, &y0, &x1, &y1);
            area = CGRectUnion(area, CGRectMake(x0, y0, x1 - x0, y1 - y0));
        }
        if (stroke) {
            applyStrokeStyle(cr_);
            cairo_stroke_extents(cr_, &x0, &y0, &x1, &y1);
            area = CGRectUnion(area, CGRectMake(x0, y0, x1 - x0, y1 - y0));
        }
        cairo_new_path(cr_);
        if (!CGRectIsNull(area)) reach = area;
    }
    DrawnArea::note(cr_, reach);
    cairo_path_destroy(path);
    didDraw();
}

void CGContext::fillRect(const CGRect& rect) {
    beginPath();
    addRect(rect);
    fillPath();
}

void CGContext::fillRects(const std::vector<CGRect>& rects) {
    beginPath();
    for (const auto& r : rects) addRect(r);
    fillPath();
}

void CGContext::strokeRect(const CGRect& rect) {
    beginPath();
    addRect(rect);
    strokePath();
}

void CGContext::strokeRectWithWidth(const CGRect& rect, CGFloat width) {
    saveGState();
    setLineWidth(width);
    strokeRect(rect);
    restoreGState();
}

void CGContext::fillEllipseInRect(const CGRect& rect) {
    beginPath();
    addEllipseInRect(rect);
    fillPath();
}

void CGContext::strokeEllipseInRect(const CGRect& rect) {
    beginPath();
    addEllipseInRect(rect);
    strokePath();
}

void CGContext::strokeLineSegments(const std::vector<CGPoint>& points) {
    beginPath();
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        moveToPoint(points[i].x, points[i].y);
        addLineToPoint(points[i + 1].x, points[i + 1].y);
    }
    strokePath();
}

void CGContext::clearRect(const CGRect& rect) {
    if (state().degenerate) return;
    {
        CairoSave save(cr_);
        cairo_new_path(cr_);
        CGRect r = CGRectStandardize(rect);
        cairo_rectangle(cr_, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr_);
    }
    didDraw();
}

void CGContext::clip() {
    if (state().degenerate) {
        cairo_new_path(cr_);
        return;
    }
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr_);
}

void CGContext::eoClip() {
    if (state().degenerate) {
        cairo_new_path(cr_);
        return;
    }
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

void CGContext::clipToRect(const CGRect& rect) {
    clipToRects({rect});
}

void CGContext::clipToRects(const std::vector<CGRect>& rects) {
    std::vector<CGRect> usable;
    for (const auto& rect : rects) {
        CGRect r = CGRectStandardize(rect);
        // Non-finite rectangles are bad input and ignored; a null one clips to nothing.
        if (CGRectIsNull(r))
            usable.push_back(CGRectZero);
        else if (finite({r.origin.x, r.origin.y, r.size.width, r.size.height}))
            usable.push_back(r);
    }
    if (usable.empty() && !rects.empty()) return;
    // The current path survives a rectangle clip on the platform.
    cairo_path_t* saved = cairo_copy_path(cr_);
    cairo_new_path(cr_);
    for (const auto& r : usable) cairo_rectangle(cr_, r.origin.x, r.origin.y, r.size.width, r.size.height);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr_);
    cairo_append_path(cr_, saved);
    cairo_path_destroy(saved);
}

CGRect CGContext::getClipBoundingBox() const {
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

void CGContext::drawLinearGradient(const CGGradient& gradient, CGPoint start, CGPoint end, unsigned options) {
    if (state().degenerate || !finite({start.x, start.y, end.x, end.y})) return;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    addColorStops(pattern, gradient);
    bool before = options & kCGGradientDrawsBeforeStartLocation, after = options & kCGGradientDrawsAfterEndLocation;
    cairo_pattern_set_extend(pattern, before || after ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    {
        CairoSave save(cr_);
        cairo_new_path(cr_);
        if (before != after) {
            // Only one side extends: clip to the half-plane on the kept side of the other end.
            CGPoint d{end.x - start.x, end.y - start.y};
            CGFloat length = std::hypot(d.x, d.y);
            if (length > 0) {
                CGPoint n{d.x / length, d.y / length}, side{-n.y, n.x};
                CGPoint edge = after ? start : end;
                CGFloat dir = after ? 1 : -1, far = 1e6;
                cairo_move_to(cr_, edge.x + side.x * far, edge.y + side.y * far);
                cairo_line_to(cr_, edge.x - side.x * far, edge.y - side.y * far);
                cairo_line_to(cr_, edge.x - side.x * far + dir * n.x * far, edge.y - side.y * far + dir * n.y * far);
                cairo_line_to(cr_, edge.x + side.x * far + dir * n.x * far, edge.y + side.y * far + dir * n.y * far);
                cairo_close_path(cr_);
                cairo_clip(cr_);
            }
        }
        cairo_set_source(cr_, pattern);
        cairo_set_operator(cr_, toCairoOperator(state().blend));
        cairo_paint_with_alpha(cr_, state().alpha);
    }
    cairo_pattern_destroy(pattern);
    DrawnArea::note(cr_, std::nullopt);
    didDraw();
}

void CGContext::drawRadialGradient(const CGGradient& gradient, CGPoint startCenter, CGFloat startRadius,
                                   CGPoint endCenter, CGFloat endRadius, unsigned options) {
    if (state().degenerate || !finite({startCenter.x, startCenter.y, startRadius, endCenter.x, endCenter.y, endRadius}))
        return;
    cairo_pattern_t* pattern =
        cairo_pattern_create_radial(startCenter.x, startCenter.y, std::max<CGFloat>(0, startRadius), endCenter.x,
                                    endCenter.y, std::max<CGFloat>(0, endRadius));
    addColorStops(pattern, gradient);
    // Cairo extends both ends or neither; past the end is what callers ask for.
    cairo_pattern_set_extend(pattern,
                             options & kCGGradientDrawsAfterEndLocation ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    {
        CairoSave save(cr_);
        cairo_new_path(cr_);
        cairo_set_source(cr_, pattern);
        cairo_set_operator(cr_, toCairoOperator(state().blend));
        cairo_paint_with_alpha(cr_, state().alpha);
    }
    cairo_pattern_destroy(pattern);
    DrawnArea::note(cr_, std::nullopt);
    didDraw();
}

void CGContext::drawImage(const CGRect& rect, const CGImage& image) {
    paintImage(rect, image, false);
}
void CGContext::drawImageTopDown(const CGRect& rect, const CGImage& image) {
    paintImage(rect, image, true);
}

void CGContext::paintImage(const CGRect& rect, const CGImage& image, bool topDown) {
    CGRect r = CGRectStandardize(rect);
    if (state().degenerate || CGRectIsEmpty(r) || !finite({r.origin.x, r.origin.y, r.size.width, r.size.height}) ||
        image.width() <= 0 || image.height() <= 0)
        return;
    cairo_surface_t* surface = createSurfaceForImage(image);
    if (!surface) return;
    // Image pixels to user space: scale to the rectangle, flipped when the first row goes to max y.
    cairo_matrix_t toUser;
    CGFloat sx = r.size.width / image.width(), sy = r.size.height / image.height();
    if (topDown)
        cairo_matrix_init(&toUser, sx, 0, 0, sy, r.origin.x, r.origin.y);
    else
        cairo_matrix_init(&toUser, sx, 0, 0, -sy, r.origin.x, r.origin.y + r.size.height);
    cairo_filter_t filter = toCairoFilter(state().interpolation);
    // The shadow takes the plain image; the context's alpha and blend mode apply to the image.
    auto paint = [&](cairo_t* cr, bool composite) {
        CairoSave save(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_clip(cr);
        cairo_transform(cr, &toUser);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), filter);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        if (composite) {
            cairo_set_operator(cr, toCairoOperator(state().blend));
            cairo_paint_with_alpha(cr, state().alpha);
        } else {
            cairo_paint(cr);
        }
    };
    if (hasShadow()) drawShadow([&](cairo_t* cr) { paint(cr, false); });
    paint(cr_, true);
    cairo_surface_destroy(surface);
    DrawnArea::note(cr_,
                    !hasShadow() && state().blend == CGBlendMode::Normal ? std::optional<CGRect>(r) : std::nullopt);
    didDraw();
}

void CGContext::drawWithState(const std::function<void(cairo_t*)>& paint) {
    const std::optional<CGRect> reach = DrawnArea::takeNextCallReach();
    if (state().degenerate) return;
    if (hasShadow()) drawShadow(paint);
    {
        CairoSave save(cr_);
        cairo_set_operator(cr_, toCairoOperator(state().blend));
        if (state().alpha < 1) {
            cairo_push_group(cr_);
            cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
            paint(cr_);
            cairo_pop_group_to_source(cr_);
            cairo_set_operator(cr_, toCairoOperator(state().blend));
            cairo_paint_with_alpha(cr_, state().alpha);
        } else {
            paint(cr_);
        }
    }
    DrawnArea::note(cr_, !hasShadow() && state().blend == CGBlendMode::Normal ? reach : std::nullopt);
    didDraw();
}
