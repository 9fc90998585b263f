// Navigation controller: the stack, the bar's items, and push/pop transitions with appearance.
#include "platform/ui/controller/ui_navigation_controller.h"

#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/controller/controller_view.h"

namespace {
constexpr double kPushDuration = 0.35;
}

// One push or pop in flight: the context the animator sees; finishing it settles the stack.
class UINavigationController::Transition : public UIViewControllerContextTransitioning,
                                           public std::enable_shared_from_this<Transition> {
public:
    Transition(std::shared_ptr<UINavigationController> nav, std::shared_ptr<UIViewController> from,
               std::shared_ptr<UIViewController> to, UINavigationControllerOperation op, bool animated, bool visible)
        : nav_(std::move(nav)),
          from_(std::move(from)),
          to_(std::move(to)),
          op_(op),
          animated_(animated),
          visible_(visible) {}

    std::shared_ptr<UIView> containerView() const override { return nav_->content_; }
    std::shared_ptr<UIViewController> viewControllerForKey(UITransitionContextKey key) const override {
        return key == UITransitionContextKey::From ? from_ : to_;
    }
    std::shared_ptr<UIView> viewForKey(UITransitionContextKey key) const override {
        auto c = viewControllerForKey(key);
        return c ? c->viewIfLoaded() : nullptr;
    }
    CGRect initialFrameForViewController(const UIViewController& c) const override {
        return &c == from_.get() ? nav_->content_->bounds() : CGRectZero;
    }
    CGRect finalFrameForViewController(const UIViewController& c) const override {
        return &c == to_.get() ? nav_->content_->bounds() : CGRectZero;
    }
    bool isAnimated() const override { return animated_; }
    bool transitionWasCancelled() const override { return cancelled_; }
    void completeTransition(bool didComplete) override;

    std::shared_ptr<UINavigationController> nav_;
    std::shared_ptr<UIViewController> from_;
    std::shared_ptr<UIViewController> to_;
    UINavigationControllerOperation op_;
    bool animated_;
    bool visible_;
    bool finished_ = false;
    bool cancelled_ = false;
    std::shared_ptr<UIViewControllerAnimatedTransitioning> animator_;
};

void UINavigationController::Transition::completeTransition(bool didComplete) {
    if (finished_) return;
    finished_ = true;
    cancelled_ = !didComplete;
    auto keep = shared_from_this();
    auto nav = nav_;
    if (nav->transition_.get() == this) nav->transition_.reset();
    if (!didComplete) {
        // An interactive pop that was abandoned: the old top stays.
        if (to_ && to_ != from_) {
            ManagedAppearance managed;
            if (visible_) to_->beginAppearanceTransition(false, animated_);
            to_->view()->removeFromSuperview();
            if (visible_) to_->endAppearanceTransition();
        }
        if (visible_ && from_) {
            from_->beginAppearanceTransition(true, animated_);
            from_->endAppearanceTransition();
        }
    } else {
        if (from_ && from_ != to_) {
            ManagedAppearance managed;
            if (auto v = from_->viewIfLoaded()) v->removeFromSuperview();
            if (visible_) from_->endAppearanceTransition();
        }
        if (visible_ && to_) to_->endAppearanceTransition();
        // A popped controller leaves its parent once it is off screen.
        if (from_ && from_ != to_ && std::find(nav->stack_.begin(), nav->stack_.end(), from_) == nav->stack_.end() &&
            from_->parentViewController() == nav)
            from_->removeFromParentViewController();
        if (op_ == UINavigationControllerOperation::Push && to_) to_->didMoveToParentViewController(nav);
        if (to_) to_->movingTo_ = false;
        if (auto d = nav->delegate(); d && to_) d->didShowViewController(*nav, to_, animated_);
    }
    if (animator_) animator_->animationEnded(didComplete);
    animator_.reset();
}

std::shared_ptr<UINavigationController> UINavigationController::withRoot(
    const std::shared_ptr<UIViewController>& root) {
    auto nav = make();
    if (root) nav->setViewControllers({root}, false);
    return nav;
}

bool UINavigationController::canAdopt(const std::shared_ptr<UIViewController>& c) const {
    if (!c || c.get() == this) return false;
    if (std::find(stack_.begin(), stack_.end(), c) != stack_.end()) return false;
    if (c->parentViewController() || c->presentingViewController()) return false;
    if (std::dynamic_pointer_cast<UINavigationController>(c)) return false;
    return true;
}

std::shared_ptr<UINavigationBar> UINavigationController::navigationBar() {
    if (!bar_) {
        bar_ = UINavigationBar::make(CGRectMake(0, 0, 320, UINavigationBar::kHeight));
        std::weak_ptr<UINavigationController> weak = self<UINavigationController>();
        bar_->setOnBack([weak] {
            if (auto nav = weak.lock()) nav->popViewControllerAnimated(true);
        });
        syncBarItems();
    }
    return bar_;
}

std::shared_ptr<UIToolbar> UINavigationController::toolbar() {
    if (!toolbar_) {
        toolbar_ = UIToolbar::make(CGRectMake(0, 0, 320, UIToolbar::kHeight));
        toolbar_->setHidden(toolbarHidden_);
    }
    return toolbar_;
}

