// Types 26 and 27: nine discs in a grid, each beating (26) or pulsing (27) on its own clock.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

constexpr double kBeatDurations[9] = {0.96, 0.93, 1.19, 1.13, 1.34, 0.94, 1.2, 0.82, 1.19};
constexpr double kBeatOffsets[9] = {0.36, 0.4, 0.68, 0.41, 0.71, -0.15, -0.12, 0.01, 0.32};
constexpr double kPulseDurations[9] = {0.72, 1.02, 1.28, 1.42, 1.45, 1.18, 0.87, 1.45, 1.06};
constexpr double kPulseOffsets[9] = {-0.06, 0.25, -0.17, 0.48, 0.31, 0.03, 0.46, 0.78, 0.45};

// Lays the nine discs out and gives each the animation with its own duration and offset.
template <class Make>
void buildGrid(const std::shared_ptr<CALayer>& layer, CGSize size, const Make& makeCircle,
               const std::shared_ptr<CAAnimation>& animation, const double* durations, const double* offsets) {
    CGPoint origin = contentOrigin(*layer, size);
    CGFloat side = (size.width - 4) / 3;
    animation->setBeginTime(CACurrentMediaTime());
    for (int k = 0; k < 9; ++k) {
        int row = k / 3, column = k % 3;
        auto circle = makeCircle(side);
        circle->setFrame(CGRectMake(origin.x + column * (side + 2), origin.y + row * (side + 2), side, side));
        animation->setDuration(durations[k]);
        animation->setTimeOffset(offsets[k]);
        attach(circle, animation);
        layer->addSublayer(circle);
    }
}

std::shared_ptr<CAShapeLayer> gridCircle(CGFloat side, const std::shared_ptr<UIColor>& color) {
    return roundedShape({side, side}, side / 2, color->cgColor());
}

}  // namespace

std::shared_ptr<CAShapeLayer> BusyIndicatorBallGridBeatAnimation::createCirleWith(
    CGFloat side, const std::shared_ptr<UIColor>& color) {
    return gridCircle(side, color);
}

void BusyIndicatorBallGridBeatAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                               const std::shared_ptr<UIColor>& tintColor) {
    auto d = named(kCAMediaTimingFunctionDefault);
    auto beat = keyframes("opacity", {0, 0.5, 1}, {number(1), number(0.7), number(1)}, 1, {d, d});
    buildGrid(
        layer, size, [&](CGFloat side) { return createCirleWith(side, tintColor); }, beat, kBeatDurations,
        kBeatOffsets);
}

std::shared_ptr<CAShapeLayer> BusyIndicatorBallGridPulseAnimation::createCirleWith(
    CGFloat side, const std::shared_ptr<UIColor>& color) {
    return gridCircle(side, color);
}

void BusyIndicatorBallGridPulseAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                const std::shared_ptr<UIColor>& tintColor) {
    auto d = named(kCAMediaTimingFunctionDefault);
    auto scale = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.5), number(1)}, 0, {d, d});
    auto fade = keyframes("opacity", {0, 0.5, 1}, {number(1), number(0.7), number(1)}, 0, {d, d});
    buildGrid(
        layer, size, [&](CGFloat side) { return createCirleWith(side, tintColor); }, group({scale, fade}, 1),
        kPulseDurations, kPulseOffsets);
}
