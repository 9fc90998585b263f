// Page dots: paging by tap, sizing and drawing.
#include "platform/ui/control/ui_page_control.h"

#include <algorithm>

#include "platform/ui/draw/graphics.h"

namespace {
constexpr CGFloat kDot = 7;
constexpr CGFloat kPitch = 16;
}  // namespace

void UIPageControl::setNumberOfPages(long n) {
    pages_ = std::max(n, 0L);
    current_ = std::clamp(current_, 0L, std::max(pages_ - 1, 0L));
    invalidateIntrinsicContentSize();
    updateVisibility();
    setNeedsDisplay();
}

void UIPageControl::setCurrentPage(long page) {
    current_ = std::clamp(page, 0L, std::max(pages_ - 1, 0L));
    setNeedsDisplay();
}

void UIPageControl::setHidesForSinglePage(bool h) {
    hidesForSinglePage_ = h;
    updateVisibility();
}

void UIPageControl::updateVisibility() {
    if (hidesForSinglePage_) setHidden(pages_ <= 1);
}

void UIPageControl::setPageIndicatorTintColor(std::shared_ptr<UIColor> c) {
    dotTint_ = std::move(c);
    setNeedsDisplay();
}

void UIPageControl::setCurrentPageIndicatorTintColor(std::shared_ptr<UIColor> c) {
    currentTint_ = std::move(c);
    setNeedsDisplay();
}

CGSize UIPageControl::sizeForNumberOfPages(long pages) const {
    if (pages <= 0) return {0, 0};
    return {CGFloat(pages) * kPitch + 20, 26};
}

void UIPageControl::endTrackingWithTouch(const UITouch* touch, const UIEvent*) {
    if (!touch || pages_ <= 1) return;
    auto me = std::static_pointer_cast<UIView>(shared_from_this());
    CGPoint p = touch->locationInView(me);
    if (!CGRectContainsPoint(bounds(), p)) return;
    CGRect b = bounds();
    CGFloat x0 = CGRectGetMidX(b) - CGFloat(pages_) * kPitch / 2;
    CGFloat currentX = x0 + (CGFloat(current_) + 0.5) * kPitch;
    long next = p.x < currentX ? current_ - 1 : current_ + 1;
    if (next < 0 || next >= pages_) return;
    current_ = next;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

void UIPageControl::drawRect(CGRect) {
    CGContext* c = UIGraphicsGetCurrentContext();
    if (!c || pages_ <= 0) return;
    CGRect b = bounds();
    CGFloat x0 = CGRectGetMidX(b) - CGFloat(pages_) * kPitch / 2;
    auto dot = dotTint_ ? dotTint_ : UIColor::colorWithWhite(1, 0.35);
    auto current = currentTint_ ? currentTint_ : UIColor::whiteColor();
    for (long i = 0; i < pages_; ++i) {
        c->setFillColorWithColor((i == current_ ? current : dot)->cgColor());
        CGFloat cx = x0 + (CGFloat(i) + 0.5) * kPitch;
        c->fillEllipseInRect({{cx - kDot / 2, CGRectGetMidY(b) - kDot / 2}, {kDot, kDot}});
    }
}
