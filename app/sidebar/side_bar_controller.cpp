// The side-bar container: children, state, gestures and rotation.
#include "app/sidebar/side_bar_controller.h"

#include <cmath>

#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/view/ui_view.h"

std::shared_ptr<SideBarController> sideBarController(const UIViewController& controller) {
    const UIViewController* at = &controller;
    for (auto parent = controller.parentViewController(); parent; parent = parent->parentViewController()) {
        if (parent.get() == at) return nullptr;
        if (auto bar = std::dynamic_pointer_cast<SideBarController>(parent)) return bar;
        at = parent.get();
    }
    return nullptr;
}

void SideBarController::viewDidLoad() {
    UIViewController::viewDidLoad();
    std::weak_ptr<SideBarController> weak = self<SideBarController>();
    auto delegate = std::dynamic_pointer_cast<UIGestureRecognizerDelegate>(self<SideBarController>());
    auto attach = [&](const std::shared_ptr<UIGestureRecognizer>& r, bool enabled) {
        r->setEnabled(enabled);
        r->setDelegate(delegate);
        UIViewAddGestureRecognizer(*view(), r);
    };
    tap_ = UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handleTapGesture(r);
    });
    tap_->setCancelsTouchesInView(false);
    pan_ = UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handlePanGesture(r);
    });
    leftEdge_ = UIScreenEdgePanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handleEdgeGesture(r, SideBarDirection::Left);
    });
    leftEdge_->setEdges(UIRectEdgeLeft);
    rightEdge_ = UIScreenEdgePanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->handleEdgeGesture(r, SideBarDirection::Right);
    });
    rightEdge_->setEdges(UIRectEdgeRight);
    attach(tap_, true);
    attach(pan_, panGestureEnabled_);
    attach(leftEdge_, panGestureEnabled_);
    attach(rightEdge_, panGestureEnabled_);
    view()->setBackgroundColor(UIColor::blackColor());
}

CGRect SideBarController::menuFrame(SideBarDirection direction) const {
    CGSize s = viewIfLoaded() ? viewIfLoaded()->bounds().size : CGSizeZero;
    return CGRectMake(direction == SideBarDirection::Left ? -s.width : s.width, 0, s.width, s.height);
}

void SideBarController::setupViewController(const std::shared_ptr<UIViewController>& controller, CGRect frame) {
    addChildViewController(controller);
    controller->view()->setFrame(frame);
    if (controller == content_)
        view()->insertSubviewAtIndex(controller->view(), 0);
    else
        view()->addSubview(controller->view());
    controller->didMoveToParentViewController(self<UIViewController>());
}

void SideBarController::removeViewController(const std::shared_ptr<UIViewController>& controller) {
    if (!controller) return;
    controller->willMoveToParentViewController(nullptr);
    if (auto v = controller->viewIfLoaded()) v->removeFromSuperview();
    controller->removeFromParentViewController();
}

void SideBarController::setContentViewController(const std::shared_ptr<UIViewController>& controller) {
    if (!controller || controller == content_) return;
    if (auto style = styleForDirection(currentDirection_)) style->setContentViewController(controller);
    removeViewController(content_);
    content_ = controller;
    setupViewController(controller, view()->bounds());
    setNeedsStatusBarAppearanceUpdate();
}

void SideBarController::setMenuViewController(const std::shared_ptr<UIViewController>& controller,
                                              SideBarDirection direction) {
    if (!controller) return;
    removeViewController(menuViewControllerForDirection(direction));
    menus_[direction] = controller;
    view();  // loaded first, so that the frame knows the container's bounds
    setupViewController(controller, menuFrame(direction));
    controller->view()->setHidden(true);
}

void SideBarController::setSideBarStyle(const std::shared_ptr<SideBarStyle>& style, SideBarDirection direction) {
    styles_[direction] = style;
    if (!style) return;
    style->setDelegate(std::dynamic_pointer_cast<SideBarStyleDelegate>(self<SideBarController>()));
    style->setSideBarController(self<SideBarController>());
}

std::shared_ptr<UIViewController> SideBarController::menuViewControllerForDirection(SideBarDirection direction) const {
    auto found = menus_.find(direction);
    return found == menus_.end() ? nullptr : found->second;
}

std::shared_ptr<SideBarStyle> SideBarController::styleForDirection(SideBarDirection direction) const {
    auto found = styles_.find(direction);
    return found == styles_.end() ? nullptr : found->second;
}

void SideBarController::showMenuViewControllerInDirection(SideBarDirection direction) {
    if (currentState_ != SideBarState::Hidden) return;
    auto style = styleForDirection(direction);
    if (!style || !menuViewControllerForDirection(direction)) return;
    currentDirection_ = direction;
    currentStyle_ = style;
    style->showMenuViewController();
}

