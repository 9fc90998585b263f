// Type 15: one disc that grows from nothing while it fades away.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

void BusyIndicatorBallScaleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                            const std::shared_ptr<UIColor>& tintColor) {
    auto disc = roundedShape(size, size.width / 2, tintColor->cgColor());
    disc->setFrame({contentOrigin(*layer, size), size});
    auto grow = basic("transform.scale", 0.0, 1.0, 1);
    auto fade = basic("opacity", 1.0, 0.0, 1);
    attach(disc, group({grow, fade}, 1, named(kCAMediaTimingFunctionEaseInEaseOut)));
    layer->addSublayer(disc);
}
