// Centred placement on the sender.
#include "ui/popup/pop_centered_view.h"

#include "platform/ui/view/ui_view.h"

void PopCenteredView::init() {
    PopSenderView::init();
    // Behind the screen's views until the first show brings it forward.
    sendToBack_bg();
    offsetCXCY_ = {};
}

void PopCenteredView::show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide) {
    track(sender);
    recalcLayout();
    PopView::show(crt(), std::move(completion), std::move(onDidHide));
}

void PopCenteredView::recalcLayout() {
    auto root = rootView();
    if (!root) return;
    const CGRect s = calcSenderRect();
    const CGSize sz = size();
    const CGFloat left = CGRectGetMidX(s) - sz.width / 2 + offsetCXCY_.x;
    const CGFloat shift = shiftLR(left, left + sz.width, root->frame());
    setCrt({{left + shift, CGRectGetMidY(s) - sz.height / 2 + offsetCXCY_.y}, sz});
}

void PopCenteredView::setAvoidView(const std::shared_ptr<UIView>& view) {
    if (avoid_.lock() == view) return;
    avoid_ = view;
    if (view) scheduledLayout();
}
