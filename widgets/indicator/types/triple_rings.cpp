// Type 30: three rings spreading out one after another.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorTripleRingsAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                              const std::shared_ptr<UIColor>& tintColor) {
    double t0 = CACurrentMediaTime();
    auto easeOut = named(kCAMediaTimingFunctionEaseOut);
    for (int i = 0; i < 3; ++i) {
        auto circle = ring({size.width, size.width}, tintColor->cgColor());
        circle->setFrame({contentOrigin(*layer, size), size});
        circle->setOpacity(1);
        circle->setTransform(flatScale(0));
        double spread = static_cast<float>(2 - 0.4f * i);
        auto grow = basic("transform", flatScale(0.10000000149011612), flatScale(1), spread);
        grow->setTimingFunction(easeOut);
        auto fade = basic("opacity", 1.0, 0.800000011920929, spread);
        fade->setTimingFunction(easeOut);
        auto both = group({grow, fade}, 2);
        both->setBeginTime(t0 + 0.4 * i);
        attach(circle, both);
        layer->addSublayer(circle);
    }
}
