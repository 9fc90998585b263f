// View loading, appearance, containment, status bar and rotation of UIViewController.
#include "platform/ui/controller/ui_view_controller.h"

#include <algorithm>

#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/bar/ui_tab_bar_item.h"
#include "platform/ui/controller/controller_view.h"
#include "platform/ui/controller/modal_transition.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_popover_presentation_controller.h"
#include "platform/ui/controller/ui_split_view_controller.h"
#include "platform/ui/controller/ui_tab_bar_controller.h"

UIViewController::UIViewController() = default;

namespace {

// The window shows its root controller's view, filling it, and tells the controllers.
void installRootController(UIWindow& window, const std::shared_ptr<NSObject>& old,
                           const std::shared_ptr<NSObject>& controller) {
    if (auto previous = std::dynamic_pointer_cast<UIViewController>(old)) {
        previous->beginAppearanceTransition(false, false);
        if (auto v = previous->viewIfLoaded()) v->removeFromSuperview();
        previous->endAppearanceTransition();
    }
    auto next = std::dynamic_pointer_cast<UIViewController>(controller);
    if (!next) return;
    auto view = next->view();
    view->setFrame(window.bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    next->beginAppearanceTransition(true, false);
    window.insertSubviewAtIndex(view, 0);
    next->endAppearanceTransition();
}

}  // namespace

void UIViewController::init() {
    static const bool installed = [] {
        UIWindow::setRootControllerInstaller(installRootController);
        return true;
    }();
    (void)installed;
    traits_ = inheritedTraits_ = UITraitCollection::currentTraitCollection();
}

UIViewController::~UIViewController() = default;

std::shared_ptr<UIView> UIViewController::view() {
    if (!view_ && !loading_) {
        loading_ = true;
        loadView();
        if (!view_) setView(ControllerView::make(UIScreen::mainScreen()->bounds()));
        loading_ = false;
        viewDidLoad();
        viewDidLoadFinished();
    }
    return view_;
}

namespace {
UIViewController::StatusBarStyleProvider& statusBarStyleProvider() {
    static UIViewController::StatusBarStyleProvider provider;
    return provider;
}
}  // namespace

UIStatusBarStyle UIViewController::preferredStatusBarStyle() const {
    const auto& provider = statusBarStyleProvider();
    return provider ? provider(*this, UIStatusBarStyle::Default) : UIStatusBarStyle::Default;
}

void UIViewController::setStatusBarStyleProvider(StatusBarStyleProvider provider) {
    statusBarStyleProvider() = std::move(provider);
}

void UIViewController::setView(std::shared_ptr<UIView> view) {
    if (view_ && view_ != view) view_->setOwningController(nullptr);
    view_ = std::move(view);
    if (view_) view_->setOwningController(self<UIViewController>());
    if (auto cv = std::dynamic_pointer_cast<ControllerView>(view_)) cv->setController(self<UIViewController>());
}

void UIViewController::loadView() {
    auto v = ControllerView::make(UIScreen::mainScreen()->bounds());
    v->setBackgroundColor(UIColor::systemBackgroundColor());
    setView(v);
}

std::vector<std::shared_ptr<UIViewController>> UIViewController::appearanceChildren() const {
    std::vector<std::shared_ptr<UIViewController>> out;
    if (!view_) return out;
    for (const auto& c : children_)
        if (auto v = c->viewIfLoaded(); v && v->isDescendantOfView(view_.get())) out.push_back(c);
    return out;
}

void UIViewController::sendAppearance(bool will, bool appearing, bool animated) {
    if (will) {
        if (appearing)
            viewWillAppear(animated);
        else
            viewWillDisappear(animated);
    } else {
        if (appearing)
            viewDidAppear(animated);
        else
            viewDidDisappear(animated);
    }
}

void UIViewController::beginAppearanceTransition(bool appearing, bool animated) {
    auto keep = self<UIViewController>();
    if (appearing && (appearance_ == UIAppearanceState::Appearing || appearance_ == UIAppearanceState::Appeared))
        return;
    if (!appearing && (appearance_ == UIAppearanceState::Disappearing || appearance_ == UIAppearanceState::Disappeared))
        return;
    if (appearing) loadViewIfNeeded();
    appearance_ = appearing ? UIAppearanceState::Appearing : UIAppearanceState::Disappearing;
    pendingAnimated_ = animated;
    sendAppearance(true, appearing, animated);
    for (const auto& c : appearanceChildren()) c->beginAppearanceTransition(appearing, animated);
}

bool UIViewController::movePresentation(UIPresentationState to) {
    using S = UIPresentationState;
    const S from = presentation_;
    bool allowed = false;
    switch (to) {
        case S::BeingPresented: allowed = from == S::NotPresented; break;
        case S::Presented: allowed = from == S::BeingPresented || from == S::BeingDismissed; break;
        case S::BeingDismissed: allowed = from == S::Presented; break;
        case S::NotPresented: allowed = from != S::NotPresented; break;
    }
    if (!allowed) {
        Log::warning("ui", "presentation: refused a step from state " + std::to_string(static_cast<int>(from)) +
                               " to " + std::to_string(static_cast<int>(to)));
        return false;
    }
    presentation_ = to;
    return true;
}

void UIViewController::endAppearanceTransition() {
    auto keep = self<UIViewController>();
    if (appearance_ == UIAppearanceState::Appearing) {
        appearance_ = UIAppearanceState::Appeared;
        sendAppearance(false, true, pendingAnimated_);
    } else if (appearance_ == UIAppearanceState::Disappearing) {
        appearance_ = UIAppearanceState::Disappeared;
        sendAppearance(false, false, pendingAnimated_);
    } else {
        return;
    }
    for (const auto& c : appearanceChildren()) c->endAppearanceTransition();
}

void UIViewController::setTraitCollection(const UITraitCollection& traits) {
    inheritedTraits_ = traits;
    UITraitCollection effective = traits;
    if (overrideStyle_ != UIUserInterfaceStyle::Unspecified) effective.userInterfaceStyle = overrideStyle_;
    if (effective == traits_) return;
    UITraitCollection previous = traits_;
    traits_ = effective;
    traitCollectionDidChange(previous);
    for (const auto& c : children_) c->setTraitCollection(effective);
    if (presented_) presented_->setTraitCollection(effective);
}

void UIViewController::setOverrideUserInterfaceStyle(UIUserInterfaceStyle style) {
    if (style == overrideStyle_) return;
    overrideStyle_ = style;
    setTraitCollection(inheritedTraits_);
    if (view_) view_->traitCollectionDidChange();
}

void UIViewController::transitionToSize(CGSize size) {
    viewWillTransitionToSize(size);
    for (const auto& c : children_) c->transitionToSize(size);
    if (presented_) presented_->transitionToSize(size);
}

void UIViewController::interfaceDidRotate(UIInterfaceOrientation from) {
    auto keep = self<UIViewController>();
    didRotateFromInterfaceOrientation(from);
    for (const auto& c : std::vector<std::shared_ptr<UIViewController>>(children_)) c->interfaceDidRotate(from);
    if (presented_) presented_->interfaceDidRotate(from);
}

void UIViewController::setNeedsStatusBarAppearanceUpdate() {
    ++statusBarUpdates_;
}

bool UIViewController::effectiveStatusBarHidden() const {
    if (presented_ && presented_->modalPresentationStyle() == UIModalPresentationStyle::FullScreen)
        return presented_->effectiveStatusBarHidden();
    if (auto c = childViewControllerForStatusBarHidden()) return c->effectiveStatusBarHidden();
    return prefersStatusBarHidden();
}

UIStatusBarStyle UIViewController::effectiveStatusBarStyle() const {
    if (presented_ && presented_->modalPresentationStyle() == UIModalPresentationStyle::FullScreen)
        return presented_->effectiveStatusBarStyle();
    if (auto c = childViewControllerForStatusBarStyle()) return c->effectiveStatusBarStyle();
    return preferredStatusBarStyle();
}

UIInterfaceOrientationMask UIViewController::supportedInterfaceOrientations() const {
    auto screen = UIScreen::mainScreen();
    bool pad = screen && screen->bounds().size.width >= 700 && screen->bounds().size.height >= 700;
    return pad ? UIInterfaceOrientationMaskAll : UIInterfaceOrientationMaskAllButUpsideDown;
}

bool UIViewController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const {
    if (orientation == UIInterfaceOrientation::Unknown) return false;
    return (supportedInterfaceOrientations() & (UIInterfaceOrientationMask{1} << static_cast<int>(orientation))) != 0;
}

void UIViewController::setTitle(std::string title) {
    title_ = std::move(title);
    if (navigationItem_) navigationItem_->setTitle(title_);
    if (tabBarItem_) tabBarItem_->setTitle(title_);
}

std::shared_ptr<UINavigationItem> UIViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = UINavigationItem::make(title_);
    return navigationItem_;
}

