// Types 12 and 13: two dots zig-zagging from the centre to opposite corners and back.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

void zigZag(const std::shared_ptr<CALayer>& layer, CGSize size, const std::shared_ptr<UIColor>& tint, double duration,
            bool autoreverses) {
    CGFloat d = size.width / 5;
    CGRect b = layer->bounds();
    double dx = size.width / 2 - d / 2, dy = size.height / 2 - d / 2;
    auto linear = named(kCAMediaTimingFunctionLinear);
    const double signs[2] = {-1, 1};
    for (double s : signs) {
        auto move =
            keyframes("transform", {0, 0.33, 0.66, 1},
                      {translation(0, 0), translation(s * dx, s * dy), translation(-s * dx, s * dy), translation(0, 0)},
                      duration, repeated(linear, 3));
        move->setAutoreverses(autoreverses);
        auto disc = dot(d, tint->cgColor());
        disc->setFrame(CGRectMake((b.size.width - d) / 2, (b.size.height - d) / 2, d, d));  // centred in the layer
        attach(disc, move);
        layer->addSublayer(disc);
    }
}

}  // namespace

void BusyIndicatorBallZigZagAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                             const std::shared_ptr<UIColor>& tintColor) {
    zigZag(layer, size, tintColor, 0.699999988079071, false);
}

void BusyIndicatorBallZigZagDeflectAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                    const std::shared_ptr<UIColor>& tintColor) {
    zigZag(layer, size, tintColor, 0.75, true);
}
