// Sender rectangles and moves of the anchored pop-ups.
#include "ui/popup/pop_sender_view.h"

#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/view/ui_view.h"
#include "ui/layout/view_custom_hierarchy.h"

namespace {
constexpr CGFloat kEdgeMargin = 15;
}

CGRect PopSenderView::calcSenderRect() const {
    auto root = rootView();
    if (!root) return {};
    auto v = last();
    if (!v) v = root;
    CGRect r = v->bounds();
    if (auto inner = dynamic_cast<PopSenderViewInnerFrameDelegate*>(v.get()))
        r = inner->onPopSenderViewGetInnerFrame(*this);
    return v->convertRectToView(r, root);
}

void PopSenderView::track(const std::shared_ptr<NSObject>& sender) {
    last_ = trackSender(sender, vc());
}

void PopSenderView::moveToCrt() {
    setContainerRect(crt_);
    updateContainerConstants();
    container()->layoutIfNeeded();
}

void PopSenderView::applyLayout(bool animated) {
    if (!animated) return moveToCrt();
    std::weak_ptr<PopSenderView> weak = self<PopSenderView>();
    UIViewAnimation::animate(kAnimDuration, [weak] {
        if (auto s = weak.lock()) {
            s->moveToCrt();
            if (auto root = s->rootView()) root->layoutIfNeeded();
        }
    });
}

CGFloat PopSenderView::shiftLR(CGFloat left, CGFloat right, CGRect f) {
    if (f.origin.x + kEdgeMargin > left) return f.origin.x + kEdgeMargin - left;
    if (f.origin.x + f.size.width - kEdgeMargin < right) return f.origin.x + f.size.width - kEdgeMargin - right;
    return 0;
}
