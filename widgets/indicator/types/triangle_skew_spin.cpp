// Type 25: a triangle flipping over one axis and then the other.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorTriangleSkewSpinAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                   const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, h = size.height;
    auto triangle = CAShapeLayer::make();
    auto path = UIBezierPath::bezierPath();
    path->moveToPoint({0, h - h / 4});
    path->addLineToPoint({w / 2, h / 2 - h / 4});
    path->addLineToPoint({w, h - h / 4});
    path->closePath();
    triangle->setPath(path->cgPath());
    triangle->setFillColor(tintColor->cgColor());
    triangle->setFrame({contentOrigin(*layer, size), size});
    auto f = curve(0.09f, 0.57f, 0.49f, 0.9f);
    std::vector<double> times{0, 0.25, 0.5, 0.75, 1};
    auto flipX = keyframes("transform.rotation.x", times, {number(0), number(M_PI), number(M_PI), number(0), number(0)},
                           3, repeated(f, 4));
    auto flipY = keyframes("transform.rotation.y", times, {number(0), number(0), number(M_PI), number(M_PI), number(0)},
                           3, repeated(f, 4));
    attach(triangle, group({flipX, flipY}, 3));
    layer->addSublayer(triangle);
}
