// Modal presentation and dismissal: frames per style, the appearance callbacks in order, the
// animator (custom or built-in) and the completion.
#include "platform/ui/controller/modal_transition.h"

#include <algorithm>
#include <map>

#include "platform/dispatch/run_loop.h"
#include "platform/runtime/log.h"
#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_media_timing_function.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/gesture/ui_touch.h"

namespace {

constexpr double kModalDuration = 0.3;

std::shared_ptr<UIViewController> rootAncestor(std::shared_ptr<UIViewController> c) {
    while (auto p = c->parentViewController()) c = p;
    return c;
}

// The style actually used: automatic becomes a sheet, a popover on a narrow screen full screen.
UIModalPresentationStyle effectiveStyle(UIViewController& presented, CGRect bounds) {
    auto style = presented.modalPresentationStyle();
    if (style == UIModalPresentationStyle::Automatic) style = UIModalPresentationStyle::PageSheet;
    if (style == UIModalPresentationStyle::Popover) {
        auto popover = presented.popoverPresentationController();
        if (!popover->keepsPopoverStyle(bounds.size.width)) style = UIModalPresentationStyle::FullScreen;
    }
    if ((style == UIModalPresentationStyle::PageSheet || style == UIModalPresentationStyle::FormSheet) &&
        bounds.size.width < 600)
        style = UIModalPresentationStyle::FullScreen;
    return style;
}

CGRect frameForStyle(UIModalPresentationStyle style, UIViewController& presented, CGRect bounds) {
    switch (style) {
        case UIModalPresentationStyle::FormSheet: {
            CGFloat w = std::min<CGFloat>(540, bounds.size.width - 40);
            CGFloat h = std::min<CGFloat>(620, bounds.size.height - 80);
            return CGRectMake(bounds.origin.x + (bounds.size.width - w) / 2,
                              bounds.origin.y + (bounds.size.height - h) / 2, w, h);
        }
        case UIModalPresentationStyle::PageSheet: {
            CGFloat w = std::min<CGFloat>(704, bounds.size.width);
            return CGRectMake(bounds.origin.x + (bounds.size.width - w) / 2, bounds.origin.y + 20, w,
                              bounds.size.height - 20);
        }
        case UIModalPresentationStyle::Popover: {
            CGSize size = presented.preferredContentSize();
            if (size.width <= 0 || size.height <= 0) size = CGSize{320, 480};
            return presented.popoverPresentationController()->frameInWindow(bounds, size);
        }
        default: return bounds;
    }
}

bool coversPresenter(UIModalPresentationStyle style) {
    return style == UIModalPresentationStyle::FullScreen || style == UIModalPresentationStyle::CurrentContext;
}

// The views of covered controllers hidden under full-screen presentations, by controller: nothing
// under a full-screen controller is laid out or drawn (a live camera screen under the photo picker
// would be, at every frame), and only what was hidden here is shown again when it is uncovered.
std::map<const UIViewController*, std::weak_ptr<UIView>>& hiddenUnderPresentations() {
    static std::map<const UIViewController*, std::weak_ptr<UIView>> hidden;
    return hidden;
}

void hideCovered(const UIViewController& covered) {
    auto view = covered.viewIfLoaded();
    if (!view || view->isHidden()) return;
    view->setHidden(true);
    hiddenUnderPresentations()[&covered] = view;
}

void showCovered(const UIViewController& covered) {
    auto& hidden = hiddenUnderPresentations();
    auto found = hidden.find(&covered);
    if (found == hidden.end()) return;
    if (auto view = found->second.lock()) view->setHidden(false);
    hidden.erase(found);
}

// The view a presentation happens in. Around a popover, a tap outside it closes it (when the
// popover's delegate agrees).
class PresentationContainerView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(PresentationContainerView)
    std::weak_ptr<UIViewController> presented;
    bool popover = false;
    void touchesEnded(const UITouchSet& touches, const UIEvent&) override {
        auto c = presented.lock();
        if (!popover || !c || touches.empty() || c->isBeingPresented() || c->isBeingDismissed()) return;
        if (CGRectContainsPoint(c->view()->frame(), touches.front()->locationInView(self<UIView>()))) return;
        auto pop = c->popoverPresentationController();
        auto d = pop ? pop->delegate() : nullptr;
        if (d && !d->popoverPresentationControllerShouldDismissPopover(*pop)) return;
        c->dismissViewControllerAnimated(true, [pop, d] {
            if (d && pop) d->popoverPresentationControllerDidDismissPopover(*pop);
        });
    }
    // Only the space around a popover does something with a tap.
    bool takesTapAt(CGPoint p) override {
        auto c = presented.lock();
        return popover && c && !CGRectContainsPoint(c->view()->frame(), p);
    }

protected:
    explicit PresentationContainerView(CGRect f) : UIView(f) {}
};

}  // namespace

