// Geometry values shared by the image engine and the UI: points, sizes, rectangles, affine transforms.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0, y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0, height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGVector {
    CGFloat dx = 0, dy = 0;
    bool operator==(const CGVector&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};

inline CGPoint CGPointMake(CGFloat x, CGFloat y) {
    return {x, y};
}
inline CGSize CGSizeMake(CGFloat w, CGFloat h) {
    return {w, h};
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
    return {{x, y}, {w, h}};
}

// The null rectangle (the result of intersecting disjoint rectangles) and the infinite one.
inline CGRect CGRectNull() {
    constexpr CGFloat inf = std::numeric_limits<CGFloat>::infinity();
    return {{inf, inf}, {0, 0}};
}
inline CGRect CGRectInfinite() {
    constexpr CGFloat big = 8.98846567431158e307;  // half of DBL_MAX, as the platform uses
    return {{-big, -big}, {2 * big, 2 * big}};
}
inline bool CGRectIsNull(const CGRect& r) {
    return std::isinf(r.origin.x) || std::isinf(r.origin.y);
}
inline bool CGRectIsInfinite(const CGRect& r) {
    return r == CGRectInfinite();
}

// Rectangles with a negative size are standardised before any computation, as on the platform.
inline CGRect CGRectStandardize(CGRect r) {
    if (r.size.width < 0) {
        r.origin.x += r.size.width;
        r.size.width = -r.size.width;
    }
    if (r.size.height < 0) {
        r.origin.y += r.size.height;
        r.size.height = -r.size.height;
    }
    return r;
}
inline CGFloat CGRectGetMinX(const CGRect& r) {
    return CGRectStandardize(r).origin.x;
}
inline CGFloat CGRectGetMinY(const CGRect& r) {
    return CGRectStandardize(r).origin.y;
}
inline CGFloat CGRectGetMaxX(const CGRect& r) {
    auto s = CGRectStandardize(r);
    return s.origin.x + s.size.width;
}
inline CGFloat CGRectGetMaxY(const CGRect& r) {
    auto s = CGRectStandardize(r);
    return s.origin.y + s.size.height;
}
inline CGFloat CGRectGetMidX(const CGRect& r) {
    return (CGRectGetMinX(r) + CGRectGetMaxX(r)) / 2;
}
inline CGFloat CGRectGetMidY(const CGRect& r) {
    return (CGRectGetMinY(r) + CGRectGetMaxY(r)) / 2;
}
inline CGFloat CGRectGetWidth(const CGRect& r) {
    return std::abs(r.size.width);
}
inline CGFloat CGRectGetHeight(const CGRect& r) {
    return std::abs(r.size.height);
}
inline bool CGRectIsEmpty(const CGRect& r) {
    return CGRectIsNull(r) || r.size.width == 0 || r.size.height == 0;
}

inline CGRect CGRectIntersection(const CGRect& a, const CGRect& b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) return CGRectNull();
    CGFloat x0 = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    CGFloat y0 = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    CGFloat x1 = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat y1 = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (x1 < x0 || y1 < y0) return CGRectNull();
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}
inline CGRect CGRectUnion(const CGRect& a, const CGRect& b) {
    if (CGRectIsNull(a)) return b;
    if (CGRectIsNull(b)) return a;
    CGFloat x0 = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    CGFloat y0 = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    CGFloat x1 = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    CGFloat y1 = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}
inline bool CGRectIntersectsRect(const CGRect& a, const CGRect& b) {
    return !CGRectIsEmpty(CGRectIntersection(a, b));
}
inline bool CGRectContainsPoint(const CGRect& r, const CGPoint& p) {
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) && p.y < CGRectGetMaxY(r);
}
inline bool CGRectContainsRect(const CGRect& outer, const CGRect& inner) {
    return CGRectUnion(outer, inner) == CGRectStandardize(outer);
}
inline CGRect CGRectInset(const CGRect& r, CGFloat dx, CGFloat dy) {
    CGRect s = CGRectStandardize(r);
    s.origin.x += dx;
    s.origin.y += dy;
    s.size.width -= 2 * dx;
    s.size.height -= 2 * dy;
    if (s.size.width < 0 || s.size.height < 0) return CGRectNull();
    return s;
}
inline CGRect CGRectOffset(const CGRect& r, CGFloat dx, CGFloat dy) {
    CGRect s = CGRectStandardize(r);
    s.origin.x += dx;
    s.origin.y += dy;
    return s;
}
// The smallest rectangle with integral coordinates that contains the source.
inline CGRect CGRectIntegral(const CGRect& r) {
    if (CGRectIsNull(r)) return r;
    CGFloat x0 = std::floor(CGRectGetMinX(r)), y0 = std::floor(CGRectGetMinY(r));
    CGFloat x1 = std::ceil(CGRectGetMaxX(r)), y1 = std::ceil(CGRectGetMaxY(r));
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

// [ a  b  0 ]
// [ c  d  0 ]   applied to row vectors: x' = a x + c y + tx, y' = b x + d y + ty
// [ tx ty 1 ]
struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity{};

inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty) {
    return {a, b, c, d, tx, ty};
}
inline CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty) {
    return {1, 0, 0, 1, tx, ty};
}
inline CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) {
    return {sx, 0, 0, sy, 0, 0};
}
inline CGAffineTransform CGAffineTransformMakeRotation(CGFloat angle) {
    CGFloat s = std::sin(angle), c = std::cos(angle);
    return {c, s, -s, c, 0, 0};
}
inline bool CGAffineTransformIsIdentity(const CGAffineTransform& t) {
    return t == CGAffineTransformIdentity;
}

// t1 then t2.
inline CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2) {
    return {t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,           t1.c * t2.a + t1.d * t2.c,
            t1.c * t2.b + t1.d * t2.d, t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}
// The platform's "translate/scale/rotate" prepend the new operation: the result applies it first.
inline CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, CGFloat tx, CGFloat ty) {
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}
inline CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, CGFloat sx, CGFloat sy) {
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}
inline CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, CGFloat angle) {
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}
// A singular transform is returned unchanged, as on the platform.
inline CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t) {
    CGFloat det = t.a * t.d - t.b * t.c;
    if (det == 0) return t;
    CGFloat ia = t.d / det, ib = -t.b / det, ic = -t.c / det, id = t.a / det;
    return {ia, ib, ic, id, -(t.tx * ia + t.ty * ic), -(t.tx * ib + t.ty * id)};
}
inline CGPoint CGPointApplyAffineTransform(const CGPoint& p, const CGAffineTransform& t) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}
inline CGSize CGSizeApplyAffineTransform(const CGSize& s, const CGAffineTransform& t) {
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}
// The bounding box of the transformed rectangle.
inline CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t) {
    if (CGRectIsNull(r)) return r;
    CGRect s = CGRectStandardize(r);
    CGPoint p[4] = {CGPointApplyAffineTransform(s.origin, t),
                    CGPointApplyAffineTransform({s.origin.x + s.size.width, s.origin.y}, t),
                    CGPointApplyAffineTransform({s.origin.x, s.origin.y + s.size.height}, t),
                    CGPointApplyAffineTransform({s.origin.x + s.size.width, s.origin.y + s.size.height}, t)};
    CGFloat x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const auto& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}
