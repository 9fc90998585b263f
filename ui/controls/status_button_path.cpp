// The path and stopwatch icons of the status buttons.
#include "ui/controls/status_button_path.h"

#include <numbers>

#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/view_custom_constraints.h"

std::shared_ptr<CAShapeLayer> makeIconStroke(const CGPath& path, CGPoint position) {
    auto layer = CAShapeLayer::make();
    layer->setPath(path);
    layer->setStrokeColor(UIColor::whiteColor()->cgColor());
    layer->setLineWidth(1);
    layer->setFillColor(UIColor::clearColor()->cgColor());
    layer->setLineCap(CGLineCap::Butt);
    layer->setLineJoin(CGLineJoin::Miter);
    layer->setPosition(position);
    return layer;
}

StatusButtonPath::StatusButtonPath(const CGPath& path, CGPoint position, CGSize size)
    : path_(std::make_unique<CGPath>(path)), position_(position), size_(size) {}

void StatusButtonPath::init() {
    StatusButtonBase::init();
    shape_ = UIView::make();
    clo_ = makeIconStroke(*path_, position_);
    path_.reset();
    shape_->layer()->addSublayer(clo_);
    addSubview(shape_);
    addConstraintsCT(shape_, self<StatusButtonPath>(), 0, 0, size_.width, size_.height);
}

void StatusButtonPath::setPath(const CGPath& path) {
    clo_->setPath(path);
}

void StatusButtonTimer::init() {
    StatusButtonBase::init();
    shape_ = UIView::make();
    addIcon(shape_);
    setPercent(1);
}

void StatusButtonTimer::setPercent(double p) {
    percent_ = p;
    constexpr float kStart = -std::numbers::pi_v<float> / 2;
    constexpr float kEnd = 1.4f * std::numbers::pi_v<float>;
    const float end = lerpFloat(kStart, kEnd, float(p));
    if (clo_) clo_->removeFromSuperlayer();
    CGPath path;
    path.moveToPoint({0, 0});
    path.addLineToPoint({0, -kRadius});
    // Clockwise on screen, which is the path's decreasing-angle sense turned over.
    if (p > 0) path.addArc({0, 0}, kRadius, -std::numbers::pi / 2, end, false);
    clo_ = makeIconStroke(path, {kRadius, kRadius});
    shape_->layer()->addSublayer(clo_);
}