void runAfter(double seconds, std::function<void()> block) {
    RunLoop::main().performAfterDelay(seconds, std::move(block));
}

void animateViewFrameFrom(UIView& view, CGRect from, double duration) {
    auto layer = view.layer();
    CGRect to = view.frame();
    auto anim = CABasicAnimation::animationWithKeyPath("position");
    anim->setFromValue(CGPoint{CGRectGetMidX(from), CGRectGetMidY(from)});
    anim->setToValue(CGPoint{CGRectGetMidX(to), CGRectGetMidY(to)});
    anim->setDuration(duration);
    anim->setTimingFunction(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut));
    CAAnimationEngine::addAnimation(layer, anim, "korva.transition.position");
}

void animateViewAlphaFrom(UIView& view, CGFloat from, double duration) {
    auto anim = CABasicAnimation::animationWithKeyPath("opacity");
    anim->setFromValue(static_cast<double>(from));
    anim->setToValue(static_cast<double>(view.alpha()));
    anim->setDuration(duration);
    CAAnimationEngine::addAnimation(view.layer(), anim, "korva.transition.opacity");
}

void DefaultModalAnimator::animateTransition(const std::shared_ptr<UIViewControllerContextTransitioning>& context) {
    auto moving = context->viewForKey(presenting_ ? UITransitionContextKey::To : UITransitionContextKey::From);
    auto container = context->containerView();
    if (moving && container) {
        if (presenting_) {
            if (fade_)
                animateViewAlphaFrom(*moving, 0, duration_);
            else
                animateViewFrameFrom(*moving, CGRectOffset(moving->frame(), 0, container->bounds().size.height),
                                     duration_);
        } else {
            // The view keeps its model frame until removed; the animation carries it off screen.
            CGRect at = moving->frame();
            auto anim = CABasicAnimation::animationWithKeyPath(fade_ ? "opacity" : "position");
            if (fade_) {
                anim->setFromValue(static_cast<double>(moving->alpha()));
                anim->setToValue(0.0);
            } else {
                anim->setFromValue(CGPoint{CGRectGetMidX(at), CGRectGetMidY(at)});
                anim->setToValue(CGPoint{CGRectGetMidX(at), CGRectGetMidY(at) + container->bounds().size.height});
            }
            anim->setDuration(duration_);
            anim->setFillMode(CAFillMode::Forwards);
            anim->setRemovedOnCompletion(false);
            CAAnimationEngine::addAnimation(moving->layer(), anim, "korva.transition.out");
        }
    }
    runAfter(duration_, [context] { context->completeTransition(true); });
}

