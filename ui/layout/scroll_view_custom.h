// Scrolling helpers: to the ends of a list, where it stands, pull-to-refresh where the platform
// does not start it, and words in a text view. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/range.h"
#include "platform/ui/input/ui_text_view.h"

class UIScrollView;
class UIRefreshControl;

void scrollToTop(UIScrollView& scrollView, bool animated);
void scrollToBottom(UIScrollView& scrollView, bool animated);
void flash(UIScrollView& scrollView);
bool isAlreadyTop(const UIScrollView& scrollView);
// Also for content shorter than the view.
bool isAlreadyBottom(const UIScrollView& scrollView);

// On a Mac only: a pull past 60 points starts the refresh and reports a value change.
void scrollViewDidScroll(UIRefreshControl& control, const UIScrollView& scrollView);

UITextPosition textPositionByPoint(const UITextView& textView, CGPoint point);
std::int64_t textOffsetByPosition(const UITextView& textView, UITextPosition position);
// The word around the position, looking backward; none when there is no word there.
std::optional<NSRange> calcWordRangeByPosition(const UITextView& textView, UITextPosition position);
std::optional<std::string> wordStringByPoint(const UITextView& textView, CGPoint point);
