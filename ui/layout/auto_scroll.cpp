// Restoring a scroll position after a reload.
#include "ui/layout/auto_scroll.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/control/ui_scroll_view.h"

void AutoScroll::autoScroll0(const UIScrollView& scrollView) {
    lastContentOffset_ = scrollView.contentOffset();
    pending_ = true;
}

void AutoScroll::autoScroll1(const std::shared_ptr<UIScrollView>& scrollView) {
    if (!scrollView) return;
    auto me = self<AutoScroll>();
    RunLoop::main().performAfterDelay(kRestoreDelay, [me, scrollView] { me->autoScroll1Internal(*scrollView); });
}

void AutoScroll::autoScroll1Internal(UIScrollView& scrollView) {
    if (!pending_) return;
    scrollView.setContentOffset(lastContentOffset_, false);
    pending_ = false;
}