std::shared_ptr<UITabBarItem> UIViewController::tabBarItem() {
    if (!tabBarItem_) tabBarItem_ = UITabBarItem::make(title_, nullptr, 0);
    return tabBarItem_;
}

void UIViewController::setTabBarItem(std::shared_ptr<UITabBarItem> item) {
    tabBarItem_ = std::move(item);
}

void UIViewController::setEditing(bool editing, bool /*animated*/) {
    editing_ = editing;
}

void UIViewController::setToolbarItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool) {
    toolbarItems_ = std::move(items);
    if (auto nav = navigationController(); nav && nav->topViewController().get() == this)
        nav->toolbar()->setItems(toolbarItems_);
}

void UIViewController::addChildViewController(const std::shared_ptr<UIViewController>& child) {
    if (!child || child.get() == this) return;
    auto me = self<UIViewController>();
    if (child->parentViewController() == me) return;
    // A controller has one parent: moving it detaches it from the old one first.
    if (child->parentViewController()) {
        child->willMoveToParentViewController(nullptr);
        child->removeFromParentViewController();
    }
    child->movingTo_ = true;
    child->willMoveToParentViewController(me);
    children_.push_back(child);
    child->parent_ = me;
    child->traits_ = traits_;
}

void UIViewController::removeFromParentViewController() {
    auto parent = parent_.lock();
    if (!parent) return;
    auto keep = self<UIViewController>();
    auto& list = parent->children_;
    list.erase(std::remove(list.begin(), list.end(), keep), list.end());
    parent_.reset();
    movingFrom_ = true;
    movingTo_ = false;
    didMoveToParentViewController(nullptr);
    movingFrom_ = false;
}

