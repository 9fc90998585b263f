// Type 32: eight discs on a circle, each shrinking and fading in turn (the HUD's indicator).
#include "platform/dispatch/clock.h"
#include "widgets/indicator/indicator_types.h"

namespace {

constexpr double kBeginOffsets[8] = {0, 0.12, 0.24, 0.36, 0.48, 0.6, 0.72, 0.84};
constexpr double kDuration = 1;

}  // namespace

void BusyIndicatorBallSpinFadeLoader::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                            const std::shared_ptr<UIColor>& tintColor) {
    using namespace indicator;
    CGPoint origin = contentOrigin(*layer, size);
    double t0 = CACurrentMediaTime();
    CGColor tint = tintColor->cgColor();

    auto scale = createKeyframeAnimationWithKeyPath("transform.scale");
    scale->setKeyTimes({0, 0.5, 1});
    scale->setValues({number(1), number(0.4), number(1)});
    scale->setDuration(kDuration);
    auto fade = createKeyframeAnimationWithKeyPath("opacity");
    fade->setKeyTimes({0, 0.5, 1});
    fade->setValues({number(1), number(0.3), number(1)});
    fade->setDuration(kDuration);
    auto group = createAnimationGroup();
    group->setAnimations({scale, fade});
    group->setTimingFunction(named(kCAMediaTimingFunctionLinear));
    group->setDuration(kDuration);
    group->setRepeatCount(kLargestCount);

    CGFloat side = (size.width + 8) / 5;
    CGFloat half = size.width / 2;  // the radius of the ring of discs, for both axes
    for (int i = 0; i < 8; ++i) {
        double angle = i * M_PI / 4;
        // A full circle round the disc's centre (a whole turn: the direction makes no difference).
        auto circle = CAShapeLayer::make();
        circle->setPath(
            UIBezierPath::bezierPathWithArcCenter({side / 2, side / 2}, side / 2, 0, 2 * M_PI, true)->cgPath());
        circle->setFillColor(tint);
        circle->setBackgroundColor(std::nullopt);
        circle->setFrame(CGRectMake(origin.x + half * (std::cos(angle) + 1) - side / 2,
                                    origin.y + half * (std::sin(angle) + 1) - side / 2, side, side));
        group->setBeginTime(t0 + kBeginOffsets[i]);
        layer->addSublayer(circle);
        attach(circle, group);
    }
}