bool ModalTransition::present(const std::shared_ptr<UIViewController>& presenter,
                              const std::shared_ptr<UIViewController>& presented, bool animated,
                              std::function<void()> completion) {
    if (!presented || presented == presenter) return false;
    if (presenter->presented_ || presenter->inPresentationTransition()) {
        Log::warning("ui", "present: the controller is already presenting or in a transition");
        return false;
    }
    if (presented->presentingViewController() || presented->parentViewController() ||
        (presented->viewIfLoaded() && presented->viewIfLoaded()->superview())) {
        Log::warning("ui", "present: the controller to present is already shown");
        return false;
    }
    auto window = presenter->view()->window();
    if (!window) {
        Log::warning("ui", "present: the presenting controller's view is not in a window");
        return false;
    }
    CGRect bounds = window->bounds();
    auto style = effectiveStyle(*presented, bounds);
    auto container = PresentationContainerView::make(bounds);
    container->presented = presented;
    container->popover = style == UIModalPresentationStyle::Popover;
    container->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    if (style == UIModalPresentationStyle::FormSheet || style == UIModalPresentationStyle::PageSheet)
        container->setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
    window->addSubview(container);

    presenter->presented_ = presented;
    presented->presenting_ = presenter;
    presented->movePresentation(UIPresentationState::BeingPresented);
    presented->presentationContainer_ = container;
    // The presented controller starts out with its presenter's traits (no change to report).
    presented->traits_ = presenter->traitCollection();

    auto t = std::make_shared<ModalTransition>(true, presenter, presented, container, animated);
    t->completion_ = std::move(completion);
    t->presentedFrame_ = frameForStyle(style, *presented, bounds);
    if (coversPresenter(style)) t->covered_ = rootAncestor(presenter);
    // Anything the presenter's chain already covers is not told twice.
    if (t->covered_ && t->covered_->appearanceState() != UIAppearanceState::Appeared) t->covered_.reset();
    t->hidesCovered_ = t->covered_ && style == UIModalPresentationStyle::FullScreen;

    std::shared_ptr<UIViewControllerAnimatedTransitioning> animator;
    if (auto d = presented->transitioningDelegate())
        animator = d->animationControllerForPresentedController(presented, presenter, presenter);
    if (!animator && animated)
        animator = std::make_shared<DefaultModalAnimator>(
            true,
            presented->modalTransitionStyle() != UIModalTransitionStyle::CoverVertical ||
                style == UIModalPresentationStyle::Popover,
            kModalDuration);
    // The view is in place before the animator starts; a custom animator may move it.
    presented->view()->setFrame(t->presentedFrame_);
    if (!std::dynamic_pointer_cast<DefaultModalAnimator>(animator) && animator) {
        // Custom animators add the view themselves.
    } else {
        container->addSubview(presented->view());
    }
    if (t->covered_) t->covered_->beginAppearanceTransition(false, animated);
    presented->beginAppearanceTransition(true, animated);
    t->run(animator);
    return true;
}

bool ModalTransition::dismiss(const std::shared_ptr<UIViewController>& presenter, bool animated,
                              std::function<void()> completion) {
    auto victim = presenter->presented_;
    if (!victim) return false;
    if (victim->inPresentationTransition()) {
        Log::warning("ui", "dismiss: the presented controller is in a transition");
        return false;
    }
    // Controllers the victim presents go at once, top first, without animation.
    std::vector<std::shared_ptr<UIViewController>> above;
    for (auto c = victim->presented_; c; c = c->presented_) above.push_back(c);
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        auto c = *it;
        c->beginAppearanceTransition(false, false);
        if (auto v = c->viewIfLoaded()) v->removeFromSuperview();
        if (c->presentationContainer_) c->presentationContainer_->removeFromSuperview();
        c->presentationContainer_.reset();
        c->endAppearanceTransition();
        if (auto p = c->presentingViewController()) p->presented_.reset();
        c->presenting_.reset();
        c->movePresentation(UIPresentationState::NotPresented);
    }

    auto container = victim->presentationContainer_;
    auto window = container ? std::dynamic_pointer_cast<UIWindow>(container->superview()) : nullptr;
    CGRect bounds = window ? window->bounds() : (container ? container->bounds() : CGRectZero);
    auto style = effectiveStyle(*victim, bounds);
    auto t = std::make_shared<ModalTransition>(false, presenter, victim, container, animated);
    t->completion_ = std::move(completion);
    if (coversPresenter(style)) t->covered_ = rootAncestor(presenter);
    if (t->covered_ && t->covered_->appearanceState() != UIAppearanceState::Disappeared) t->covered_.reset();
    // The covered screen is back in sight for the dismissal's animation.
    if (t->covered_) {
        t->hidesCovered_ = style == UIModalPresentationStyle::FullScreen;
        showCovered(*t->covered_);
    }
    victim->movePresentation(UIPresentationState::BeingDismissed);

    std::shared_ptr<UIViewControllerAnimatedTransitioning> animator;
    if (auto d = victim->transitioningDelegate()) animator = d->animationControllerForDismissedController(victim);
    if (!animator && animated)
        animator = std::make_shared<DefaultModalAnimator>(
            false,
            victim->modalTransitionStyle() != UIModalTransitionStyle::CoverVertical ||
                style == UIModalPresentationStyle::Popover,
            kModalDuration);
    victim->beginAppearanceTransition(false, animated);
    if (t->covered_) t->covered_->beginAppearanceTransition(true, animated);
    t->run(animator);
    return true;
}