void UIViewController::transitionFromViewController(const std::shared_ptr<UIViewController>& from,
                                                    const std::shared_ptr<UIViewController>& to, double duration,
                                                    std::function<void()> animations,
                                                    std::function<void(bool)> completion) {
    auto me = self<UIViewController>();
    if (!from || !to || from == to || from->parentViewController() != me || to->parentViewController() != me) {
        Log::warning("ui", "transitionFromViewController: both controllers must be distinct children");
        if (completion) completion(false);
        return;
    }
    auto fromView = from->view();
    auto container = fromView->superview();
    bool visible = appearance_ == UIAppearanceState::Appeared;
    if (visible) {
        from->beginAppearanceTransition(false, duration > 0);
        to->beginAppearanceTransition(true, duration > 0);
    }
    if (container) {
        ManagedAppearance managed;
        container->insertSubviewAbove(to->view(), fromView);
    }
    if (animations) animations();
    if (duration > 0) animateViewAlphaFrom(*to->view(), 0, duration);
    auto finish = [me, from, to, visible, completion] {
        {
            ManagedAppearance managed;
            from->viewIfLoaded()->removeFromSuperview();
        }
        if (visible) {
            from->endAppearanceTransition();
            to->endAppearanceTransition();
        }
        if (completion) completion(true);
    };
    if (duration > 0)
        runAfter(duration, finish);
    else
        finish();
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const {
    for (auto c = parentViewController(); c; c = c->parentViewController())
        if (auto n = std::dynamic_pointer_cast<UINavigationController>(c)) return n;
    return nullptr;
}

std::shared_ptr<UISplitViewController> UIViewController::splitViewController() const {
    for (auto c = parentViewController(); c; c = c->parentViewController())
        if (auto s = std::dynamic_pointer_cast<UISplitViewController>(c)) return s;
    return nullptr;
}

std::shared_ptr<UITabBarController> UIViewController::tabBarController() const {
    for (auto c = parentViewController(); c; c = c->parentViewController())
        if (auto t = std::dynamic_pointer_cast<UITabBarController>(c)) return t;
    return nullptr;
}

std::shared_ptr<UIPopoverPresentationController> UIViewController::popoverPresentationController() {
    const bool tablet = UIScreen::mainScreen()->idiom() == UIUserInterfaceIdiom::Pad;
    if (presentationStyle_ != UIModalPresentationStyle::Popover && !(tablet && popoverOnTablet())) return nullptr;
    if (!popover_) popover_ = UIPopoverPresentationController::make();
    return popover_;
}

std::shared_ptr<UIResponder> UIViewController::nextResponder() const {
    if (view_) {
        if (auto s = view_->superview()) return s;
    }
    if (auto p = parentViewController()) return p;
    if (auto p = presentingViewController()) return p;
    return nullptr;
}

bool UIViewController::presentViewController(const std::shared_ptr<UIViewController>& controller, bool animated,
                                             std::function<void()> completion) {
    return ModalTransition::present(self<UIViewController>(), controller, animated, std::move(completion));
}

bool UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion) {
    if (presented_) return ModalTransition::dismiss(self<UIViewController>(), animated, std::move(completion));
    if (auto p = presentingViewController()) return ModalTransition::dismiss(p, animated, std::move(completion));
    // A child of a presented container dismisses the container.
    for (auto c = parentViewController(); c; c = c->parentViewController())
        if (auto p = c->presentingViewController()) return ModalTransition::dismiss(p, animated, std::move(completion));
    return false;
}
