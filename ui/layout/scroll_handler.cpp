// Scroll events from scroll callbacks.
#include "ui/layout/scroll_handler.h"

#include "platform/ui/control/ui_scroll_view.h"

void ScrollHandler::scrollViewDidScroll(const UIScrollView& scrollView) {
    if (auto d = delegate()) d->onScrollHandlerStarted(*this);
    const CGFloat remaining =
        scrollView.contentSize().height - (scrollView.contentOffset().y + scrollView.bounds().size.height);
    if (remaining < kNearEnd) {
        if (auto d = delegate()) d->onScrollHandlerReachingEnd(*this);
    }
    restartTimer();
}

void ScrollHandler::restartTimer() {
    timer_.restart(kQuietPeriod, weakBind(self<ScrollHandler>(), &ScrollHandler::onTimer));
}

void ScrollHandler::onTimer() {
    resetTimer();
    if (auto d = delegate()) d->onScrollHandlerStopped(*this);
}
