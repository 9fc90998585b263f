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
    resetTimer();
    std::weak_ptr<ScrollHandler> weakSelf = self<ScrollHandler>();
    timer_ = NSTimer::scheduledTimer(kQuietPeriod, false, [weakSelf](const std::shared_ptr<NSTimer>& t) {
        if (auto strong = weakSelf.lock()) strong->onTimer(t);
    });
}

void ScrollHandler::resetTimer() {
    if (!timer_) return;
    timer_->invalidate();
    timer_.reset();
}

void ScrollHandler::onTimer(const std::shared_ptr<NSTimer>&) {
    resetTimer();
    if (auto d = delegate()) d->onScrollHandlerStopped(*this);
}
