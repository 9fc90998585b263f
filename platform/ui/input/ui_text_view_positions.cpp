// Text positions of the text view: hit testing a point against the laid-out text, words around a
// position, and the caret.
#include <algorithm>

#include "platform/runtime/utf16.h"
#include "platform/text/text_breaks.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/input/ui_text_view.h"
#include "platform/ui/text/text_layout.h"

UITextPosition UITextView::endOfDocument() const {
    return {utf16Length(text_)};
}

UITextPosition UITextView::closestPositionToPoint(CGPoint point) const {
    const CGFloat width = std::max<CGFloat>(1, bounds().size.width - inset_.left - inset_.right);
    auto text = NSAttributedString::make(text_, labelAttributes(font_, nullptr));
    TextLayoutOptions options;
    options.width = width;
    TextLayout layout(*text, options);
    const CGSize size = layout.size();
    // Points outside the text are moved onto its nearest edge first.
    CGPoint p{std::clamp<CGFloat>(point.x - inset_.left, 0, std::max<CGFloat>(0, size.width - 0.5)),
              std::clamp<CGFloat>(point.y - inset_.top, 0, std::max<CGFloat>(0, size.height - 0.5))};
    if (point.y - inset_.top >= size.height) return endOfDocument();
    auto index = layout.characterIndexAtPoint(p);
    return index ? UITextPosition{std::min(*index, endOfDocument().offset)} : endOfDocument();
}

std::int64_t UITextView::offsetFromPosition(UITextPosition from, UITextPosition to) const {
    return static_cast<std::int64_t>(to.offset) - static_cast<std::int64_t>(from.offset);
}

std::string UITextView::textInRange(UITextRange range) const {
    const std::u16string all = toUtf16(text_);
    const std::size_t start = std::min(range.start.offset, all.size());
    const std::size_t end = std::clamp(range.end.offset, start, all.size());
    return fromUtf16(std::u16string_view(all).substr(start, end - start));
}

std::optional<UITextRange> UITextView::rangeEnclosingPosition(UITextPosition position, UITextGranularity granularity,
                                                              UITextStorageDirection direction) const {
    if (granularity == UITextGranularity::Document) return UITextRange{beginningOfDocument(), endOfDocument()};
    if (granularity != UITextGranularity::Word) return std::nullopt;
    const std::size_t p = position.offset;
    const auto words = wordRanges(toUtf16(text_));
    // Backward: the word holding the character before the position; forward: the one after it.
    auto holding = [&](bool before) -> std::optional<UITextRange> {
        for (const NSRange& w : words) {
            const std::size_t end = w.location + w.length;
            if (before ? (w.location < p && p <= end) : (w.location <= p && p < end))
                return UITextRange{{w.location}, {end}};
        }
        return std::nullopt;
    };
    const bool backward = direction == UITextStorageDirection::Backward;
    if (auto found = holding(backward)) return found;
    return holding(!backward);
}

CGRect UITextView::caretRect() const {
    const CGFloat line = font_->lineHeight();
    const std::size_t length = utf16Length(text_);
    if (length == 0) return CGRectMake(inset_.left, inset_.top, 2, line);
    const CGFloat width = std::max<CGFloat>(1, bounds().size.width - inset_.left - inset_.right);
    auto text = NSAttributedString::make(text_, labelAttributes(font_, nullptr));
    // After a line break the caret starts the next line, below the text before the break.
    if (text_.back() == '\n') {
        CGFloat above =
            length > 1 ? CGRectGetMaxY(TextLayout::boundingRectForCharacterRange(*text, {0, length - 1}, {width, 1e7}))
                       : line;
        return CGRectMake(inset_.left, inset_.top + above, 2, line);
    }
    CGRect last = TextLayout::boundingRectForCharacterRange(*text, {length - 1, 1}, {width, 1e7});
    return CGRectMake(inset_.left + CGRectGetMaxX(last), inset_.top + last.origin.y, 2, line);
}