void SideBarController::hideMenuViewController(bool animated) {
    if (currentState_ != SideBarState::Shown || !currentStyle_ || !currentMenu()) return;
    currentStyle_->hideMenuViewController(animated);
}

void SideBarController::handleTapGesture(UIGestureRecognizer& tap) {
    if (auto style = currentStyle_) style->handleTapGesture(tap);
}

void SideBarController::passPan(UIGestureRecognizer& recognizer) {
    auto* pan = dynamic_cast<UIPanGestureRecognizer*>(&recognizer);
    if (!pan) return;
    if (auto style = currentStyle_) style->handlePanGesture(*pan);
    pan->setTranslation(CGPointZero, view());
}

void SideBarController::handlePanGesture(UIGestureRecognizer& pan) {
    passPan(pan);
}

void SideBarController::handleEdgeGesture(UIGestureRecognizer& edge, SideBarDirection direction) {
    if (edge.state() == UIGestureRecognizerState::Began && currentState_ == SideBarState::Hidden) {
        currentDirection_ = direction;
        currentStyle_ = styleForDirection(direction);
    }
    passPan(edge);
}

bool SideBarController::gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer) {
    if (&recognizer == pan_.get()) {
        if (currentState_ != SideBarState::Shown || !currentStyle_) return false;
        CGPoint v = pan_->velocityInView(view());
        if (std::fabs(v.x) <= std::fabs(v.y)) return false;
        return currentDirection_ == SideBarDirection::Left ? v.x <= 0 : v.x >= 0;
    }
    if (&recognizer == tap_.get()) return currentState_ == SideBarState::Shown && currentStyle_ != nullptr;
    // An edge drag is taken only where its side has both a style and a menu to move.
    if (&recognizer == leftEdge_.get() || &recognizer == rightEdge_.get()) {
        auto side = &recognizer == leftEdge_.get() ? SideBarDirection::Left : SideBarDirection::Right;
        return currentState_ == SideBarState::Hidden && styleForDirection(side) && menuViewControllerForDirection(side);
    }
    return true;
}

bool SideBarController::shouldAutorotate() const {
    if (currentState_ == SideBarState::WillShow || currentState_ == SideBarState::WillHide) return false;
    return content_ ? content_->shouldAutorotate() : true;
}

void SideBarController::willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation to, double duration) {
    for (auto side : {SideBarDirection::Left, SideBarDirection::Right}) {
        if (auto menu = menuViewControllerForDirection(side)) menu->view()->setFrame(menuFrame(side));
    }
    if (auto style = currentStyle_) style->willAnimateRotationToInterfaceOrientation(to, duration);
}

void SideBarController::didRotateFromInterfaceOrientation(UIInterfaceOrientation from) {
    UIViewController::didRotateFromInterfaceOrientation(from);
    if (auto style = currentStyle_) style->didRotateFromInterfaceOrientation(from);
}

void SideBarController::sideBarStyleWillShowMenuViewController() {
    currentState_ = SideBarState::WillShow;
    if (content_) content_->view()->setUserInteractionEnabled(false);
    auto menu = currentMenu();
    if (menu) {
        menu->view()->setUserInteractionEnabled(false);
        menu->view()->setHidden(false);
    }
    if (auto d = delegate(); d && menu) d->sideBarControllerWillShowMenuViewController(*this, *menu);
}

void SideBarController::sideBarStyleDidShowMenuViewController() {
    currentState_ = SideBarState::Shown;
    auto menu = currentMenu();
    if (menu) menu->view()->setUserInteractionEnabled(true);
    if (auto d = delegate(); d && menu) d->sideBarControllerDidShowMenuViewController(*this, *menu);
}

void SideBarController::sideBarStyleWillHideMenuViewController() {
    currentState_ = SideBarState::WillHide;
    auto menu = currentMenu();
    if (menu) menu->view()->setUserInteractionEnabled(false);
    if (auto d = delegate(); d && menu) d->sideBarControllerWillHideMenuViewController(*this, *menu);
}

void SideBarController::sideBarStyleDidHideMenuViewController() {
    currentState_ = SideBarState::Hidden;
    currentStyle_.reset();
    if (content_) content_->view()->setUserInteractionEnabled(true);
    auto menu = currentMenu();
    if (menu) {
        menu->view()->setUserInteractionEnabled(false);
        menu->view()->setHidden(true);
    }
    if (auto d = delegate(); d && menu) d->sideBarControllerDidHideMenuViewController(*this, *menu);
}
