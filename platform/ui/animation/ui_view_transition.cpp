// Flip transitions on layer keyframe animations.
#include "platform/ui/animation/ui_view_transition.h"

#include <cmath>
#include <numbers>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/transform3d.h"
#include "platform/ui/view/ui_view.h"

namespace {
// Viewing distance of the perspective, in points.
constexpr double kEyeDistance = 500;
// Keyframes per half turn: the frames between them are interpolated element by element.
constexpr int kStepsPerHalf = 9;

CATransform3D turned(double radians) {
    CATransform3D perspective = CATransform3DIdentity;
    perspective.m34 = -1.0 / kEyeDistance;
    return CATransform3DConcat(CATransform3DMakeRotation(radians, 0, 1, 0), perspective);
}

// A layer showing what the view shows now, in its frame.
std::shared_ptr<CALayer> pictureOf(UIView& view) {
    CGRect frame = view.frame();
    UIGraphicsBeginImageContextWithOptions(frame.size, false, 0);
    if (auto* ctx = UIGraphicsGetCurrentContext()) view.layer()->renderInContext(*ctx);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto layer = CALayer::make();
    layer->setFrame(frame);
    if (image) {
        layer->setContents(image->cgImage());
        layer->setContentsScale(image->scale());
    }
    return layer;
}

std::shared_ptr<CAKeyframeAnimation> keyframes(const std::string& keyPath, std::vector<CAValue> values,
                                               std::vector<double> times, double duration) {
    auto a = CAKeyframeAnimation::animationWithKeyPath(keyPath);
    a->setValues(std::move(values));
    a->setKeyTimes(std::move(times));
    a->setDuration(duration);
    return a;
}
}  // namespace

void UIViewTransition::transitionFromView(const std::shared_ptr<UIView>& from, const std::shared_ptr<UIView>& to,
                                          double duration, UIViewAnimationOptions options,
                                          std::function<void(bool)> completion) {
    auto holder = from ? from->superview() : nullptr;
    if (!holder || !to) {
        if (completion) RunLoop::main().perform([c = std::move(completion)] { c(false); });
        return;
    }
    unsigned flip = (options >> 20) & 7;
    // Off screen there is nothing to see turning: the exchange happens at once.
    bool animated = (flip == 1 || flip == 2) && duration > 0 && std::isfinite(duration) &&
                    UIViewAnimation::areAnimationsEnabled() && holder->window();
    std::shared_ptr<CALayer> picture = animated ? pictureOf(*from) : nullptr;

    const auto& siblings = holder->subviews();
    std::size_t index = 0;
    while (index < siblings.size() && siblings[index] != from) ++index;
    from->removeFromSuperview();
    holder->insertSubviewAtIndex(to, index);
    if (!animated) {
        if (completion) RunLoop::main().perform([c = std::move(completion)] { c(true); });
        return;
    }

    // From the left the left edge comes forward: the turn runs through positive angles.
    double sign = flip == 1 ? 1 : -1;
    std::vector<CAValue> turns;
    std::vector<double> times;
    const double quarter = std::numbers::pi / 2;
    for (int i = 0; i <= kStepsPerHalf; ++i) {
        turns.emplace_back(turned(sign * quarter * i / kStepsPerHalf));
        times.push_back(0.5 * i / kStepsPerHalf);
    }
    for (int i = 0; i <= kStepsPerHalf; ++i) {
        turns.emplace_back(turned(-sign * quarter * (kStepsPerHalf - i) / kStepsPerHalf));
        times.push_back(0.5 + 0.5 * i / kStepsPerHalf);
    }
    holder->layer()->addSublayer(picture);
    // The three animations end together; then the picture goes and the completion runs.
    auto group = std::make_shared<CAAnimationCompletionGroup>();
    group->endsTogether = true;
    std::weak_ptr<CALayer> weakPicture = picture;
    group->completion = [weakPicture, completion = std::move(completion)](bool finished) {
        if (auto p = weakPicture.lock()) p->removeFromSuperlayer();
        if (completion) completion(finished);
    };
    // The picture of the leaving view shows in the first half, the arriving view in the second.
    picture->setOpacity(0);
    CAAnimationEngine::addAnimation(picture, keyframes("opacity", {1.0, 1.0, 0.0, 0.0}, {0, 0.5, 0.5, 1}, duration),
                                    kFlipKey, {group});
    double shown = to->layer()->opacity();
    CAAnimationEngine::addAnimation(
        to->layer(), keyframes("opacity", {0.0, 0.0, shown, shown}, {0, 0.5, 0.5, 1}, duration), kFlipKey, {group});
    CAAnimationEngine::addAnimation(
        holder->layer(), keyframes("transform", std::move(turns), std::move(times), duration), kFlipKey, {group});
    group->committed = true;
    // Animations that could not be attached leave nothing to wait for.
    if (group->pending <= 0 && !group->done) {
        group->done = true;
        RunLoop::main().perform([c = std::move(group->completion)] { c(true); });
    }
}
