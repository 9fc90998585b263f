// Hosting a child controller in an arrowed pop-up.
#include "ui/popup/pop_vc_view.h"

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/controller/ui_view_controller_orientation.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"

const std::shared_ptr<UIView>& PopVCView::body() {
    if (!body_) body_ = UIView::make();
    return body_;
}

void PopVCView::removeChild0() {
    auto c = child();
    if (c && c->parentViewController()) removeChild(c);
    child_.reset();
}

void PopVCView::attach(const std::shared_ptr<UIViewController>& c) {
    if (c->parentViewController()) removeChild(c);
    auto owner = vc();
    if (c->parentViewController() || !owner) return;
    addChild(owner, c, body());
    addConstraintsFull(c->view(), body(), kChildInset, kChildInset, -kChildInset, -kChildInset);
}

void PopVCView::show(const std::shared_ptr<NSObject>& sender, const std::shared_ptr<UIViewController>& c,
                     Callback completion, Callback onDidHide) {
    removeChild0();
    if (c) adopt(c);
    PopArrowedView::show(sender, std::move(completion), std::move(onDidHide));
}

void PopVCView::hide(Callback completion) {
    std::weak_ptr<PopVCView> weak = self<PopVCView>();
    PopArrowedView::hide([weak, showsAtHide = showCount(), completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        // A show that came during the shrink has attached its child already; leave it there.
        if (s->showCount() == showsAtHide) s->removeChild0();
        if (completion) completion();
    });
}

void PopVCView::applyLayout(bool animated) {
    PopArrowedView::applyLayout(animated);
    auto c = child();
    auto owner = vc();
    if (c && owner) c->didRotateFromInterfaceOrientation(interfaceOrientation(*owner));
}