void UINavigationController::loadView() {
    auto root = ControllerView::make(UIScreen::mainScreen()->bounds());
    root->setBackgroundColor(UIColor::systemBackgroundColor());
    setView(root);
    content_ = UIView::make(root->bounds());
    root->addSubview(content_);
    root->addSubview(navigationBar());
    root->addSubview(toolbar());
    if (auto top = topViewController()) {
        top->view()->setFrame(content_->bounds());
        content_->addSubview(top->view());
    }
    root->setNeedsLayout();
}

CGRect UINavigationController::contentFrame() const {
    if (!viewIfLoaded()) return CGRectZero;
    CGRect b = viewIfLoaded()->bounds();
    UIEdgeInsets safe = viewIfLoaded()->safeAreaInsets();
    CGFloat top = barHidden_ ? 0 : safe.top + UINavigationBar::kHeight;
    CGFloat bottom = toolbarHidden_ ? 0 : safe.bottom + UIToolbar::kHeight;
    return CGRectMake(b.origin.x, b.origin.y + top, b.size.width, std::max<CGFloat>(0, b.size.height - top - bottom));
}

void UINavigationController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    auto root = viewIfLoaded();
    if (!root) return;
    CGRect b = root->bounds();
    UIEdgeInsets safe = root->safeAreaInsets();
    bar_->setFrame(CGRectMake(0, 0, b.size.width, safe.top + UINavigationBar::kHeight));
    bar_->setHidden(barHidden_);
    toolbar_->setFrame(CGRectMake(0, b.size.height - safe.bottom - UIToolbar::kHeight, b.size.width,
                                  UIToolbar::kHeight + safe.bottom));
    toolbar_->setHidden(toolbarHidden_);
    content_->setFrame(contentFrame());
    if (auto top = topViewController(); top && !transition_) {
        if (auto v = top->viewIfLoaded()) v->setFrame(content_->bounds());
    }
}

void UINavigationController::setNavigationBarHidden(bool hidden, bool) {
    barHidden_ = hidden;
    if (auto v = viewIfLoaded()) v->setNeedsLayout();
}

void UINavigationController::setToolbarHidden(bool hidden, bool) {
    toolbarHidden_ = hidden;
    if (toolbar_) toolbar_->setHidden(hidden);
    if (auto v = viewIfLoaded()) v->setNeedsLayout();
}

void UINavigationController::syncBarItems() {
    if (!bar_) return;
    std::vector<std::shared_ptr<UINavigationItem>> items;
    for (auto& c : stack_) items.push_back(c->navigationItem());
    bar_->setItems(items);
    if (auto top = topViewController()) toolbar()->setItems(top->toolbarItems());
}

std::shared_ptr<UIViewController> UINavigationController::visibleViewController() const {
    auto top = topViewController();
    if (!top) return nullptr;
    auto v = top;
    while (auto p = v->presentedViewController()) v = p;
    return v;
}

void UINavigationController::finishTransitionNow() {
    if (auto t = transition_) t->completeTransition(true);
}

void UINavigationController::showTop(const std::shared_ptr<UIViewController>& from, UINavigationControllerOperation op,
                                     bool animated) {
    auto to = topViewController();
    syncBarItems();
    if (!content_) {
        // Not loaded yet: the stack is shown when the view loads.
        if (from && from != to && std::find(stack_.begin(), stack_.end(), from) == stack_.end())
            from->removeFromParentViewController();
        if (op == UINavigationControllerOperation::Push && to)
            to->didMoveToParentViewController(self<UINavigationController>());
        return;
    }
    bool visible =
        appearanceState() == UIAppearanceState::Appeared || appearanceState() == UIAppearanceState::Appearing;
    auto me = self<UINavigationController>();
    if (auto d = delegate(); d && to) d->willShowViewController(*me, to, animated);
    if (to) {
        ManagedAppearance managed;
        to->view()->setFrame(content_->bounds());
        if (to->view()->superview() != content_) content_->addSubview(to->view());
    }
    if (visible) {
        if (from && from != to) from->beginAppearanceTransition(false, animated);
        if (to && to != from) to->beginAppearanceTransition(true, animated);
    }
    auto t = std::make_shared<Transition>(me, from == to ? nullptr : from, to, op, animated && visible, visible);
    if (!(animated && visible) || !from || !to || from == to) {
        t->completeTransition(true);
        return;
    }
    transition_ = t;
    if (auto d = delegate()) t->animator_ = d->animationControllerForOperation(*me, op, from, to);
    if (t->animator_) {
        t->animator_->animateTransition(t);
        return;
    }
    CGFloat w = content_->bounds().size.width;
    if (op == UINavigationControllerOperation::Push) {
        animateViewFrameFrom(*to->view(), CGRectOffset(to->view()->frame(), w, 0), kPushDuration);
    } else {
        ManagedAppearance managed;
        content_->insertSubviewBelow(to->view(), from->view());
        animateViewFrameFrom(*to->view(), CGRectOffset(to->view()->frame(), -w / 3, 0), kPushDuration);
    }
    std::weak_ptr<Transition> weak = t;
    runAfter(kPushDuration, [weak] {
        if (auto tr = weak.lock()) tr->completeTransition(true);
    });
}

