// Type 10: two rings of opposite quarter arcs turning against each other.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double m = 0.7071067690849304;
}  // namespace

CGPath topAndBottomArcs(CGFloat w);

std::shared_ptr<CAAnimationGroup> BusyIndicatorBallClipRotateMultipleAnimation::createAnimationInDuration(
    double duration, const std::shared_ptr<CAMediaTimingFunction>& timing, bool reverse) {
    double turn = reverse ? -M_PI : M_PI;
    auto scale =
        keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.6), number(1)}, duration, {timing, timing});
    auto rotation = keyframes("transform.rotation.z", {0, 0.5, 1}, {number(0), number(turn), number(2 * turn)},
                              duration, {timing, timing});
    return group({scale, rotation}, duration);
}

void BusyIndicatorBallClipRotateMultipleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer,
                                                                         CGSize size,
                                                                         const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width;
    CGRect b = layer->bounds();
    CGColor tint = tintColor->cgColor();
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    auto stroked = [&](CGPath path, CGRect frame) {
        auto shape = CAShapeLayer::make();
        shape->setFrame(frame);
        shape->setPath(std::move(path));
        shape->setStrokeColor(tint);
        shape->setLineWidth(2);
        shape->setFillColor(std::nullopt);
        return shape;
    };
    auto outer = stroked(topAndBottomArcs(w), CGRectMake((b.size.width - w) / 2, (b.size.height - w) / 2, w, w));
    attach(outer, createAnimationInDuration(1, ease, false));
    layer->addSublayer(outer);

    // The inner ring's arcs are on its left and right.
    auto path = UIBezierPath::bezierPathWithArcCenter({w / 4, w / 4}, w / 4, 3 * M_PI / 4, 5 * M_PI / 4, true);
    path->moveToPoint({w / 4 + m * w / 4, w / 4 - m * w / 4});
    path->addArcWithCenter({w / 4, w / 4}, w / 4, -M_PI / 4, M_PI / 4, true);
    auto inner =
        stroked(path->cgPath(), CGRectMake((b.size.width - w / 2) / 2, (b.size.height - w / 2) / 2, w / 2, w / 2));
    attach(inner, createAnimationInDuration(0.5, ease, true));
    layer->addSublayer(inner);
}
