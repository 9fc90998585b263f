// Custom transitions: the context a transition runs in, the animator that moves the views, and
// the delegate that hands out animators for a presentation or dismissal.
#pragma once

#include <functional>
#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIView;
class UIViewController;

enum class UITransitionContextKey { From, To };

class UIViewControllerContextTransitioning {
public:
    virtual ~UIViewControllerContextTransitioning() = default;
    // The view the transition happens in; the animator adds the "to" view to it when presenting.
    virtual std::shared_ptr<UIView> containerView() const = 0;
    virtual std::shared_ptr<UIViewController> viewControllerForKey(UITransitionContextKey key) const = 0;
    virtual std::shared_ptr<UIView> viewForKey(UITransitionContextKey key) const = 0;
    virtual CGRect initialFrameForViewController(const UIViewController& controller) const = 0;
    virtual CGRect finalFrameForViewController(const UIViewController& controller) const = 0;
    virtual bool isAnimated() const = 0;
    // The animator calls this once, when its animation ends; false means the transition was
    // cancelled and everything returns to where it was. Later calls are ignored.
    virtual void completeTransition(bool didComplete) = 0;
    virtual bool transitionWasCancelled() const = 0;
};

class UIViewControllerAnimatedTransitioning {
public:
    virtual ~UIViewControllerAnimatedTransitioning() = default;
    virtual double transitionDuration(UIViewControllerContextTransitioning& context) = 0;
    virtual void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) = 0;
    virtual void animationEnded(bool /*completed*/) {}
};

class UIViewControllerTransitioningDelegate {
public:
    virtual ~UIViewControllerTransitioningDelegate() = default;
    virtual std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForPresentedController(
        const std::shared_ptr<UIViewController>& /*presented*/, const std::shared_ptr<UIViewController>& /*presenting*/,
        const std::shared_ptr<UIViewController>& /*source*/) {
        return nullptr;
    }
    virtual std::shared_ptr<UIViewControllerAnimatedTransitioning> animationControllerForDismissedController(
        const std::shared_ptr<UIViewController>& /*dismissed*/) {
        return nullptr;
    }
};

// The built-in animation when no animator is given: the view slides up from the bottom (cover
// vertical) or fades (cross dissolve and the other styles), over `duration` seconds.
class DefaultModalAnimator : public UIViewControllerAnimatedTransitioning {
public:
    DefaultModalAnimator(bool presenting, bool fade, double duration)
        : presenting_(presenting), fade_(fade), duration_(duration) {}
    double transitionDuration(UIViewControllerContextTransitioning&) override { return duration_; }
    void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) override;

private:
    bool presenting_;
    bool fade_;
    double duration_;
};

// Moves a view's layer from one frame or opacity to its model value over the duration on the
// animation clock, then runs `done` (on the run loop, after the duration).
void animateViewFrameFrom(UIView& view, CGRect from, double duration);
void animateViewAlphaFrom(UIView& view, CGFloat from, double duration);
void runAfter(double seconds, std::function<void()> block);
