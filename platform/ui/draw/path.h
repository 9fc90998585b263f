// Vector paths: the CGPath value (lines and Bezier curves) and the UIBezierPath object that strokes and
// fills one in the current graphics context.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/blend_mode.h"

enum class CGPathElementType {
    MoveToPoint = 0,
    AddLineToPoint = 1,
    AddQuadCurveToPoint = 2,
    AddCurveToPoint = 3,
    CloseSubpath = 4
};

// points[0..n): one point for move/line, control + end for a quad, two controls + end for a cubic.
struct CGPathElement {
    CGPathElementType type = CGPathElementType::MoveToPoint;
    std::array<CGPoint, 3> points{};
    bool operator==(const CGPathElement&) const = default;
};

// A path value: copies are independent (CGMutablePath and CGPathRef are the same type here). Arcs,
// ellipses and rounded corners are stored as cubic Bezier segments, as the platform does, so
// elements() of a circle gives four curves.
class CGPath {
public:
    CGPath() = default;

    void moveToPoint(CGPoint p);
    // A segment without a current point starts a subpath there instead.
    void addLineToPoint(CGPoint p);
    void addQuadCurveToPoint(CGPoint control, CGPoint end);
    void addCurveToPoint(CGPoint control1, CGPoint control2, CGPoint end);
    void closeSubpath();

    // Arc of a circle from startAngle to endAngle (radians, measured from +x towards +y). With
    // clockwise == true the angle decreases, as the platform's path functions define it for their
    // y-up space: on a y-down screen such an arc runs counter-clockwise. UIBezierPath's arc takes the
    // screen's sense instead. A line joins the current point to the arc's start.
    void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    // Rounded corner: a line towards p1 and an arc tangent to (current, p1) and (p1, p2).
    void addArcToPoint(CGPoint p1, CGPoint p2, CGFloat radius);
    void addRect(const CGRect& rect);
    void addEllipseInRect(const CGRect& rect);
    // Corner radii are clamped to half the width and height.
    void addRoundedRect(const CGRect& rect, CGFloat cornerWidth, CGFloat cornerHeight);
    void addLines(const std::vector<CGPoint>& points);
    void addPath(const CGPath& other, const CGAffineTransform& transform = CGAffineTransformIdentity);

    bool isEmpty() const { return elements_.empty(); }
    // The current point, or CGPointZero when there is none.
    CGPoint currentPoint() const;
    bool hasCurrentPoint() const { return hasCurrent_; }
    const std::vector<CGPathElement>& elements() const { return elements_; }
    void apply(const std::function<void(const CGPathElement&)>& visit) const;

    // Box of all points including control points (CGRectNull when empty).
    CGRect boundingBox() const;
    // Tight box of the curves themselves (CGRectNull when empty).
    CGRect pathBoundingBox() const;
    // Fill containment with the non-zero or even-odd rule; open subpaths are closed implicitly.
    bool containsPoint(CGPoint p, bool evenOdd = false,
                       const CGAffineTransform& transform = CGAffineTransformIdentity) const;

    void applyTransform(const CGAffineTransform& t);
    CGPath transformed(const CGAffineTransform& t) const;

    // Polylines approximating each subpath (curves cut until within `tolerance`); a closed subpath
    // repeats its first point at the end.
    struct Polyline {
        std::vector<CGPoint> points;
        bool closed = false;
    };
    std::vector<Polyline> flattened(CGFloat tolerance = 0.1) const;
    // Total length of all subpaths.
    CGFloat length() const;
    // The part of the path between fractions start and end of its total length (as shape layers trim
    // their strokes); an empty path when end <= start.
    CGPath trimmed(CGFloat start, CGFloat end) const;

    bool operator==(const CGPath&) const = default;

private:
    void push(CGPathElementType type, std::initializer_list<CGPoint> points);

    std::vector<CGPathElement> elements_;
    CGPoint current_{};
    CGPoint subpathStart_{};
    bool hasCurrent_ = false;
};

using CGMutablePath = CGPath;

enum UIRectCorner : unsigned {
    UIRectCornerTopLeft = 1 << 0,
    UIRectCornerTopRight = 1 << 1,
    UIRectCornerBottomLeft = 1 << 2,
    UIRectCornerBottomRight = 1 << 3,
    UIRectCornerAllCorners = 0xF,
};

