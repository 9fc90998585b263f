// Type 6: three dots pulsing together.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorThreeDotsAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                            const std::shared_ptr<UIColor>& tintColor) {
    CGFloat d = size.width / 4;
    CGPoint origin = contentOrigin(*layer, size);
    auto pulse = keyframes("transform", {}, {flatScale(0.5), flatScale(1)}, 0);
    auto fade = keyframes("opacity", {}, {number(0.25), number(1)}, 0);
    auto both = group({pulse, fade}, 0.5, named(kCAMediaTimingFunctionLinear));
    both->setAutoreverses(true);
    both->setBeginTime(CACurrentMediaTime());
    for (int i = 0; i < 3; ++i) {
        auto disc = dot(d, tintColor->cgColor());
        disc->setFrame(CGRectMake(origin.x + 1.5 * d * i, (layer->bounds().size.height - d) / 2, d, d));
        disc->setOpacity(1);
        attach(disc, both);
        layer->addSublayer(disc);
    }
}
