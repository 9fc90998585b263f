// Types 4 and 5: two discs growing and shrinking half a cycle apart, laid over each other (4) or
// side by side and overlapping (5).
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

std::shared_ptr<CAKeyframeAnimation> swell(double duration) {
    auto ease = named(kCAMediaTimingFunctionEaseInEaseOut);
    return keyframes("transform", {0, 0.5, 1}, {flatScale(0), flatScale(1), flatScale(0)}, duration, repeated(ease, 3));
}

}  // namespace

void BusyIndicatorDoubleBounceAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                               const std::shared_ptr<UIColor>& tintColor) {
    double t0 = CACurrentMediaTime();
    auto animation = swell(2);
    for (int i = 0; i < 2; ++i) {
        auto disc = dot(size.height, tintColor->cgColor());
        disc->setFrame({contentOrigin(*layer, size), size});
        disc->setOpacity(0.5f);
        disc->setTransform(flatScale(0));
        animation->setBeginTime(t0 - i);
        attach(disc, animation);
        layer->addSublayer(disc);
    }
}

void BusyIndicatorTwoDotsAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                          const std::shared_ptr<UIColor>& tintColor) {
    const double duration = 1.7999999523162842;
    CGFloat d = 0.9200000166893005 * size.width;
    CGPoint origin = contentOrigin(*layer, size);
    double t0 = CACurrentMediaTime();
    auto animation = swell(duration);
    for (int i = 0; i < 2; ++i) {
        auto disc = dot(d, tintColor->cgColor());
        disc->setFrame(
            CGRectMake(i == 0 ? origin.x : origin.x + size.width - d / 2, (layer->bounds().size.height - d) / 2, d, d));
        disc->setTransform(flatScale(0));
        animation->setBeginTime(t0 - duration / 2 * i);
        attach(disc, animation);
        layer->addSublayer(disc);
    }
}