// A path with its stroke attributes. Main-thread object; fill/stroke/addClip act on the current
// graphics context and do nothing when there is none.
class UIBezierPath : public NSObject {
public:
    KORVA_MAKE(UIBezierPath)

    static std::shared_ptr<UIBezierPath> bezierPath();
    static std::shared_ptr<UIBezierPath> bezierPathWithRect(const CGRect& rect);
    static std::shared_ptr<UIBezierPath> bezierPathWithOvalInRect(const CGRect& rect);
    // Radius clamped to half the shorter side.
    static std::shared_ptr<UIBezierPath> bezierPathWithRoundedRect(const CGRect& rect, CGFloat cornerRadius);
    static std::shared_ptr<UIBezierPath> bezierPathWithRoundedRect(const CGRect& rect, unsigned corners,
                                                                   CGSize cornerRadii);
    // Angles as on the screen: clockwise == true runs with increasing angle in y-down space.
    static std::shared_ptr<UIBezierPath> bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                                 CGFloat endAngle, bool clockwise);
    static std::shared_ptr<UIBezierPath> bezierPathWithCGPath(const CGPath& path);

    void moveToPoint(CGPoint p) { path_.moveToPoint(p); }
    void addLineToPoint(CGPoint p) { path_.addLineToPoint(p); }
    void addCurveToPoint(CGPoint end, CGPoint control1, CGPoint control2) {
        path_.addCurveToPoint(control1, control2, end);
    }
    void addQuadCurveToPoint(CGPoint end, CGPoint control) { path_.addQuadCurveToPoint(control, end); }
    void addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
        path_.addArc(center, radius, startAngle, endAngle, !clockwise);
    }
    void closePath() { path_.closeSubpath(); }
    void removeAllPoints() { path_ = CGPath(); }
    void appendPath(const UIBezierPath& other) { path_.addPath(other.path_); }
    void applyTransform(const CGAffineTransform& t) { path_.applyTransform(t); }
    std::shared_ptr<UIBezierPath> copy() const;

    const CGPath& cgPath() const { return path_; }
    void setCGPath(CGPath path) { path_ = std::move(path); }
    bool isEmpty() const { return path_.isEmpty(); }
    CGPoint currentPoint() const { return path_.currentPoint(); }
    // Tight bounds of the curves (CGRectZero-sized at the origin for an empty path).
    CGRect bounds() const;
    bool containsPoint(CGPoint p) const { return path_.containsPoint(p, usesEvenOddFillRule_); }

    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat w) { lineWidth_ = w; }
    CGLineCap lineCapStyle() const { return lineCap_; }
    void setLineCapStyle(CGLineCap cap) { lineCap_ = cap; }
    CGLineJoin lineJoinStyle() const { return lineJoin_; }
    void setLineJoinStyle(CGLineJoin join) { lineJoin_ = join; }
    CGFloat miterLimit() const { return miterLimit_; }
    void setMiterLimit(CGFloat limit) { miterLimit_ = limit; }
    bool usesEvenOddFillRule() const { return usesEvenOddFillRule_; }
    void setUsesEvenOddFillRule(bool evenOdd) { usesEvenOddFillRule_ = evenOdd; }
    const std::vector<CGFloat>& lineDashPattern() const { return dash_; }
    CGFloat lineDashPhase() const { return dashPhase_; }
    void setLineDash(std::vector<CGFloat> pattern, CGFloat phase) {
        dash_ = std::move(pattern);
        dashPhase_ = phase;
    }

    // Drawing in the current context with its current fill or stroke colour.
    void fill() const;
    void stroke() const;
    void fillWithBlendMode(CGBlendMode mode, CGFloat alpha) const;
    void strokeWithBlendMode(CGBlendMode mode, CGFloat alpha) const;
    // Intersects the current context's clip with this path (using the path's fill rule).
    void addClip() const;

    std::string className() const override { return "UIBezierPath"; }

protected:
    UIBezierPath() = default;

private:
    CGPath path_;
    CGFloat lineWidth_ = 1;
    CGLineCap lineCap_ = CGLineCap::Butt;
    CGLineJoin lineJoin_ = CGLineJoin::Miter;
    CGFloat miterLimit_ = 10;
    bool usesEvenOddFillRule_ = false;
    std::vector<CGFloat> dash_;
    CGFloat dashPhase_ = 0;
};
