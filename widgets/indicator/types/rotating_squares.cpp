// Type 3: two squares chasing each other round the box, turning and shrinking at the corners.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
CATransform3D cornerTurn(double x, double y, double angle, double k) {
    return CATransform3DScale(CATransform3DRotate(translation(x, y), angle, 0, 0, 1), k, k, 1);
}
}  // namespace

void BusyIndicatorRotatingSquaresAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                  const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, h = size.height, s = std::floor(w / 4);
    CGPoint origin = contentOrigin(*layer, size);
    double t0 = CACurrentMediaTime();
    const double duration = 1.600000023841858;
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    auto chase =
        keyframes("transform", {0, 0.25, 0.5, 0.75, 1},
                  {CATransform3DIdentity, cornerTurn(w - s, 0, -M_PI / 2, 0.5), cornerTurn(w - s, h - s, -M_PI, 1),
                   cornerTurn(0, h - s, -3 * M_PI / 2, 0.5), cornerTurn(0, 0, -2 * M_PI, 1)},
                  duration, repeated(ease, 5));
    for (int i = 0; i < 2; ++i) {
        auto square = CALayer::make();
        square->setFrame(CGRectMake(origin.x, origin.y, s, s));
        square->setBackgroundColor(tintColor->cgColor());
        square->setShouldRasterize(true);
        chase->setBeginTime(t0 - duration / 2 * i);
        attach(square, chase);
        layer->addSublayer(square);
    }
}
