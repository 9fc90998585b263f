// UIScrollRelay: sits between a table or collection view's own scroll view and the owner's
// delegate. Every offset change first lets the owner re-tile what is visible; then each scroll
// event is passed on to the delegate the owner has at that moment. Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/control/ui_scroll_view.h"

class UIScrollRelay final : public UIScrollViewDelegate {
public:
    using Retile = std::function<void()>;
    using Outer = std::function<std::shared_ptr<UIScrollViewDelegate>()>;

    UIScrollRelay(Retile retile, Outer outer) : retile_(std::move(retile)), outer_(std::move(outer)) {}

    void scrollViewDidScroll(UIScrollView& s) override;
    void scrollViewWillBeginDragging(UIScrollView& s) override;
    void scrollViewWillEndDragging(UIScrollView& s, CGPoint velocity, CGPoint* target) override;
    void scrollViewDidEndDragging(UIScrollView& s, bool decelerate) override;
    void scrollViewWillBeginDecelerating(UIScrollView& s) override;
    void scrollViewDidEndDecelerating(UIScrollView& s) override;
    void scrollViewDidEndScrollingAnimation(UIScrollView& s) override;
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView& s) override;
    void scrollViewWillBeginZooming(UIScrollView& s, const std::shared_ptr<UIView>& view) override;
    void scrollViewDidZoom(UIScrollView& s) override;
    void scrollViewDidEndZooming(UIScrollView& s, const std::shared_ptr<UIView>& view, CGFloat scale) override;
    std::optional<bool> scrollViewShouldScrollToTop(UIScrollView& s) override;
    void scrollViewDidScrollToTop(UIScrollView& s) override;

private:
    Retile retile_;
    Outer outer_;
};
