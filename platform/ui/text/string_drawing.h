// Measuring and drawing strings and attributed strings in the current graphics context.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/geometry.h"
#include "platform/ui/text/attributed_string.h"

enum NSStringDrawingOptions : unsigned {
    NSStringDrawingUsesLineFragmentOrigin = 1 << 0,
    NSStringDrawingUsesFontLeading = 1 << 1,
    NSStringDrawingUsesDeviceMetrics = 1 << 3,
    NSStringDrawingTruncatesLastVisibleLine = 1 << 5,
};

// Accepted for the platform's signature; measuring never scales text, so it is left untouched.
struct NSStringDrawingContext {
    CGFloat minimumScaleFactor = 0;
};

// The rectangle the text occupies when laid out within `size`. With the line-fragment-origin
// option the text wraps in lines from the top-left (origin 0, 0); without it the text is one line
// measured from its baseline (origin y is minus the ascent). Not rounded.
CGRect boundingRectWithSize(const NSAttributedString& text, CGSize size, unsigned options,
                            const NSStringDrawingContext* context = nullptr);
CGRect boundingRectWithSize(std::string_view text, CGSize size, unsigned options, const NSAttributes& attributes,
                            const NSStringDrawingContext* context = nullptr);

// The size of the text on unlimited lines (one line per paragraph).
CGSize sizeWithAttributes(std::string_view text, const NSAttributes& attributes);
CGSize attributedStringSize(const NSAttributedString& text);

// Drawing in the current context (nothing without one). drawInRect wraps within the rectangle's
// width and stops at its bottom; drawAtPoint draws one line per paragraph from the point.
void drawInRect(const NSAttributedString& text, const CGRect& rect);
void drawInRect(std::string_view text, const CGRect& rect, const NSAttributes& attributes);
void drawAtPoint(const NSAttributedString& text, CGPoint point);
void drawAtPoint(std::string_view text, CGPoint point, const NSAttributes& attributes);
void drawWithRect(const NSAttributedString& text, const CGRect& rect, unsigned options,
                  const NSStringDrawingContext* context = nullptr);
