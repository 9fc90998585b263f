// The controller's own view, forwarding its layout pass to the controller's hooks.
#include "platform/ui/controller/controller_view.h"

#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_rotation.h"

void ControllerView::layoutSubviews() {
    auto c = controller_.lock();
    if (c) c->viewLayoutWillRun();
    UIView::layoutSubviews();
    if (c) c->viewLayoutDidRun();
}

void ControllerView::willMoveToWindow(const std::shared_ptr<UIWindow>& window) {
    UIView::willMoveToWindow(window);
    pendingAppearance_ = false;
    auto c = controller_.lock();
    if (!c || ManagedAppearance::active()) return;
    auto parent = c->parentViewController();
    if (!parent) return;
    auto state = c->appearanceState();
    auto parentState = parent->appearanceState();
    bool parentShown = parentState == UIAppearanceState::Appeared || parentState == UIAppearanceState::Appearing;
    if (window && parentShown && state == UIAppearanceState::Disappeared) {
        c->beginAppearanceTransition(true, false);
        pendingAppearance_ = true;
    } else if (!window && (state == UIAppearanceState::Appeared || state == UIAppearanceState::Appearing)) {
        c->beginAppearanceTransition(false, false);
        pendingAppearance_ = true;
    }
}

void ControllerView::didMoveToWindow() {
    UIView::didMoveToWindow();
    if (!pendingAppearance_) return;
    pendingAppearance_ = false;
    if (auto c = controller_.lock()) c->endAppearanceTransition();
}

void ControllerView::traitCollectionDidChange() {
    UIView::traitCollectionDidChange();
    // The controller inherits the traits around its view (its own override applies on top).
    auto around = superview();
    if (auto c = controller_.lock())
        c->setTraitCollection(around ? around->traitCollection() : UITraitCollection::currentTraitCollection());
}

void ControllerView::init() {
    UIView::init();
    setLayoutMargins(UIEdgeInsets{0, kSideMargin, 0, kSideMargin});
}

void ControllerView::layoutMarginsDidChange() {
    UIView::layoutMarginsDidChange();
    if (auto c = controller_.lock()) c->viewLayoutMarginsDidChange();
}

void ControllerView::safeAreaInsetsDidChange() {
    UIView::safeAreaInsetsDidChange();
    auto c = controller_.lock();
    auto w = window();
    if (!c || !w || w->rootViewController() != c) return;
    CGSize size = w->bounds().size;
    auto screen = w->screen();
    auto orientation = screen ? screen->orientation() : UIInterfaceOrientation::Unknown;
    bool first = lastWindowSize_.width == 0 && lastWindowSize_.height == 0;
    auto previous = lastOrientation_;
    bool resized = size != lastWindowSize_;
    lastWindowSize_ = size;
    lastOrientation_ = orientation;
    if (first) return;
    if (resized) c->transitionToSize(size);
    if (previous == orientation) return;
    if (announced_ != orientation) interfaceWillRotate(*c, orientation, UIViewControllerRotation::kRotationDuration);
    announced_ = UIInterfaceOrientation::Unknown;
    // The tree takes its new bounds before it hears the turn animate.
    setNeedsLayout();
    layoutIfNeeded();
    interfaceWillAnimateRotation(*c, orientation, UIViewControllerRotation::kRotationDuration);
    c->interfaceDidRotate(previous);
}

void ControllerView::windowWillChangeScreenGeometry() {
    auto c = controller_.lock();
    auto w = window();
    if (!c || !w || w->rootViewController() != c) return;
    auto screen = w->screen();
    auto orientation = screen ? screen->orientation() : UIInterfaceOrientation::Unknown;
    bool first = lastWindowSize_.width == 0 && lastWindowSize_.height == 0;
    if (first || orientation == lastOrientation_ || orientation == announced_) return;
    announced_ = orientation;
    interfaceWillRotate(*c, orientation, UIViewControllerRotation::kRotationDuration);
}
