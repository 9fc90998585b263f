// Types 16, 17, 21 and 22: rows of bars that squeeze and stretch, each with its own timing.
#include "platform/dispatch/clock.h"
#include "platform/ui/draw/path.h"
#include "widgets/indicator/indicator_types.h"

using namespace indicator;

namespace {

// Bars of width l (gaps of l) from the box's left edge, each given the animation with its begin
// time and, where listed, its own duration.
void barRow(const std::shared_ptr<CALayer>& layer, CGSize size, const CGColor& tint, CGFloat l,
            const std::shared_ptr<CAKeyframeAnimation>& animation, const std::vector<double>& begins,
            const std::vector<double>& durations = {}) {
    CGPoint origin = contentOrigin(*layer, size);
    for (std::size_t i = 0; i < begins.size(); ++i) {
        auto shape = bar(l, size.height, tint);
        animation->setBeginTime(begins[i]);
        if (i < durations.size()) animation->setDuration(durations[i]);
        attach(shape, animation);
        shape->setFrame(CGRectMake(origin.x + 2 * l * double(i), origin.y, l, size.height));
        layer->addSublayer(shape);
    }
}

}  // namespace

void BusyIndicatorLineScaleAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                            const std::shared_ptr<UIColor>& tintColor) {
    auto f = curve(0.2f, 0.68f, 0.18f, 1.08f);
    auto squeeze = keyframes("transform.scale.y", {0, 0.5, 1}, {number(1), number(0.4), number(1)}, 1, {f, f});
    barRow(layer, size, tintColor->cgColor(), size.width / 9, squeeze, {0.1, 0.2, 0.3, 0.4, 0.5});
}

void BusyIndicatorLineScalePartyAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                 const std::shared_ptr<UIColor>& tintColor) {
    auto d = named(kCAMediaTimingFunctionDefault);
    auto squeeze = keyframes("transform.scale", {0, 0.5, 1}, {number(1), number(0.5), number(1)}, 1, {d, d});
    barRow(layer, size, tintColor->cgColor(), size.width / 7, squeeze, {0.77, 0.29, 0.28, 0.74},
           {1.26, 0.43, 1.01, 0.73});
}

void BusyIndicatorLineScalePulseOutAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                                                    const std::shared_ptr<UIColor>& tintColor) {
    auto f = curve(0.85f, 0.25f, 0.37f, 0.85f);
    auto squeeze = keyframes("transform.scale.y", {0, 0.5, 1}, {number(1), number(0.4), number(1)}, 1, {f, f});
    barRow(layer, size, tintColor->cgColor(), size.width / 9, squeeze, {0.4, 0.2, 0, 0.2, 0.4});
}

void BusyIndicatorLineScalePulseOutRapidAnimation::setupAnimationInLayer(const std::shared_ptr<CALayer>& layer,
                                                                         CGSize size,
                                                                         const std::shared_ptr<UIColor>& tintColor) {
    auto f = curve(0.11f, 0.49f, 0.38f, 0.78f);
    auto squeeze =
        keyframes("transform.scale.y", {0, 0.8, 0.9}, {number(1), number(0.3), number(1)}, 0.8999999761581421, {f, f});
    barRow(layer, size, tintColor->cgColor(), size.width / 9, squeeze, {0.5, 0.25, 0, 0.25, 0.5});
}
