// Types 23 and 24: rings that spread out from the centre and fade, one or three at a time.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

std::shared_ptr<CAAnimationGroup> ripple(double duration) {
    auto f = curve(0.21f, 0.53f, 0.56f, 0.8f);
    auto spread = keyframes("transform.scale", {0, 0.7}, {number(0.1), number(1)}, duration, {f});
    auto fade = keyframes("opacity", {0, 0.7, 1}, {number(1), number(0.7), number(0)}, duration, {f, f});
    return group({spread, fade}, duration);
}

std::shared_ptr<CAShapeLayer> rippleRing(const CALayer& layer, CGSize size, const CGColor& tint) {
    auto ringLayer = CAShapeLayer::make();
    ringLayer->setFrame({contentOrigin(layer, size), size});
    ringLayer->setPath(UIBezierPath::bezierPathWithRoundedRect({{0, 0}, size}, size.width / 2)->cgPath());
    ringLayer->setStrokeColor(tint);
    ringLayer->setLineWidth(2);
    ringLayer->setFillColor(std::nullopt);
    return ringLayer;
}

constexpr double kOffsets[3] = {0, 0.2, 0.4};

}  // namespace

void BusyIndicatorBallScaleRippleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                  const std::shared_ptr<UIColor>& tintColor) {
    auto ringLayer = rippleRing(*layer, size, tintColor->cgColor());
    attach(ringLayer, ripple(1));
    layer->addSublayer(ringLayer);
}

void BusyIndicatorBallScaleRippleMultipleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer,
                                                                          CGSize size,
                                                                          const std::shared_ptr<UIColor>& tintColor) {
    auto wave = ripple(1.25);
    wave->setBeginTime(CACurrentMediaTime());
    for (double offset : kOffsets) {
        auto ringLayer = rippleRing(*layer, size, tintColor->cgColor());
        wave->setTimeOffset(offset);
        attach(ringLayer, wave);
        layer->addSublayer(ringLayer);
    }
}
