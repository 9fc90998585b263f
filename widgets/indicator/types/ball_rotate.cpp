// Type 11: a row of three discs that turns and shrinks as one.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorBallRotateAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                             const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, h = size.height, c = w / 5;
    CGColor tint = tintColor->cgColor();
    auto container = CALayer::make();
    container->setFrame({contentOrigin(*layer, size), size});
    const CGPoint places[3] = {{0, (h - c) / 2}, {w - c, (h - c) / 2}, {(w - c) / 2, (h - c) / 2}};
    for (int i = 0; i < 3; ++i) {
        auto disc = dot(c, tint);
        disc->setFrame({places[i], {c, c}});
        if (i < 2) disc->setOpacity(0.8f);
        container->addSublayer(disc);
    }
    auto f = curve(0.7f, -0.13f, 0.22f, 0.86f);
    auto scale = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.6), number(1)}, 1, {f, f});
    auto turn =
        keyframes("transform.rotation.z", {0, 0.5, 1}, {number(0), number(-M_PI), number(-2 * M_PI)}, 1, {f, f});
    attach(container, group({scale, turn}, 1));
    layer->addSublayer(container);
}
