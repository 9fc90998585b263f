// Tab bar controller: children, selection with appearance, layout over the tab bar.
#include "platform/ui/controller/ui_tab_bar_controller.h"

#include <algorithm>

#include "platform/ui/controller/controller_view.h"

std::shared_ptr<UITabBar> UITabBarController::tabBar() {
    if (!tabBar_) {
        tabBar_ = UITabBar::make(CGRectMake(0, 0, 320, UITabBar::kHeight));
        tabBar_->setDelegate(std::static_pointer_cast<UITabBarDelegate>(self<UITabBarController>()));
    }
    return tabBar_;
}

void UITabBarController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers, bool) {
    auto keep = selectedViewController();
    auto me = self<UITabBarController>();
    std::vector<std::shared_ptr<UIViewController>> next;
    for (auto& c : controllers) {
        if (!c || c.get() == this || std::find(next.begin(), next.end(), c) != next.end()) continue;
        if (c->parentViewController() && c->parentViewController() != me) continue;
        if (c->presentingViewController()) continue;
        next.push_back(c);
    }
    for (auto& c : children_) {
        if (std::find(next.begin(), next.end(), c) != next.end()) continue;
        if (c == shown_) {
            ManagedAppearance managed;
            bool visible = appearanceState() == UIAppearanceState::Appeared;
            if (visible) c->beginAppearanceTransition(false, false);
            c->viewIfLoaded()->removeFromSuperview();
            if (visible) c->endAppearanceTransition();
            shown_.reset();
        }
        c->willMoveToParentViewController(nullptr);
        c->removeFromParentViewController();
    }
    for (auto& c : next) {
        if (c->parentViewController() == me) continue;
        addChildViewController(c);
        c->didMoveToParentViewController(me);
    }
    children_ = next;
    std::vector<std::shared_ptr<UITabBarItem>> items;
    for (auto& c : children_) items.push_back(c->tabBarItem());
    tabBar()->setItems(items);
    auto it = std::find(children_.begin(), children_.end(), keep);
    selected_ = it != children_.end() ? static_cast<std::size_t>(it - children_.begin()) : 0;
    if (!children_.empty()) show(selected_);
}

std::shared_ptr<UIViewController> UITabBarController::selectedViewController() const {
    return selected_ < children_.size() ? children_[selected_] : nullptr;
}

void UITabBarController::setSelectedIndex(std::size_t index) {
    if (index >= children_.size()) return;
    selected_ = index;
    show(index);
}

void UITabBarController::setSelectedViewController(const std::shared_ptr<UIViewController>& controller) {
    auto it = std::find(children_.begin(), children_.end(), controller);
    if (it != children_.end()) setSelectedIndex(static_cast<std::size_t>(it - children_.begin()));
}

void UITabBarController::didSelectItem(UITabBar&, const std::shared_ptr<UITabBarItem>& item) {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i]->tabBarItem() != item) continue;
        auto me = self<UITabBarController>();
        if (auto d = delegate(); d && !d->shouldSelectViewController(*me, children_[i])) {
            tabBar()->setSelectedItem(children_[selected_]->tabBarItem());
            return;
        }
        setSelectedIndex(i);
        if (auto d = delegate()) d->didSelectViewController(*me, children_[i]);
        return;
    }
}

void UITabBarController::show(std::size_t index) {
    auto to = children_[index];
    tabBar()->setSelectedItem(to->tabBarItem());
    if (!content_ || to == shown_) return;
    bool visible =
        appearanceState() == UIAppearanceState::Appeared || appearanceState() == UIAppearanceState::Appearing;
    auto from = shown_;
    ManagedAppearance managed;
    to->loadViewIfNeeded();
    if (visible && from) from->beginAppearanceTransition(false, false);
    if (visible) to->beginAppearanceTransition(true, false);
    to->view()->setFrame(content_->bounds());
    content_->addSubview(to->view());
    if (from) from->viewIfLoaded()->removeFromSuperview();
    shown_ = to;
    if (visible && from) from->endAppearanceTransition();
    if (visible) to->endAppearanceTransition();
}

void UITabBarController::loadView() {
    auto root = ControllerView::make(UIScreen::mainScreen()->bounds());
    root->setBackgroundColor(UIColor::systemBackgroundColor());
    setView(root);
    content_ = UIView::make(root->bounds());
    root->addSubview(content_);
    root->addSubview(tabBar());
    if (!children_.empty()) show(selected_);
}

void UITabBarController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    auto root = viewIfLoaded();
    if (!root) return;
    CGRect b = root->bounds();
    CGFloat bottom = root->safeAreaInsets().bottom;
    CGFloat barTop = b.size.height - bottom - UITabBar::kHeight;
    tabBar_->setFrame(CGRectMake(0, barTop, b.size.width, UITabBar::kHeight + bottom));
    content_->setFrame(CGRectMake(0, 0, b.size.width, barTop));
    if (shown_) shown_->view()->setFrame(content_->bounds());
}

bool UITabBarController::shouldAutorotate() const {
    auto c = selectedViewController();
    return c ? c->shouldAutorotate() : UIViewController::shouldAutorotate();
}

UIInterfaceOrientationMask UITabBarController::supportedInterfaceOrientations() const {
    auto c = selectedViewController();
    return c ? c->supportedInterfaceOrientations() : UIViewController::supportedInterfaceOrientations();
}
