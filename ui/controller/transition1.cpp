// The swap context's frames.
#include "ui/controller/transition1.h"

void Transition1::init() {
    NSObject::init();
    containerView_ = from_ && from_->viewIfLoaded() ? from_->view()->superview() : nullptr;
    const CGRect bounds = containerView_ ? containerView_->bounds() : CGRectZero;
    const CGFloat d = r_ ? -bounds.size.width : bounds.size.width;
    appearingTo_ = disappearingFrom_ = bounds;
    disappearingTo_ = CGRectOffset(bounds, d, 0);
    appearingFrom_ = CGRectOffset(bounds, -d, 0);
}

std::shared_ptr<UIViewController> Transition1::viewControllerForKey(UITransitionContextKey key) const {
    return key == UITransitionContextKey::From ? from_ : to_;
}

CGRect Transition1::initialFrameForViewController(const UIViewController& controller) const {
    return &controller == from_.get() ? disappearingFrom_ : appearingFrom_;
}

CGRect Transition1::finalFrameForViewController(const UIViewController& controller) const {
    return &controller == from_.get() ? disappearingTo_ : appearingTo_;
}

void Transition1::completeTransition(bool didComplete) {
    if (completionBlock_) completionBlock_(didComplete);
}
