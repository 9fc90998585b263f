// Shape layer properties.
#include "platform/ui/layer/ca_shape_layer.h"

#include <algorithm>

void CAShapeLayer::setPath(std::optional<CGPath> p) {
    path_ = std::move(p);
    changed();
}

void CAShapeLayer::setFillColor(std::optional<CGColor> c) {
    fillColor_ = std::move(c);
    changed();
}

void CAShapeLayer::setFillRule(CAFillRule r) {
    fillRule_ = r;
    changed();
}

void CAShapeLayer::setStrokeColor(std::optional<CGColor> c) {
    strokeColor_ = std::move(c);
    changed();
}

void CAShapeLayer::setLineWidth(CGFloat w) {
    lineWidth_ = std::max<CGFloat>(0, w);
    changed();
}

void CAShapeLayer::setLineCap(CGLineCap c) {
    lineCap_ = c;
    changed();
}

void CAShapeLayer::setLineJoin(CGLineJoin j) {
    lineJoin_ = j;
    changed();
}

void CAShapeLayer::setMiterLimit(CGFloat m) {
    miterLimit_ = m;
    changed();
}

void CAShapeLayer::setLineDashPattern(std::vector<CGFloat> pattern) {
    dashPattern_ = std::move(pattern);
    changed();
}

void CAShapeLayer::setLineDashPhase(CGFloat phase) {
    dashPhase_ = phase;
    changed();
}

void CAShapeLayer::setStrokeStart(CGFloat s) {
    strokeStart_ = std::clamp<CGFloat>(s, 0, 1);
    changed();
}

void CAShapeLayer::setStrokeEnd(CGFloat e) {
    strokeEnd_ = std::clamp<CGFloat>(e, 0, 1);
    changed();
}
