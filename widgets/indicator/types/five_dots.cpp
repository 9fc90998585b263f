// Type 2: five dots, the outer three and the inner two swinging up and down against each other.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
CATransform3D moved(double x, double y, double k) {
    return CATransform3DScale(translation(x, y), k, k, 0);
}
}  // namespace

void BusyIndicatorFiveDotsAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                           const std::shared_ptr<UIColor>& tintColor) {
    CGFloat d = size.width / 5;
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat y = (layer->bounds().size.height - d) / 2;
    double t0 = CACurrentMediaTime();
    const double k = 0.30000001192092896;
    auto linear = named(kCAMediaTimingFunctionLinear);
    auto outer = keyframes("transform", {},
                           {moved(0, 0, 1), moved(0, -2 * d, 1), moved(0, 0, k), moved(0, 2 * d, 1), moved(0, 0, 1)}, 1,
                           repeated(linear, 4));
    auto inner =
        keyframes("transform", {0, 0.25, 0.75, 1},
                  {moved(0, 0, k), moved(0, 2 * d, 1), moved(0, -2 * d, 1), moved(0, 0, k)}, 1, repeated(linear, 3));
    outer->setBeginTime(t0);
    inner->setBeginTime(t0);
    auto place = [&](CGFloat x, const std::shared_ptr<CAAnimation>& animation) {
        auto disc = dot(d, tintColor->cgColor());
        disc->setFrame(CGRectMake(x, y, d, d));
        disc->setOpacity(1);
        attach(disc, animation);
        layer->addSublayer(disc);
    };
    for (int i = 0; i < 3; ++i) place(origin.x + 2 * d * i, outer);
    for (int i = 0; i < 2; ++i) place(origin.x + d + 2 * d * i, inner);
}
