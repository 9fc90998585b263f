// The child swap.
#include "ui/controller/view_controller_transition.h"

#include "platform/ui/controller/ui_view_controller.h"
#include "ui/controller/animators.h"
#include "ui/controller/transition1.h"

namespace {
// Takes every child but `keep` out of the container.
void keepOnly(UIViewController& container, const std::shared_ptr<UIViewController>& keep) {
    auto children = container.childViewControllers();
    for (auto& child : children) {
        if (child == keep) continue;
        if (auto v = child->viewIfLoaded()) v->removeFromSuperview();
        child->removeFromParentViewController();
    }
}
}  // namespace

void transition(const std::shared_ptr<UIViewController>& receiver, const std::shared_ptr<UIViewController>& to,
                bool r) {
    if (!receiver || !to) return;
    const auto& children = receiver->childViewControllers();
    // The latest incoming controller is the current content, also while its swap still runs.
    auto from = children.empty() ? nullptr : children.back();
    if (from == to) return;

    auto toView = to->view();
    toView->setTranslatesAutoresizingMaskIntoConstraints(true);
    toView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    toView->setFrame(receiver->view()->bounds());

    if (from) from->willMoveToParentViewController(nullptr);
    receiver->addChildViewController(to);

    if (!from) {
        receiver->view()->addSubview(toView);
        to->didMoveToParentViewController(receiver);
        return;
    }
    auto animator = std::make_shared<Animator2>();
    auto context = Transition1::make(from, to, r);
    context->setAnimated(true);
    context->setInteractive(false);
    std::weak_ptr<UIViewController> weakReceiver = receiver;
    context->setCompletionBlock([weakReceiver, from, to, animator](bool didComplete) {
        if (auto v = from->viewIfLoaded(); v && v->superview()) v->removeFromSuperview();
        if (from->parentViewController()) from->removeFromParentViewController();
        auto container = weakReceiver.lock();
        to->didMoveToParentViewController(container);
        if (container && !container->childViewControllers().empty() && container->childViewControllers().back() == to)
            keepOnly(*container, to);
        animator->animationEnded(didComplete);
    });
    animator->animateTransition(context);
}
