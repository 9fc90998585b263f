// Types 28 and 29: dots round a sandglass (28) and rings round a triangle (29).
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorRotatingSandglassAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                    const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, h = size.height, b = w / 4;
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat top = (layer->bounds().size.height - w) / 2;
    double t0 = CACurrentMediaTime();
    auto linear = named(kCAMediaTimingFunctionLinear);
    const std::pair<double, CGPoint> dots[] = {{1, {origin.x, top}}, {-1, {origin.x + w / 2, top + h - b}}};
    for (const auto& [f, at] : dots) {
        auto disc = dot(b, tintColor->cgColor());
        disc->setFrame({at, {b, b}});
        disc->setTransform(flatScale(0));
        disc->setShouldRasterize(true);
        auto move = keyframes("transform", {0, 1.0 / 3, 2.0 / 3, 1},
                              {CATransform3DIdentity, translation(f * w / 2, 0),
                               translation(f * w / 4, f * (h - b) / 2), translation(0, 0)},
                              0.800000011920929, repeated(linear, 4));
        move->setBeginTime(t0);
        attach(disc, move);
        layer->addSublayer(disc);
    }
}

void BusyIndicatorRotatingTrigonAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                 const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, r = w / 4;
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat top = (layer->bounds().size.height - w) / 2;
    float side = static_cast<float>(w - r);
    double k = std::sqrt(side * side - (side / 2) * (side / 2));  // the triangle's height, in single precision
    double t0 = CACurrentMediaTime();
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    auto move = keyframes(
        "transform", {0, 1.0 / 3, 2.0 / 3, 1},
        {CATransform3DIdentity, translation(r / 2 - w / 2, k), translation(w / 2 - r / 2, k), translation(0, 0)}, 2,
        repeated(ease, 4));
    for (int i = 0; i < 3; ++i) {
        auto circle = ring({r, r}, tintColor->cgColor());
        circle->setBounds(CGRectMake(0, 0, r, r));
        circle->setPosition({origin.x + w / 2, top + r / 2});
        circle->setTransform(flatScale(0));
        circle->setShouldRasterize(true);
        move->setBeginTime(t0 - 2.0 / 3 * i);
        attach(circle, move);
        layer->addSublayer(circle);
    }
}
