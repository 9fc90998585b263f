// Split view controller: two child panes side by side.
#include "platform/ui/controller/ui_split_view_controller.h"

#include <algorithm>

void UISplitViewController::setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers) {
    if (controllers.size() > 2) controllers.resize(2);
    for (auto& old : panes_) {
        if (std::find(controllers.begin(), controllers.end(), old) != controllers.end()) continue;
        old->willMoveToParentViewController(nullptr);
        if (auto v = old->viewIfLoaded()) v->removeFromSuperview();
        old->removeFromParentViewController();
    }
    auto me = self<UISplitViewController>();
    for (auto& c : controllers) {
        if (!c || c->parentViewController() == me) continue;
        addChildViewController(c);
        if (isViewLoaded()) view()->addSubview(c->view());
        c->didMoveToParentViewController(me);
    }
    panes_ = std::move(controllers);
    if (isViewLoaded()) view()->setNeedsLayout();
}

void UISplitViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    for (auto& c : panes_) view()->addSubview(c->view());
}

void UISplitViewController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    const CGRect b = view()->bounds();
    const CGFloat primary = panes_.size() > 1 ? std::min(kPrimaryColumnWidth, b.size.width / 2) : b.size.width;
    if (!panes_.empty()) panes_[0]->view()->setFrame(CGRectMake(0, 0, primary, b.size.height));
    if (panes_.size() > 1) panes_[1]->view()->setFrame(CGRectMake(primary, 0, b.size.width - primary, b.size.height));
}
