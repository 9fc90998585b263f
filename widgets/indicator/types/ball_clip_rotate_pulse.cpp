// Type 9: a pulsing disc inside a turning ring of two opposite arcs.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double m = 0.7071067690849304;  // half the square root of two, in single precision
}  // namespace

// The two opposite quarter arcs, top and bottom, of a ring of side w (shared with type 10).
CGPath topAndBottomArcs(CGFloat w) {
    auto path = UIBezierPath::bezierPathWithArcCenter({w / 2, w / 2}, w / 2, -3 * M_PI / 4, -M_PI / 4, true);
    path->moveToPoint({w / 2 - m * w / 2, w / 2 + m * w / 2});
    path->addArcWithCenter({w / 2, w / 2}, w / 2, -5 * M_PI / 4, -7 * M_PI / 4, false);
    return path->cgPath();
}

void BusyIndicatorBallClipRotatePulseAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer,
                                                                      CGSize size,
                                                                      const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width;
    CGRect b = layer->bounds();
    auto f = curve(0.09f, 0.57f, 0.49f, 0.9f);
    CGColor tint = tintColor->cgColor();

    auto disc = CALayer::make();
    disc->setFrame(CGRectMake((b.size.width - w / 2) / 2, (b.size.height - w / 2) / 2, w / 2, w / 2));
    disc->setBackgroundColor(tint);
    disc->setCornerRadius(w / 4);
    attach(disc, keyframes("transform.scale", {0, 0.3, 1}, {number(1), number(0.3), number(1)}, 1, {f, f}));
    layer->addSublayer(disc);

    auto ringLayer = CAShapeLayer::make();
    ringLayer->setFrame(CGRectMake((b.size.width - w) / 2, (b.size.height - w) / 2, w, w));
    ringLayer->setPath(topAndBottomArcs(w));
    ringLayer->setStrokeColor(tint);
    ringLayer->setLineWidth(2);
    ringLayer->setFillColor(std::nullopt);
    auto scale = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.6), number(1)}, 1, {f, f});
    auto turn = keyframes("transform.rotation.z", {0, 0.5, 1}, {number(0), number(M_PI), number(2 * M_PI)}, 1, {f, f});
    attach(ringLayer, group({scale, turn}, 1));
    layer->addSublayer(ringLayer);
}
