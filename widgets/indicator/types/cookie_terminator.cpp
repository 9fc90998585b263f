// Type 31: a mouth that opens and closes while pellets slide into it.
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorCookieTerminatorAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                   const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width;
    CGFloat r = std::ceil(static_cast<float>(w / 3)), s = std::ceil(static_cast<float>(w / 6));
    CGFloat x0 = contentOrigin(*layer, size).x, midY = layer->bounds().size.height / 2;
    CGPoint mouth{x0, midY};
    CGColor tint = tintColor->cgColor();
    double t0 = CACurrentMediaTime();

    auto cookie = CAShapeLayer::make();
    auto body = UIBezierPath::bezierPathWithArcCenter(mouth, r, M_PI / 4, 7 * M_PI / 4, true);
    body->addLineToPoint(mouth);
    body->closePath();
    cookie->setPath(body->cgPath());
    cookie->setFillColor(tint);
    layer->addSublayer(cookie);

    auto jawPath = UIBezierPath::bezierPathWithArcCenter({0, 0}, r, M_PI / 2, 3 * M_PI / 2, true);
    jawPath->closePath();
    for (double f : {1.0, -1.0}) {
        auto jaw = CAShapeLayer::make();
        jaw->setPath(jawPath->cgPath());
        jaw->setFillColor(tint);
        jaw->setPosition(mouth);
        jaw->setOpacity(1);
        jaw->setTransform(CATransform3DMakeRotation(f * M_PI / 4, 0, 0, 1));
        layer->addSublayer(jaw);
        auto chomp = basic("transform", CATransform3DMakeRotation(f * M_PI / 4, 0, 0, 1),
                           CATransform3DMakeRotation(f * M_PI / 2, 0, 0, 1), 0.30000001192092896);
        chomp->setBeginTime(t0);
        chomp->setAutoreverses(true);
        chomp->setTimingFunction(named(kCAMediaTimingFunctionEaseInEaseOut));
        attach(jaw, chomp);
    }

    const double duration = 1.7999999523162842;
    for (int j = 0; j < 3; ++j) {
        auto pellet = dot(s, tint);
        pellet->setFrame(CGRectMake(x0 + 9 * s - r, midY - s / 2, s, s));
        pellet->setOpacity(1);
        auto slide = basic("transform", translation(0, 0), translation(-9 * s, 0), duration);
        slide->setBeginTime(t0 + duration * j / -3);
        slide->setTimingFunction(named(kCAMediaTimingFunctionLinear));
        attach(pellet, slide);
        layer->addSublayer(pellet);
    }
}
