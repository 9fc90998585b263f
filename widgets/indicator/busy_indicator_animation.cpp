// The base's animation factories and the shapes the indicator builders share.
#include "widgets/indicator/busy_indicator_animation.h"

#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/draw/path.h"

std::shared_ptr<CABasicAnimation> BusyIndicatorAnimation::createBasicAnimationWithKeyPath(const std::string& keyPath) {
    auto a = CABasicAnimation::animationWithKeyPath(keyPath);
    a->setRemovedOnCompletion(false);
    return a;
}

std::shared_ptr<CAKeyframeAnimation> BusyIndicatorAnimation::createKeyframeAnimationWithKeyPath(
    const std::string& keyPath) {
    auto a = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    a->setRemovedOnCompletion(false);
    return a;
}

std::shared_ptr<CAAnimationGroup> BusyIndicatorAnimation::createAnimationGroup() {
    auto a = CAAnimationGroup::animation();
    a->setRemovedOnCompletion(false);
    return a;
}

namespace indicator {

CGPoint contentOrigin(const CALayer& layer, CGSize size) {
    CGRect b = layer.bounds();
    return {(b.size.width - size.width) / 2, (b.size.height - size.height) / 2};
}

std::shared_ptr<CALayer> dot(CGFloat side, const CGColor& color) {
    auto layer = CALayer::make();
    layer->setBounds(CGRectMake(0, 0, side, side));
    layer->setBackgroundColor(color);
    layer->setCornerRadius(side / 2);
    return layer;
}

std::shared_ptr<CAShapeLayer> roundedShape(CGSize size, CGFloat radius, const CGColor& fill) {
    auto layer = CAShapeLayer::make();
    layer->setPath(
        UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, size.width, size.height), radius)->cgPath());
    layer->setFillColor(fill);
    return layer;
}

std::shared_ptr<CAShapeLayer> ring(CGSize size, const CGColor& stroke, CGFloat lineWidth) {
    auto layer = CAShapeLayer::make();
    layer->setPath(UIBezierPath::bezierPathWithOvalInRect(CGRectMake(0, 0, size.width, size.height))->cgPath());
    layer->setFillColor(std::nullopt);
    layer->setStrokeColor(stroke);
    layer->setLineWidth(lineWidth);
    return layer;
}

std::shared_ptr<CAShapeLayer> bar(CGFloat l, CGFloat h, const CGColor& fill) {
    auto layer = CAShapeLayer::make();
    layer->setPath(UIBezierPath::bezierPathWithRoundedRect(CGRectMake(0, 0, l, h), l / 2)->cgPath());
    layer->setFillColor(fill);
    return layer;
}

std::shared_ptr<CAKeyframeAnimation> keyframes(const std::string& keyPath, std::vector<double> keyTimes,
                                               std::vector<CAValue> values, double duration,
                                               std::vector<std::shared_ptr<CAMediaTimingFunction>> timing) {
    auto a = BusyIndicatorAnimation::createKeyframeAnimationWithKeyPath(keyPath);
    a->setKeyTimes(std::move(keyTimes));
    a->setValues(std::move(values));
    a->setDuration(duration);
    a->setTimingFunctions(std::move(timing));
    a->setRepeatCount(kForever);
    return a;
}

std::shared_ptr<CABasicAnimation> basic(const std::string& keyPath, CAValue from, CAValue to, double duration) {
    auto a = BusyIndicatorAnimation::createBasicAnimationWithKeyPath(keyPath);
    a->setFromValue(std::move(from));
    a->setToValue(std::move(to));
    a->setDuration(duration);
    a->setRepeatCount(kForever);
    return a;
}

std::shared_ptr<CAAnimationGroup> group(std::vector<std::shared_ptr<CAAnimation>> animations, double duration,
                                        std::shared_ptr<CAMediaTimingFunction> timing) {
    auto g = BusyIndicatorAnimation::createAnimationGroup();
    g->setAnimations(std::move(animations));
    g->setDuration(duration);
    g->setTimingFunction(std::move(timing));
    g->setRepeatCount(kForever);
    return g;
}

CATransform3D translation(double x, double y) {
    return CATransform3DMakeTranslation(x, y, 0);
}

CATransform3D scale3(double k) {
    return CATransform3DMakeScale(k, k, 1);
}
CATransform3D flatScale(double k) {
    return CATransform3DMakeScale(k, k, 0);
}
CAValue number(double v) {
    return v;
}

std::vector<std::shared_ptr<CAMediaTimingFunction>> repeated(const std::shared_ptr<CAMediaTimingFunction>& f, int n) {
    return std::vector<std::shared_ptr<CAMediaTimingFunction>>(static_cast<std::size_t>(n), f);
}

std::shared_ptr<CAMediaTimingFunction> named(const char* name) {
    return CAMediaTimingFunction::functionWithName(name);
}

std::shared_ptr<CAMediaTimingFunction> curve(float a, float b, float c, float d) {
    return CAMediaTimingFunction::functionWithControlPoints(a, b, c, d);
}

void attach(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CAAnimation>& animation) {
    CAAnimationEngine::addAnimation(layer, animation, kAnimationKey);
}

}  // namespace indicator
