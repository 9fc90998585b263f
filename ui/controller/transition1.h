// Transition1: the context of a swap between two child controllers of one container, which the
// platform itself never drives. It gives an animator the two controllers, the container view and
// the start and end frames: the incoming view slides in from one side by the container's width
// while the outgoing one leaves on the other (mirrored with `r`). Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_transitioning.h"

class Transition1 : public NSObject, public UIViewControllerContextTransitioning {
public:
    KORVA_MAKE(Transition1)
    void init() override;

    std::shared_ptr<UIView> containerView() const override { return containerView_; }
    void setContainerView(std::shared_ptr<UIView> view) { containerView_ = std::move(view); }
    std::shared_ptr<UIViewController> viewControllerForKey(UITransitionContextKey key) const override;
    // Always none: animators take the views from the controllers.
    std::shared_ptr<UIView> viewForKey(UITransitionContextKey) const override { return nullptr; }
    CGRect initialFrameForViewController(const UIViewController& controller) const override;
    CGRect finalFrameForViewController(const UIViewController& controller) const override;
    bool isAnimated() const override { return animated_; }
    void setAnimated(bool animated) { animated_ = animated; }
    bool isInteractive() const { return interactive_; }
    void setInteractive(bool interactive) { interactive_ = interactive; }
    UIModalPresentationStyle presentationStyle() const { return presentationStyle_; }
    CGAffineTransform targetTransform() const { return targetTransform_; }
    // Runs the completion callback with the flag.
    void completeTransition(bool didComplete) override;
    bool transitionWasCancelled() const override { return false; }
    void setCompletionBlock(std::function<void(bool)> block) { completionBlock_ = std::move(block); }

    // Interactive steps: a swap is never interactive, so they do nothing.
    void updateInteractiveTransition(double) {}
    void finishInteractiveTransition() {}
    void cancelInteractiveTransition() {}
    void pauseInteractiveTransition() {}

    std::string className() const override { return "Transition1"; }

protected:
    Transition1(std::shared_ptr<UIViewController> from, std::shared_ptr<UIViewController> to, bool r)
        : from_(std::move(from)), to_(std::move(to)), r_(r) {}

private:
    bool animated_ = false;
    bool interactive_ = false;
    std::function<void(bool)> completionBlock_;
    std::shared_ptr<UIViewController> from_, to_;
    bool r_;
    std::shared_ptr<UIView> containerView_;
    UIModalPresentationStyle presentationStyle_ = UIModalPresentationStyle::Custom;
    CGRect disappearingFrom_, appearingFrom_, disappearingTo_, appearingTo_;
    CGAffineTransform targetTransform_ = CGAffineTransformIdentity;
};