bool UINavigationController::pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated) {
    if (!canAdopt(controller)) {
        Log::warning("ui", "pushViewController: the controller is already in a container or presented");
        return false;
    }
    finishTransitionNow();
    auto from = topViewController();
    addChildViewController(controller);
    stack_.push_back(controller);
    showTop(from, UINavigationControllerOperation::Push, animated);
    return true;
}

std::shared_ptr<UIViewController> UINavigationController::popViewControllerAnimated(bool animated) {
    finishTransitionNow();
    if (stack_.size() < 2) return nullptr;
    auto from = stack_.back();
    from->willMoveToParentViewController(nullptr);
    stack_.pop_back();
    showTop(from, UINavigationControllerOperation::Pop, animated);
    return from;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToViewController(
    const std::shared_ptr<UIViewController>& controller, bool animated) {
    finishTransitionNow();
    auto it = std::find(stack_.begin(), stack_.end(), controller);
    if (it == stack_.end() || it + 1 == stack_.end()) return {};
    std::vector<std::shared_ptr<UIViewController>> popped(it + 1, stack_.end());
    auto from = stack_.back();
    stack_.erase(it + 1, stack_.end());
    // Those in between were never on screen during this pop: they just leave.
    for (auto& c : popped) {
        c->willMoveToParentViewController(nullptr);
        if (c != from) c->removeFromParentViewController();
    }
    showTop(from, UINavigationControllerOperation::Pop, animated);
    return popped;
}

std::vector<std::shared_ptr<UIViewController>> UINavigationController::popToRootViewControllerAnimated(bool animated) {
    if (stack_.empty()) return {};
    return popToViewController(stack_.front(), animated);
}

void UINavigationController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers,
                                                bool animated) {
    finishTransitionNow();
    std::vector<std::shared_ptr<UIViewController>> next;
    for (auto& c : controllers) {
        if (!c || std::find(next.begin(), next.end(), c) != next.end()) continue;
        bool ours = std::find(stack_.begin(), stack_.end(), c) != stack_.end();
        if (!ours && !canAdopt(c)) continue;
        next.push_back(c);
    }
    auto from = topViewController();
    auto oldStack = stack_;
    stack_ = next;
    for (auto& c : oldStack) {
        if (std::find(next.begin(), next.end(), c) != next.end()) continue;
        c->willMoveToParentViewController(nullptr);
        if (c != from) c->removeFromParentViewController();
    }
    for (auto& c : next)
        if (c->parentViewController().get() != this) addChildViewController(c);
    bool wasThere = from && std::find(next.begin(), next.end(), from) != next.end();
    auto to = topViewController();
    auto op = to && std::find(oldStack.begin(), oldStack.end(), to) != oldStack.end()
                  ? UINavigationControllerOperation::Pop
                  : UINavigationControllerOperation::Push;
    if (from == to) {
        syncBarItems();
        return;
    }
    // Controllers added below the new top settle their move at once.
    for (auto& c : next)
        if (c != to && std::find(oldStack.begin(), oldStack.end(), c) == oldStack.end())
            c->didMoveToParentViewController(self<UINavigationController>());
    (void)wasThere;
    showTop(from, op, animated);
}

bool UINavigationController::prefersStatusBarHidden() const {
    auto top = topViewController();
    return top ? top->prefersStatusBarHidden() : UIViewController::prefersStatusBarHidden();
}

namespace {
UINavigationController::NavigationStatusBarStyleProvider& navigationStyleProvider() {
    static UINavigationController::NavigationStatusBarStyleProvider provider;
    return provider;
}
std::function<void(UINavigationController&)>& viewDidLoadHook() {
    static std::function<void(UINavigationController&)> hook;
    return hook;
}
}  // namespace

void UINavigationController::setNavigationStatusBarStyleProvider(NavigationStatusBarStyleProvider provider) {
    navigationStyleProvider() = std::move(provider);
}

void UINavigationController::setViewDidLoadHook(std::function<void(UINavigationController&)> hook) {
    viewDidLoadHook() = std::move(hook);
}

void UINavigationController::viewDidLoadFinished() {
    if (const auto& hook = viewDidLoadHook()) hook(*this);
}

UIStatusBarStyle UINavigationController::preferredStatusBarStyle() const {
    if (const auto& provider = navigationStyleProvider()) return provider(*this);
    auto top = topViewController();
    return top ? top->preferredStatusBarStyle() : UIViewController::preferredStatusBarStyle();
}

bool UINavigationController::shouldAutorotate() const {
    auto top = topViewController();
    return top ? top->shouldAutorotate() : UIViewController::shouldAutorotate();
}

UIInterfaceOrientationMask UINavigationController::supportedInterfaceOrientations() const {
    auto top = topViewController();
    return top ? top->supportedInterfaceOrientations() : UIViewController::supportedInterfaceOrientations();
}
