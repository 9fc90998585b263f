// One presentation or dismissal in flight: the transition context handed to the animator, which
// finishes the controllers' appearance and runs the caller's completion when the animator ends.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_transitioning.h"

class ModalTransition : public UIViewControllerContextTransitioning,
                        public std::enable_shared_from_this<ModalTransition> {
public:
    static bool present(const std::shared_ptr<UIViewController>& presenter,
                        const std::shared_ptr<UIViewController>& presented, bool animated,
                        std::function<void()> completion);
    static bool dismiss(const std::shared_ptr<UIViewController>& presenter, bool animated,
                        std::function<void()> completion);

    std::shared_ptr<UIView> containerView() const override { return container_; }
    std::shared_ptr<UIViewController> viewControllerForKey(UITransitionContextKey key) const override;
    std::shared_ptr<UIView> viewForKey(UITransitionContextKey key) const override;
    CGRect initialFrameForViewController(const UIViewController& c) const override;
    CGRect finalFrameForViewController(const UIViewController& c) const override;
    bool isAnimated() const override { return animated_; }
    void completeTransition(bool didComplete) override;
    bool transitionWasCancelled() const override { return cancelled_; }

    ModalTransition(bool presenting, std::shared_ptr<UIViewController> presenter,
                    std::shared_ptr<UIViewController> presented, std::shared_ptr<UIView> container, bool animated)
        : presenting_(presenting),
          presenter_(std::move(presenter)),
          presented_(std::move(presented)),
          container_(std::move(container)),
          animated_(animated) {}

private:
    void run(const std::shared_ptr<UIViewControllerAnimatedTransitioning>& animator);
    void finishPresent(bool done);
    void finishDismiss(bool done);

    bool presenting_;
    std::shared_ptr<UIViewController> presenter_;
    std::shared_ptr<UIViewController> presented_;
    std::shared_ptr<UIViewController> covered_;  // the controller hidden by a full-screen presentation
    // A full-screen presentation: the covered controller's view is hidden while it is shown.
    bool hidesCovered_ = false;
    std::shared_ptr<UIView> container_;
    std::shared_ptr<UIViewControllerAnimatedTransitioning> animator_;
    CGRect presentedFrame_ = CGRectZero;
    bool animated_;
    bool finished_ = false;
    bool cancelled_ = false;
    std::function<void()> completion_;
};
