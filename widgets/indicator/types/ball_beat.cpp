// Type 20: three discs beating, the outer two half a beat after the middle one.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double kBegins[3] = {0.35, 0, 0.35};
}  // namespace

void BusyIndicatorBallBeatAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                           const std::shared_ptr<UIColor>& tintColor) {
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat side = (size.width - 4) / 3;
    auto scale = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.75), number(1)}, 0.7);
    auto fade = keyframes("opacity", {0, 0.5, 1}, {number(1), number(0.2), number(1)}, 0.7);
    auto beat = group({scale, fade}, 0.7, named(kCAMediaTimingFunctionLinear));
    for (int i = 0; i < 3; ++i) {
        auto disc = roundedShape({side, side}, side / 2, tintColor->cgColor());
        disc->setFrame(CGRectMake(origin.x + i * (side + 2), (layer->bounds().size.height - side) / 2, side, side));
        beat->setBeginTime(kBegins[i]);
        attach(disc, beat);
        layer->addSublayer(disc);
    }
}
