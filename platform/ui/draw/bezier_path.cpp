// UIBezierPath: factories and drawing in the current context.
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/path.h"

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPath() {
    return make();
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRect(const CGRect& rect) {
    auto path = make();
    path->path_.addRect(rect);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithOvalInRect(const CGRect& rect) {
    auto path = make();
    path->path_.addEllipseInRect(rect);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(const CGRect& rect, CGFloat cornerRadius) {
    CGRect r = CGRectStandardize(rect);
    CGFloat radius = std::clamp<CGFloat>(cornerRadius, 0, std::min(r.size.width, r.size.height) / 2);
    auto path = make();
    path->path_.addRoundedRect(r, radius, radius);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(const CGRect& rect, unsigned corners,
                                                                      CGSize cornerRadii) {
    CGRect r = CGRectStandardize(rect);
    CGFloat rx = std::clamp<CGFloat>(cornerRadii.width, 0, r.size.width / 2);
    CGFloat ry = std::clamp<CGFloat>(cornerRadii.height, 0, r.size.height / 2);
    CGFloat x0 = r.origin.x, y0 = r.origin.y, x1 = x0 + r.size.width, y1 = y0 + r.size.height;
    constexpr CGFloat k = 0.5522847498307936;
    auto path = make();
    CGPath& p = path->path_;
    auto has = [&](unsigned corner) { return (corners & corner) && rx > 0 && ry > 0; };
    p.moveToPoint({has(UIRectCornerTopLeft) ? x0 + rx : x0, y0});
    if (has(UIRectCornerTopRight)) {
        p.addLineToPoint({x1 - rx, y0});
        p.addCurveToPoint({x1 - rx + k * rx, y0}, {x1, y0 + ry - k * ry}, {x1, y0 + ry});
    } else {
        p.addLineToPoint({x1, y0});
    }
    if (has(UIRectCornerBottomRight)) {
        p.addLineToPoint({x1, y1 - ry});
        p.addCurveToPoint({x1, y1 - ry + k * ry}, {x1 - rx + k * rx, y1}, {x1 - rx, y1});
    } else {
        p.addLineToPoint({x1, y1});
    }
    if (has(UIRectCornerBottomLeft)) {
        p.addLineToPoint({x0 + rx, y1});
        p.addCurveToPoint({x0 + rx - k * rx, y1}, {x0, y1 - ry + k * ry}, {x0, y1 - ry});
    } else {
        p.addLineToPoint({x0, y1});
    }
    if (has(UIRectCornerTopLeft)) {
        p.addLineToPoint({x0, y0 + ry});
        p.addCurveToPoint({x0, y0 + ry - k * ry}, {x0 + rx - k * rx, y0}, {x0 + rx, y0});
    }
    p.closeSubpath();
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                                    CGFloat endAngle, bool clockwise) {
    auto path = make();
    path->addArcWithCenter(center, radius, startAngle, endAngle, clockwise);
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithCGPath(const CGPath& cgPath) {
    auto path = make();
    path->path_ = cgPath;
    return path;
}

std::shared_ptr<UIBezierPath> UIBezierPath::copy() const {
    auto path = make();
    path->path_ = path_;
    path->lineWidth_ = lineWidth_;
    path->lineCap_ = lineCap_;
    path->lineJoin_ = lineJoin_;
    path->miterLimit_ = miterLimit_;
    path->usesEvenOddFillRule_ = usesEvenOddFillRule_;
    path->dash_ = dash_;
    path->dashPhase_ = dashPhase_;
    return path;
}

CGRect UIBezierPath::bounds() const {
    CGRect box = path_.pathBoundingBox();
    return CGRectIsNull(box) ? CGRectZero : box;
}

// fill and stroke keep the context's blend mode and alpha; the variants with a mode set both.
void UIBezierPath::fill() const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->saveGState();
    c->beginPath();
    c->addPath(path_);
    c->drawPath(usesEvenOddFillRule_ ? CGPathDrawingMode::EOFill : CGPathDrawingMode::Fill);
    c->restoreGState();
}

void UIBezierPath::stroke() const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->saveGState();
    c->setLineWidth(lineWidth_);
    c->setLineCap(lineCap_);
    c->setLineJoin(lineJoin_);
    c->setMiterLimit(miterLimit_);
    c->setLineDash(dashPhase_, dash_);
    c->beginPath();
    c->addPath(path_);
    c->strokePath();
    c->restoreGState();
}

void UIBezierPath::fillWithBlendMode(CGBlendMode mode, CGFloat alpha) const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->saveGState();
    c->setBlendMode(mode);
    c->setAlpha(alpha);
    fill();
    c->restoreGState();
}

void UIBezierPath::strokeWithBlendMode(CGBlendMode mode, CGFloat alpha) const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->saveGState();
    c->setBlendMode(mode);
    c->setAlpha(alpha);
    stroke();
    c->restoreGState();
}

void UIBezierPath::addClip() const {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c) return;
    c->beginPath();
    c->addPath(path_);
    if (usesEvenOddFillRule_)
        c->eoClip();
    else
        c->clip();
}
