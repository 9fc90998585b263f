// The animators of a child swap. Animator2, the one the swap uses, slides and fades over one
// second on a spring: the incoming view comes from the side its start frame lies on, the outgoing
// one leaves on the other, each the container's width plus 16 points. Animator1 shrinks the
// outgoing view and fades the incoming one in; nothing in the application makes it.
// Main-thread only.
#pragma once

#include "platform/ui/controller/ui_view_controller_transitioning.h"

class Animator2 : public UIViewControllerAnimatedTransitioning {
public:
    static constexpr double kDuration = 1.0;
    static constexpr CGFloat kGap = 16;
    static constexpr double kDamping = 0.75;
    static constexpr double kVelocity = 0.5;

    double transitionDuration(UIViewControllerContextTransitioning&) override { return kDuration; }
    void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) override;
};

class Animator1 : public UIViewControllerAnimatedTransitioning {
public:
    static constexpr double kDuration = 1.0;
    static constexpr CGFloat kShrunk = 0.1;

    double transitionDuration(UIViewControllerContextTransitioning&) override { return kDuration; }
    void animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) override;
};
