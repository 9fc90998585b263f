// The filter strip's thumbnails: which tiles are on screen, the adaptive redraw timer, and the
// scroll check that holds redraws back until a scroll has settled.
#include <cmath>

#include "editor/browser/filter_list_view.h"
#include "editor/browser/filter_strip_geometry.h"
#include "platform/dispatch/clock.h"

void FilterListView::updateVisibleIndices() {
    visibleItem0_ = visibleItem1_ = -1;
    const std::size_t n = std::min(keys_.size(), loadedItems_.size());
    if (n == 0) return;
    std::vector<CGRect> frames;
    frames.reserve(n);
    for (std::size_t i = 0; i < n; ++i) frames.push_back(loadedItems_[i]->frame());
    CGRect s = scroll()->frame();
    auto range =
        filter_strip::visibleRange(frames, scroll()->contentOffset().x, s.origin.x, s.size.width, itemSize_.width);
    visibleItem0_ = range.first;
    visibleItem1_ = range.last;
}

bool FilterListView::isAnyItemVisible() const {
    return !isHidden() && visibleItem0_ != -1 && visibleItem1_ != -1;
}

void FilterListView::drawRefiltered() {
    if (scrollItemScrolling_) return;
    updateVisibleIndices();
    if (!isAnyItemVisible()) return;
    const long count = long(keys_.size());
    const long first = std::min(visibleItem0_, count - 1);
    const long last = std::min(visibleItem1_, count - 1);
    auto keep = self<FilterListView>();  // a host callback may drop the strip's last owner
    for (long i = 0; i < long(loadedItems_.size()); ++i) {
        if (i >= first && i <= last)
            loadedItems_[std::size_t(i)]->drawRefiltered();
        else
            loadedItems_[std::size_t(i)]->resetLastImage();
    }
}

// ---- the redraw timer ----

void FilterListView::startUpdateTimer() {
    timerPeriod_ = filter_strip::kMinPeriod;
    restartTimerDraw();
}

void FilterListView::stopUpdateTimer() {
    resetTimerDraw();
}

void FilterListView::restartTimerDraw() {
    timerDraw_.restart(timerPeriod_, weakBind(self<FilterListView>(), &FilterListView::onTimerDraw));
}

void FilterListView::onTimerDraw() {
    double start = CACurrentMediaTime();
    drawRefiltered();
    double elapsed = CACurrentMediaTime() - start;
    if (!timerDraw_.running()) return;  // stopped while drawing
    if (auto period = filter_strip::nextRedrawPeriod(elapsed, timerPeriod_)) {
        timerPeriod_ = *period;
        restartTimerDraw();
    }
}

// ---- the scroll check ----

void FilterListView::scrollViewWillBeginDragging(UIScrollView&) {
    if (scrollItemScrolling_) return;
    scrollItemScrolling_ = true;
    scrollItemLastContentOffset_ = scroll()->contentOffset().x;
    restartTimerScrollCheck();
}

void FilterListView::restartTimerScrollCheck() {
    timerScrollCheck_.restart(kScrollCheckPeriod,
                              weakBind(self<FilterListView>(), &FilterListView::onTimerScrollCheck));
}

void FilterListView::onTimerScrollCheck() {
    if (scrollItemScrolling_) {
        CGFloat x = scroll()->contentOffset().x;
        if (std::abs(x - scrollItemLastContentOffset_) < kSettledDistance) {
            scrollItemScrolling_ = false;
            drawRefiltered();
        } else {
            scrollItemLastContentOffset_ = x;
        }
    }
    if (!scrollItemScrolling_) resetTimerScrollCheck();
}
