// The swap animators.
#include "ui/controller/animators.h"

#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/controller/ui_view_controller.h"

namespace {
struct Swap {
    std::shared_ptr<UIView> from, to, container;
};

// The two views and the container, with the incoming view added at alpha 0.
std::optional<Swap> prepare(UIViewControllerContextTransitioning& context) {
    auto from = context.viewControllerForKey(UITransitionContextKey::From);
    auto to = context.viewControllerForKey(UITransitionContextKey::To);
    auto container = context.containerView();
    if (!from || !to || !container) return std::nullopt;
    Swap swap{from->view(), to->view(), container};
    container->addSubview(swap.to);
    swap.to->setAlpha(0);
    return swap;
}

void finish(const std::shared_ptr<UIViewControllerContextTransitioning>& context, const std::shared_ptr<UIView>& from) {
    from->setTransform(CGAffineTransformIdentity);
    context->completeTransition(!context->transitionWasCancelled());
}
}  // namespace

void Animator2::animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) {
    auto swap = prepare(*context);
    if (!swap) {
        context->completeTransition(!context->transitionWasCancelled());
        return;
    }
    auto toController = context->viewControllerForKey(UITransitionContextKey::To);
    const CGFloat startX = context->initialFrameForViewController(*toController).origin.x;
    const CGFloat endX = context->finalFrameForViewController(*toController).origin.x;
    const CGFloat w = swap->container->bounds().size.width + kGap;
    const CGFloat shift = startX < endX ? w : -w;
    swap->to->setTransform(CGAffineTransformMakeTranslation(-shift, 0));
    auto from = swap->from, to = swap->to;
    UIViewAnimation::animateSpring(
        transitionDuration(*context), 0, kDamping, kVelocity, 0,
        [from, to, shift] {
            from->setTransform(CGAffineTransformMakeTranslation(shift, 0));
            from->setAlpha(0);
            to->setTransform(CGAffineTransformIdentity);
            to->setAlpha(1);
        },
        [context, from](bool) { finish(context, from); });
}

void Animator1::animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) {
    auto swap = prepare(*context);
    if (!swap) {
        context->completeTransition(!context->transitionWasCancelled());
        return;
    }
    auto from = swap->from, to = swap->to;
    UIViewAnimation::animate(
        transitionDuration(*context),
        [from, to] {
            from->setTransform(CGAffineTransformMakeScale(kShrunk, kShrunk));
            to->setAlpha(1);
        },
        [context, from](bool) { finish(context, from); });
}
