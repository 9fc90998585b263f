// Type 0: nine dots in a grid, each pulsing in size and opacity on its own clock.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {
constexpr double kDurations[] = {0.72, 1.02, 1.28, 1.42, 1.45, 1.18, 0.87, 1.45, 1.06};
constexpr double kOffsets[] = {0.11, 0.42, 0, 0.65, 0.48, 0.2, 0.63, 0.95, 0.62};
constexpr std::size_t kDots = std::min(std::size(kDurations), std::size(kOffsets));
}  // namespace

void BusyIndicatorNineDotsAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                           const std::shared_ptr<UIColor>& tintColor) {
    CGFloat w = size.width, d = w / 4;
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat top = (layer->bounds().size.height - w) / 2;  // centred with the width, not the height
    auto pulse = keyframes("transform", {}, {flatScale(0.5), flatScale(1), flatScale(0.5)}, 0);
    auto fade = keyframes("opacity", {}, {number(0.5), number(1), number(0.5)}, 0);
    auto both = group({pulse, fade}, 1, named(kCAMediaTimingFunctionLinear));
    both->setBeginTime(CACurrentMediaTime());
    for (std::size_t i = 0; i < kDots; ++i) {
        auto disc = dot(d, tintColor->cgColor());
        disc->setFrame(CGRectMake(origin.x + 1.5 * d * double(i % 3), top + 1.5 * d * double(i / 3), d, d));
        disc->setOpacity(1);
        both->setDuration(kDurations[i]);
        both->setTimeOffset(kOffsets[i]);
        attach(disc, both);
        layer->addSublayer(disc);
    }
}
