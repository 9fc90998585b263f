// Type 18: three discs growing from nothing one after another, flashing in as they start.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double kBegins[3] = {0, 0.2, 0.4};
}  // namespace

void BusyIndicatorBallScaleMultipleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                    const std::shared_ptr<UIColor>& tintColor) {
    auto grow = basic("transform.scale", 0.0, 1.0, 1);
    auto flash = keyframes("opacity", {0, 0.05, 1}, {number(0), number(1), number(0)}, 1);
    auto together = group({grow, flash}, 1, named(kCAMediaTimingFunctionLinear));
    for (double begin : kBegins) {
        auto disc = roundedShape(size, size.width / 2, tintColor->cgColor());
        disc->setFrame({contentOrigin(*layer, size), size});
        disc->setOpacity(0);
        together->setBeginTime(begin);
        attach(disc, together);
        layer->addSublayer(disc);
    }
}
