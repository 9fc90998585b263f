// Type 8: a three-quarter ring that turns while it dips in size.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorBallClipRotateAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                 const std::shared_ptr<UIColor>& tintColor) {
    CGPoint origin = contentOrigin(*layer, size);
    auto ringLayer = CAShapeLayer::make();
    // Clockwise on screen from the top round to the left: three quarters of a ring.
    auto path = UIBezierPath::bezierPathWithArcCenter({size.width / 2, size.height / 2}, size.width / 2, 3 * M_PI / 2,
                                                      M_PI, true);
    ringLayer->setPath(path->cgPath());
    ringLayer->setStrokeColor(tintColor->cgColor());
    ringLayer->setLineWidth(2);
    ringLayer->setFillColor(std::nullopt);
    ringLayer->setFrame({origin, size});
    auto scale = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.6), number(1)}, 0.75);
    auto turn = keyframes("transform.rotation.z", {0, 0.5, 1}, {number(0), number(M_PI), number(2 * M_PI)}, 0.75);
    attach(ringLayer, group({scale, turn}, 0.75, named(kCAMediaTimingFunctionLinear)));
    layer->addSublayer(ringLayer);
}
