// Type 7: three discs in a row, each shrinking and growing in turn.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double kBegins[3] = {0.12, 0.24, 0.36};
}  // namespace

void BusyIndicatorBallPulseAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                            const std::shared_ptr<UIColor>& tintColor) {
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat side = (size.width - 10) / 3;
    auto f = curve(0.2f, 0.68f, 0.18f, 1.08f);
    auto pulse = keyframes("transform", {0, 0.3, 1}, {scale3(1), scale3(0.3), scale3(1)}, 0.75, {f, f});
    for (int i = 0; i < 3; ++i) {
        auto disc = dot(side, tintColor->cgColor());
        disc->setFrame(CGRectMake(origin.x + i * (side + 5), (layer->bounds().size.height - side) / 2, side, side));
        pulse->setBeginTime(kBegins[i]);
        attach(disc, pulse);
        layer->addSublayer(disc);
    }
}
