// The scroll relay of table and collection views.
#include "platform/ui/table/ui_scroll_relay.h"

void UIScrollRelay::scrollViewDidScroll(UIScrollView& s) {
    if (retile_) retile_();
    if (auto d = outer_()) d->scrollViewDidScroll(s);
}

void UIScrollRelay::scrollViewWillBeginDragging(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewWillBeginDragging(s);
}

void UIScrollRelay::scrollViewWillEndDragging(UIScrollView& s, CGPoint velocity, CGPoint* target) {
    if (auto d = outer_()) d->scrollViewWillEndDragging(s, velocity, target);
}

void UIScrollRelay::scrollViewDidEndDragging(UIScrollView& s, bool decelerate) {
    if (auto d = outer_()) d->scrollViewDidEndDragging(s, decelerate);
}

void UIScrollRelay::scrollViewWillBeginDecelerating(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewWillBeginDecelerating(s);
}

void UIScrollRelay::scrollViewDidEndDecelerating(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewDidEndDecelerating(s);
}

void UIScrollRelay::scrollViewDidEndScrollingAnimation(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewDidEndScrollingAnimation(s);
}

std::shared_ptr<UIView> UIScrollRelay::viewForZoomingInScrollView(UIScrollView& s) {
    auto d = outer_();
    return d ? d->viewForZoomingInScrollView(s) : nullptr;
}

void UIScrollRelay::scrollViewWillBeginZooming(UIScrollView& s, const std::shared_ptr<UIView>& view) {
    if (auto d = outer_()) d->scrollViewWillBeginZooming(s, view);
}

void UIScrollRelay::scrollViewDidZoom(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewDidZoom(s);
}

void UIScrollRelay::scrollViewDidEndZooming(UIScrollView& s, const std::shared_ptr<UIView>& view, CGFloat scale) {
    if (auto d = outer_()) d->scrollViewDidEndZooming(s, view, scale);
}

std::optional<bool> UIScrollRelay::scrollViewShouldScrollToTop(UIScrollView& s) {
    if (auto d = outer_()) return d->scrollViewShouldScrollToTop(s);
    return std::nullopt;
}

void UIScrollRelay::scrollViewDidScrollToTop(UIScrollView& s) {
    if (auto d = outer_()) d->scrollViewDidScrollToTop(s);
}
