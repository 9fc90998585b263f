// Shape layer properties.
#include "platform/ui/layer/ca_shape_layer.h"

#include <algorithm>

#include "platform/ui/animation/ca_layer_actions.h"

void CAShapeLayer::setPath(std::optional<CGPath> p) {
    if (p != path_) CALayerActions::layerWillChange(*this, "path");
    path_ = std::move(p);
    changed();
}

void CAShapeLayer::setFillColor(std::optional<CGColor> c) {
    if (c != fillColor_) CALayerActions::layerWillChange(*this, "fillColor");
    fillColor_ = std::move(c);
    changed();
}

void CAShapeLayer::setFillRule(CAFillRule r) {
    fillRule_ = r;
    changed();
}

void CAShapeLayer::setStrokeColor(std::optional<CGColor> c) {
    if (c != strokeColor_) CALayerActions::layerWillChange(*this, "strokeColor");
    strokeColor_ = std::move(c);
    changed();
}

void CAShapeLayer::setLineWidth(CGFloat w) {
    w = std::max<CGFloat>(0, w);
    if (w != lineWidth_) CALayerActions::layerWillChange(*this, "lineWidth");
    lineWidth_ = w;
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
    s = std::clamp<CGFloat>(s, 0, 1);
    if (s != strokeStart_) CALayerActions::layerWillChange(*this, "strokeStart");
    strokeStart_ = s;
    changed();
}

void CAShapeLayer::setStrokeEnd(CGFloat e) {
    e = std::clamp<CGFloat>(e, 0, 1);
    if (e != strokeEnd_) CALayerActions::layerWillChange(*this, "strokeEnd");
    strokeEnd_ = e;
    changed();
}
