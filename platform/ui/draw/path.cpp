// CGPath: building segments, arcs as Bezier curves, bounds, hit testing, flattening and trimming.
#include "platform/ui/draw/path.h"

#include <cmath>
#include <numbers>

namespace {

constexpr CGFloat kPi = std::numbers::pi;

CGPoint add(CGPoint a, CGPoint b) {
    return {a.x + b.x, a.y + b.y};
}
CGPoint sub(CGPoint a, CGPoint b) {
    return {a.x - b.x, a.y - b.y};
}
CGPoint mul(CGPoint a, CGFloat k) {
    return {a.x * k, a.y * k};
}
CGFloat len(CGPoint a) {
    return std::hypot(a.x, a.y);
}
CGPoint lerp(CGPoint a, CGPoint b, CGFloat t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

CGPoint cubicAt(CGPoint p0, CGPoint p1, CGPoint p2, CGPoint p3, CGFloat t) {
    CGFloat u = 1 - t;
    CGFloat a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}
CGPoint quadAt(CGPoint p0, CGPoint p1, CGPoint p2, CGFloat t) {
    CGFloat u = 1 - t;
    return {u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
}

// Parameters in (0, 1) where the derivative of a cubic's coordinate is zero.
void cubicExtrema(CGFloat p0, CGFloat p1, CGFloat p2, CGFloat p3, std::vector<CGFloat>& out) {
    // B'(t)/3 = a t^2 + b t + c
    CGFloat a = -p0 + 3 * p1 - 3 * p2 + p3, b = 2 * (p0 - 2 * p1 + p2), c = p1 - p0;
    auto keep = [&](CGFloat t) {
        if (t > 0 && t < 1) out.push_back(t);
    };
    if (std::abs(a) < 1e-12) {
        if (std::abs(b) > 1e-12) keep(-c / b);
        return;
    }
    CGFloat disc = b * b - 4 * a * c;
    if (disc < 0) return;
    CGFloat root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
}

void growBox(CGFloat& x0, CGFloat& y0, CGFloat& x1, CGFloat& y1, CGPoint p) {
    x0 = std::min(x0, p.x);
    y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x);
    y1 = std::max(y1, p.y);
}

}  // namespace

void CGPath::push(CGPathElementType type, std::initializer_list<CGPoint> points) {
    CGPathElement element{type, {}};
    std::size_t i = 0;
    for (CGPoint p : points) element.points[i++] = p;
    elements_.push_back(element);
}

void CGPath::moveToPoint(CGPoint p) {
    push(CGPathElementType::MoveToPoint, {p});
    current_ = subpathStart_ = p;
    hasCurrent_ = true;
}

void CGPath::addLineToPoint(CGPoint p) {
    if (!hasCurrent_) return moveToPoint(p);
    push(CGPathElementType::AddLineToPoint, {p});
    current_ = p;
}

void CGPath::addQuadCurveToPoint(CGPoint control, CGPoint end) {
    if (!hasCurrent_) moveToPoint(control);
    push(CGPathElementType::AddQuadCurveToPoint, {control, end});
    current_ = end;
}

void CGPath::addCurveToPoint(CGPoint control1, CGPoint control2, CGPoint end) {
    if (!hasCurrent_) moveToPoint(control1);
    push(CGPathElementType::AddCurveToPoint, {control1, control2, end});
    current_ = end;
}

void CGPath::closeSubpath() {
    if (!hasCurrent_ || elements_.empty() || elements_.back().type == CGPathElementType::CloseSubpath) return;
    push(CGPathElementType::CloseSubpath, {});
    current_ = subpathStart_;
}

CGPoint CGPath::currentPoint() const {
    return hasCurrent_ ? current_ : CGPointZero;
}

void CGPath::apply(const std::function<void(const CGPathElement&)>& visit) const {
    for (const auto& e : elements_) visit(e);
}

void CGPath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    if (!std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
    radius = std::abs(radius);
    // Sweep in the direction asked; a difference of a full turn or more draws the whole circle.
    CGFloat diff = clockwise ? startAngle - endAngle : endAngle - startAngle;
    CGFloat sweep;
    if (diff >= 2 * kPi) {
        sweep = 2 * kPi;
    } else {
        sweep = std::fmod(diff, 2 * kPi);
        if (sweep < 0) sweep += 2 * kPi;
    }
    if (clockwise) sweep = -sweep;

    CGPoint start = {center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
    if (hasCurrent_)
        addLineToPoint(start);
    else
        moveToPoint(start);
    if (sweep == 0 || radius == 0) return;

    int segments = static_cast<int>(std::ceil(std::abs(sweep) / (kPi / 2) - 1e-9));
    segments = std::max(segments, 1);
    CGFloat step = sweep / segments;
    CGFloat k = 4.0 / 3.0 * std::tan(step / 4);
    CGFloat a0 = startAngle;
    for (int i = 0; i < segments; ++i) {
        CGFloat a1 = a0 + step;
        CGPoint p0 = {center.x + radius * std::cos(a0), center.y + radius * std::sin(a0)};
        CGPoint p3 = {center.x + radius * std::cos(a1), center.y + radius * std::sin(a1)};
        CGPoint c1 = {p0.x - k * radius * std::sin(a0), p0.y + k * radius * std::cos(a0)};
        CGPoint c2 = {p3.x + k * radius * std::sin(a1), p3.y - k * radius * std::cos(a1)};
        addCurveToPoint(c1, c2, p3);
        a0 = a1;
    }
}

void CGPath::addArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius) {
    if (!hasCurrent_) return moveToPoint(p1);
    CGPoint p0 = current_;
    CGPoint v1 = sub(p0, p1), v2 = sub(p2, p1);
    CGFloat l1 = len(v1), l2 = len(v2);
    CGFloat cross = v1.x * v2.y - v1.y * v2.x;
    if (radius <= 0 || l1 == 0 || l2 == 0 || std::abs(cross) < 1e-12 * l1 * l2) return addLineToPoint(p1);
    v1 = mul(v1, 1 / l1);
    v2 = mul(v2, 1 / l2);
    CGFloat cosAngle = std::clamp(v1.x * v2.x + v1.y * v2.y, -1.0, 1.0);
    CGFloat half = std::acos(cosAngle) / 2;
    CGFloat tangentDistance = radius / std::tan(half);
    CGPoint t1 = add(p1, mul(v1, tangentDistance)), t2 = add(p1, mul(v2, tangentDistance));
    CGPoint bisector = add(v1, v2);
    bisector = mul(bisector, 1 / len(bisector));
    CGPoint center = add(p1, mul(bisector, radius / std::sin(half)));
    CGFloat a0 = std::atan2(t1.y - center.y, t1.x - center.x);
    CGFloat a1 = std::atan2(t2.y - center.y, t2.x - center.x);
    // The arc turns the way the corner turns: cross > 0 means decreasing angles.
    addArc(center, radius, a0, a1, cross > 0);
}

void CGPath::addRect(const CGRect& rect) {
    CGRect r = CGRectStandardize(rect);
    CGFloat x0 = r.origin.x, y0 = r.origin.y, x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    moveToPoint({x0, y0});
    addLineToPoint({x1, y0});
    addLineToPoint({x1, y1});
    addLineToPoint({x0, y1});
    closeSubpath();
}

void CGPath::addEllipseInRect(const CGRect& rect) {
    CGRect r = CGRectStandardize(rect);
    CGFloat rx = r.size.width / 2, ry = r.size.height / 2;
    CGFloat cx = r.origin.x + rx, cy = r.origin.y + ry;
    constexpr CGFloat k = 0.5522847498307936;  // 4/3 (sqrt(2) - 1)
    moveToPoint({cx + rx, cy});
    addCurveToPoint({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    addCurveToPoint({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    addCurveToPoint({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    addCurveToPoint({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    closeSubpath();
}

void CGPath::addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight) {
    CGRect r = CGRectStandardize(rect);
    CGFloat cw = std::clamp<CGFloat>(cornerWidth, 0, r.size.width / 2);
    CGFloat ch = std::clamp<CGFloat>(cornerHeight, 0, r.size.height / 2);
    if (cw == 0 || ch == 0) return addRect(r);
    CGFloat x0 = r.origin.x, y0 = r.origin.y, x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    constexpr CGFloat k = 0.5522847498307936;
    auto lineTo = [&](CGPoint p) {
        if (!(p == current_)) addLineToPoint(p);
    };
    moveToPoint({x0 + cw, y0});
    lineTo({x1 - cw, y0});
    addCurveToPoint({x1 - cw + k * cw, y0}, {x1, y0 + ch - k * ch}, {x1, y0 + ch});
    lineTo({x1, y1 - ch});
    addCurveToPoint({x1, y1 - ch + k * ch}, {x1 - cw + k * cw, y1}, {x1 - cw, y1});
    lineTo({x0 + cw, y1});
    addCurveToPoint({x0 + cw - k * cw, y1}, {x0, y1 - ch + k * ch}, {x0, y1 - ch});
    lineTo({x0, y0 + ch});
    addCurveToPoint({x0, y0 + ch - k * ch}, {x0 + cw - k * cw, y0}, {x0 + cw, y0});
    closeSubpath();
}

void CGPath::addLines(const std::vector<CGPoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0)
            moveToPoint(points[i]);
        else
            addLineToPoint(points[i]);
    }
}

void CGPath::addPath(const CGPath& other, const CGAffineTransform& transform) {
    for (const auto& e : other.elements_) {
        CGPoint p[3];
        for (int i = 0; i < 3; ++i) p[i] = CGPointApplyAffineTransform(e.points[i], transform);
        switch (e.type) {
            case CGPathElementType::MoveToPoint: moveToPoint(p[0]); break;
            case CGPathElementType::AddLineToPoint: addLineToPoint(p[0]); break;
            case CGPathElementType::AddQuadCurveToPoint: addQuadCurveToPoint(p[0], p[1]); break;
            case CGPathElementType::AddCurveToPoint: addCurveToPoint(p[0], p[1], p[2]); break;
            case CGPathElementType::CloseSubpath: closeSubpath(); break;
        }
    }
}

CGRect CGPath::boundingBox() const {
    if (elements_.empty()) return CGRectNull();
    constexpr CGFloat inf = std::numeric_limits<CGFloat>::infinity();
    CGFloat x0 = inf, y0 = inf, x1 = -inf, y1 = -inf;
    for (const auto& e : elements_) {
        int count = e.type == CGPathElementType::AddCurveToPoint       ? 3
                    : e.type == CGPathElementType::AddQuadCurveToPoint ? 2
                    : e.type == CGPathElementType::CloseSubpath        ? 0
                                                                       : 1;
        for (int i = 0; i < count; ++i) growBox(x0, y0, x1, y1, e.points[i]);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

CGRect CGPath::pathBoundingBox() const {
    if (elements_.empty()) return CGRectNull();
    constexpr CGFloat inf = std::numeric_limits<CGFloat>::infinity();
    CGFloat x0 = inf, y0 = inf, x1 = -inf, y1 = -inf;
    CGPoint current{}, start{};
    std::vector<CGFloat> ts;
    for (const auto& e : elements_) {
        switch (e.type) {
            case CGPathElementType::MoveToPoint:
                current = start = e.points[0];
                growBox(x0, y0, x1, y1, current);
                break;
            case CGPathElementType::AddLineToPoint:
                current = e.points[0];
                growBox(x0, y0, x1, y1, current);
                break;
            case CGPathElementType::AddQuadCurveToPoint: {
                // Raise to a cubic so one extremum finder serves both.
                CGPoint c1 = lerp(current, e.points[0], 2.0 / 3.0), c2 = lerp(e.points[1], e.points[0], 2.0 / 3.0);
                ts.clear();
                cubicExtrema(current.x, c1.x, c2.x, e.points[1].x, ts);
                cubicExtrema(current.y, c1.y, c2.y, e.points[1].y, ts);
                for (CGFloat t : ts) growBox(x0, y0, x1, y1, cubicAt(current, c1, c2, e.points[1], t));
                current = e.points[1];
                growBox(x0, y0, x1, y1, current);
                break;
            }
            case CGPathElementType::AddCurveToPoint:
                ts.clear();
                cubicExtrema(current.x, e.points[0].x, e.points[1].x, e.points[2].x, ts);
                cubicExtrema(current.y, e.points[0].y, e.points[1].y, e.points[2].y, ts);
                for (CGFloat t : ts)
                    growBox(x0, y0, x1, y1, cubicAt(current, e.points[0], e.points[1], e.points[2], t));
                current = e.points[2];
                growBox(x0, y0, x1, y1, current);
                break;
            case CGPathElementType::CloseSubpath: current = start; break;
        }
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

std::vector<CGPath::Polyline> CGPath::flattened(CGFloat tolerance) const {
    tolerance = std::max<CGFloat>(tolerance, 1e-4);
    std::vector<Polyline> lines;
    CGPoint current{}, start{};
    auto open = [&]() -> Polyline& {
        if (lines.empty() || lines.back().closed) lines.push_back({{current}, false});
        return lines.back();
    };
    for (const auto& e : elements_) {
        switch (e.type) {
            case CGPathElementType::MoveToPoint:
                current = start = e.points[0];
                lines.push_back({{current}, false});
                break;
            case CGPathElementType::AddLineToPoint:
                current = e.points[0];
                open().points.push_back(current);
                break;
            case CGPathElementType::AddQuadCurveToPoint: {
                CGPoint p0 = current, p1 = e.points[0], p2 = e.points[1];
                CGFloat d = len(add(sub(p0, mul(p1, 2)), p2));
                int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(d / (4 * tolerance)))), 1, 1000);
                Polyline& line = open();
                for (int i = 1; i <= n; ++i) line.points.push_back(quadAt(p0, p1, p2, CGFloat(i) / n));
                current = p2;
                break;
            }
            case CGPathElementType::AddCurveToPoint: {
                CGPoint p0 = current, p1 = e.points[0], p2 = e.points[1], p3 = e.points[2];
                CGFloat d = std::max(len(add(sub(p0, mul(p1, 2)), p2)), len(add(sub(p1, mul(p2, 2)), p3)));
                int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * d / tolerance))), 1, 1000);
                Polyline& line = open();
                for (int i = 1; i <= n; ++i) line.points.push_back(cubicAt(p0, p1, p2, p3, CGFloat(i) / n));
                current = p3;
                break;
            }
            case CGPathElementType::CloseSubpath:
                if (!lines.empty() && !lines.back().closed) {
                    lines.back().points.push_back(start);
                    lines.back().closed = true;
                }
                current = start;
                break;
        }
    }
    return lines;
}

bool CGPath::containsPoint(CGPoint p, bool evenOdd, const CGAffineTransform& transform) const {
    CGPath path = CGAffineTransformIsIdentity(transform) ? *this : transformed(transform);
    int winding = 0, crossings = 0;
    for (const auto& line : path.flattened(0.01)) {
        const auto& pts = line.points;
        if (pts.size() < 2) continue;
        // Every subpath is closed for filling.
        for (std::size_t i = 0; i < pts.size(); ++i) {
            CGPoint a = pts[i], b = pts[(i + 1) % pts.size()];
            if ((a.y <= p.y) != (b.y <= p.y)) {
                CGFloat x = a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x);
                if (x > p.x) {
                    ++crossings;
                    winding += b.y > a.y ? 1 : -1;
                }
            }
        }
    }
    return evenOdd ? (crossings % 2) == 1 : winding != 0;
}

void CGPath::applyTransform(const CGAffineTransform& t) {
    for (auto& e : elements_)
        for (auto& p : e.points) p = CGPointApplyAffineTransform(p, t);
    current_ = CGPointApplyAffineTransform(current_, t);
    subpathStart_ = CGPointApplyAffineTransform(subpathStart_, t);
}

CGPath CGPath::transformed(const CGAffineTransform& t) const {
    CGPath copy = *this;
    copy.applyTransform(t);
    return copy;
}

CGFloat CGPath::length() const {
    CGFloat total = 0;
    for (const auto& line : flattened(0.01))
        for (std::size_t i = 1; i < line.points.size(); ++i) total += len(sub(line.points[i], line.points[i - 1]));
    return total;
}

CGPath CGPath::trimmed(CGFloat start, CGFloat end) const {
    start = std::clamp<CGFloat>(start, 0, 1);
    end = std::clamp<CGFloat>(end, 0, 1);
    if (end <= start) return {};
    if (start == 0 && end == 1) return *this;
    auto lines = flattened(0.02);
    CGFloat total = 0;
    for (const auto& line : lines)
        for (std::size_t i = 1; i < line.points.size(); ++i) total += len(sub(line.points[i], line.points[i - 1]));
    CGFloat from = start * total, to = end * total, walked = 0;
    CGPath out;
    for (const auto& line : lines) {
        bool drawing = false;
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            CGPoint a = line.points[i - 1], b = line.points[i];
            CGFloat segment = len(sub(b, a));
            CGFloat s0 = walked, s1 = walked + segment;
            walked = s1;
            if (s1 < from || s0 > to || segment == 0) continue;
            CGFloat t0 = std::max<CGFloat>(0, (from - s0) / segment), t1 = std::min<CGFloat>(1, (to - s0) / segment);
            if (!drawing) {
                out.moveToPoint(lerp(a, b, t0));
                drawing = true;
            }
            out.addLineToPoint(lerp(a, b, t1));
        }
    }
    return out;
}
