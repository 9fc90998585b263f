// Type 1: four discs filling the box, growing from nothing and fading one after another.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorTriplePulseAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                              const std::shared_ptr<UIColor>& tintColor) {
    double t0 = CACurrentMediaTime();
    auto grow = basic("transform", flatScale(0), flatScale(1), 0);
    auto fade = basic("opacity", 0.8, 0.0, 0);
    auto both = group({grow, fade}, 1.2000000476837158);
    for (int i = 0; i < 4; ++i) {
        auto disc = dot(size.height, tintColor->cgColor());
        disc->setFrame({contentOrigin(*layer, size), size});
        disc->setCornerRadius(size.height / 2);
        disc->setOpacity(0.8f);
        disc->setTransform(flatScale(0));
        both->setBeginTime(t0 + 0.2 * i);
        attach(disc, both);
        layer->addSublayer(disc);
    }
}
