// Type 19: three discs bobbing up and down in a wave.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double kBegins[3] = {0.07, 0.14, 0.21};
}  // namespace

void BusyIndicatorBallPulseSyncAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                const std::shared_ptr<UIColor>& tintColor) {
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat side = (size.width - 4) / 3;
    double q = (size.height / 2 - side / 2) / 2;
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    auto bob = keyframes("transform.translation.y", {0, 0.33, 0.66, 1}, {number(0), number(q), number(-q), number(0)},
                         0.6, repeated(ease, 3));
    for (int i = 0; i < 3; ++i) {
        auto disc = roundedShape({side, side}, side / 2, tintColor->cgColor());
        disc->setFrame(CGRectMake(origin.x + i * (side + 2), (layer->bounds().size.height - side) / 2, side, side));
        bob->setBeginTime(kBegins[i]);
        attach(disc, bob);
        layer->addSublayer(disc);
    }
}
