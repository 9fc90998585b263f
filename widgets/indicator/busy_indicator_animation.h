// The indicator animations: one stateless builder per indicator type that fills a layer with
// shapes in a tint and attaches their repeating animations, and the base they share.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"

// What every indicator animation does: add its layers to the target and set them moving.
class BusyIndicatorAnimationProtocol {
public:
    virtual ~BusyIndicatorAnimationProtocol() = default;
    // `size` is the content box, centred in the target's bounds as they are now.
    virtual void setupAnimationInLayer(const std::shared_ptr<CALayer>& layer, CGSize size,
                                       const std::shared_ptr<UIColor>& tintColor) = 0;
};

class BusyIndicatorAnimation : public NSObject, public BusyIndicatorAnimationProtocol {
public:
    KORVA_MAKE(BusyIndicatorAnimation)
    // The base adds nothing.
    void setupAnimationInLayer(const std::shared_ptr<CALayer>&, CGSize, const std::shared_ptr<UIColor>&) override {}

    // Animations that stay on their layer once they end.
    static std::shared_ptr<CABasicAnimation> createBasicAnimationWithKeyPath(const std::string& keyPath);
    static std::shared_ptr<CAKeyframeAnimation> createKeyframeAnimationWithKeyPath(const std::string& keyPath);
    static std::shared_ptr<CAAnimationGroup> createAnimationGroup();

    std::string className() const override { return "BusyIndicatorAnimation"; }

protected:
    BusyIndicatorAnimation() = default;
};

// Shapes and values the builders have in common.
namespace indicator {

inline constexpr float kForever = INFINITY;
// The largest single-precision count, which some types use instead of infinity.
inline constexpr float kLargestCount = 3.4028235e38f;
// The key every builder attaches its animation under.
inline constexpr const char* kAnimationKey = "animation";

// The content box's origin: the box of `size` centred in the layer's bounds.
CGPoint contentOrigin(const CALayer& layer, CGSize size);
// A plain layer of the side, filled with the colour and rounded to a disc.
std::shared_ptr<CALayer> dot(CGFloat side, const CGColor& color);
// A shape layer whose path is the rounded rectangle (0, 0, w, h) with the radius, filled.
std::shared_ptr<CAShapeLayer> roundedShape(CGSize size, CGFloat radius, const CGColor& fill);
// A shape layer with an oval of the size, not filled, stroked in the colour.
std::shared_ptr<CAShapeLayer> ring(CGSize size, const CGColor& stroke, CGFloat lineWidth = 1);
// A shape layer: the rounded rectangle (0, 0, l, h) with corner radius l/2, filled (a bar).
std::shared_ptr<CAShapeLayer> bar(CGFloat l, CGFloat h, const CGColor& fill);
// Key-frame and basic animations in one call.
std::shared_ptr<CAKeyframeAnimation> keyframes(const std::string& keyPath, std::vector<double> keyTimes,
                                               std::vector<CAValue> values, double duration,
                                               std::vector<std::shared_ptr<CAMediaTimingFunction>> timing = {});
std::shared_ptr<CABasicAnimation> basic(const std::string& keyPath, CAValue from, CAValue to, double duration);
std::shared_ptr<CAAnimationGroup> group(std::vector<std::shared_ptr<CAAnimation>> animations, double duration,
                                        std::shared_ptr<CAMediaTimingFunction> timing = nullptr);
// Transforms written as the builders' tables do.
CATransform3D scale3(double k);  // (k, k, 1)
CATransform3D translation(double x, double y);
CATransform3D flatScale(double k);  // (k, k, 0): S(0) hides a layer outside its animation
CAValue number(double v);
std::vector<std::shared_ptr<CAMediaTimingFunction>> repeated(const std::shared_ptr<CAMediaTimingFunction>& f, int n);
std::shared_ptr<CAMediaTimingFunction> named(const char* name);
std::shared_ptr<CAMediaTimingFunction> curve(float a, float b, float c, float d);
// Attaches the animation (the engine keeps a copy) under the shared key.
void attach(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CAAnimation>& animation);

}  // namespace indicator
