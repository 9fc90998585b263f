// Scroll, refresh and text-view helpers.
#include "ui/layout/scroll_view_custom.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/ui/control/ui_refresh_control.h"
#include "platform/ui/control/ui_scroll_view.h"

namespace {
constexpr CGFloat kPullToRefresh = -60;

std::optional<UITextRange> wordAround(const UITextView& textView, UITextPosition position) {
    return textView.rangeEnclosingPosition(position, UITextGranularity::Word, UITextStorageDirection::Backward);
}
}  // namespace

void scrollToTop(UIScrollView& scrollView, bool animated) {
    scrollView.scrollRectToVisible(CGRectMake(0, 0, 1, 1), animated);
    scrollView.flashScrollIndicators();
}

void scrollToBottom(UIScrollView& scrollView, bool animated) {
    scrollView.scrollRectToVisible(CGRectMake(0, scrollView.contentSize().height - 1, 1, 1), animated);
    scrollView.flashScrollIndicators();
}

void flash(UIScrollView& scrollView) {
    scrollView.flashScrollIndicators();
}

bool isAlreadyTop(const UIScrollView& scrollView) {
    return scrollView.contentOffset().y <= 0;
}

bool isAlreadyBottom(const UIScrollView& scrollView) {
    return scrollView.contentSize().height - scrollView.frame().size.height <= scrollView.contentOffset().y;
}

void scrollViewDidScroll(UIRefreshControl& control, const UIScrollView& scrollView) {
    if (!Global::shared()->device()->isMac() || control.isRefreshing()) return;
    if (scrollView.contentOffset().y >= kPullToRefresh) return;
    control.beginRefreshing();
    control.sendActionsForControlEvents(UIControlEventValueChanged);
}

UITextPosition textPositionByPoint(const UITextView& textView, CGPoint point) {
    return textView.closestPositionToPoint(point);
}

std::int64_t textOffsetByPosition(const UITextView& textView, UITextPosition position) {
    return textView.offsetFromPosition(textView.beginningOfDocument(), position);
}

std::optional<NSRange> calcWordRangeByPosition(const UITextView& textView, UITextPosition position) {
    auto range = wordAround(textView, position);
    if (!range) return std::nullopt;
    const auto location = textOffsetByPosition(textView, range->start);
    const auto end = textOffsetByPosition(textView, range->end);
    return NSRange{static_cast<std::size_t>(location), static_cast<std::size_t>(end - location)};
}

std::optional<std::string> wordStringByPoint(const UITextView& textView, CGPoint point) {
    auto range = wordAround(textView, textView.closestPositionToPoint(point));
    if (!range) return std::nullopt;
    return textView.textInRange(*range);
}