void ModalTransition::run(const std::shared_ptr<UIViewControllerAnimatedTransitioning>& animator) {
    animator_ = animator;
    if (animator_)
        animator_->animateTransition(shared_from_this());
    else
        completeTransition(true);
}

std::shared_ptr<UIViewController> ModalTransition::viewControllerForKey(UITransitionContextKey key) const {
    bool from = key == UITransitionContextKey::From;
    return (from == presenting_) ? presenter_ : presented_;
}

std::shared_ptr<UIView> ModalTransition::viewForKey(UITransitionContextKey key) const {
    auto c = viewControllerForKey(key);
    if (c == presented_) return presented_->view();
    // The presenter's view is only handed out when the transition covers it.
    return covered_ ? covered_->viewIfLoaded() : nullptr;
}

CGRect ModalTransition::initialFrameForViewController(const UIViewController& c) const {
    if (&c == presented_.get()) return presenting_ ? CGRectZero : presented_->view()->frame();
    return container_ ? container_->bounds() : CGRectZero;
}

CGRect ModalTransition::finalFrameForViewController(const UIViewController& c) const {
    if (&c == presented_.get()) return presenting_ ? presentedFrame_ : CGRectZero;
    return container_ ? container_->bounds() : CGRectZero;
}

void ModalTransition::completeTransition(bool didComplete) {
    if (finished_) return;
    finished_ = true;
    cancelled_ = !didComplete;
    auto keep = shared_from_this();
    if (presenting_)
        finishPresent(didComplete);
    else
        finishDismiss(didComplete);
    if (animator_) animator_->animationEnded(didComplete);
    animator_.reset();
    if (didComplete && completion_) {
        auto c = std::move(completion_);
        c();
    }
}

void ModalTransition::finishPresent(bool done) {
    presented_->movePresentation(done ? UIPresentationState::Presented : UIPresentationState::NotPresented);
    if (done) {
        if (!presented_->view()->superview() && container_) container_->addSubview(presented_->view());
        // The covered controller finishes disappearing before the new one reports it appeared.
        if (covered_) covered_->endAppearanceTransition();
        if (covered_ && hidesCovered_) hideCovered(*covered_);
        presented_->endAppearanceTransition();
        return;
    }
    // Cancelled: everything goes back to before the presentation.
    presented_->beginAppearanceTransition(false, animated_);
    presented_->view()->removeFromSuperview();
    if (container_) container_->removeFromSuperview();
    presented_->presentationContainer_.reset();
    presented_->endAppearanceTransition();
    if (covered_) {
        covered_->beginAppearanceTransition(true, animated_);
        covered_->endAppearanceTransition();
    }
    presenter_->presented_.reset();
    presented_->presenting_.reset();
}

void ModalTransition::finishDismiss(bool done) {
    presented_->movePresentation(done ? UIPresentationState::NotPresented : UIPresentationState::Presented);
    if (!done) {
        presented_->beginAppearanceTransition(true, animated_);
        presented_->endAppearanceTransition();
        if (covered_) {
            covered_->beginAppearanceTransition(false, animated_);
            covered_->endAppearanceTransition();
            if (hidesCovered_) hideCovered(*covered_);
        }
        return;
    }
    if (auto v = presented_->viewIfLoaded()) {
        CAAnimationEngine::removeAnimationForKey(*v->layer(), "korva.transition.out");
        v->removeFromSuperview();
    }
    if (container_) container_->removeFromSuperview();
    presented_->presentationContainer_.reset();
    presented_->endAppearanceTransition();
    if (covered_) covered_->endAppearanceTransition();
    presenter_->presented_.reset();
    presented_->presenting_.reset();
}
