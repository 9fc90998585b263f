// String measuring and drawing on top of TextLayout.
#include "platform/ui/text/string_drawing.h"

#include <cmath>
#include <limits>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/text_layout.h"

namespace {

constexpr CGFloat kUnlimited = std::numeric_limits<CGFloat>::infinity();

// A size of zero (or less, or not finite) in a direction means no limit there.
CGFloat limit(CGFloat v) {
    return v > 0 && std::isfinite(v) ? v : kUnlimited;
}

TextLayoutOptions lineFragmentOptions(CGSize size, unsigned options) {
    TextLayoutOptions o;
    o.width = limit(size.width);
    o.height = limit(size.height);
    o.truncatesLastVisibleLine = options & NSStringDrawingTruncatesLastVisibleLine;
    return o;
}

TextLayoutOptions singleLine() {
    TextLayoutOptions o;
    o.maximumNumberOfLines = 1;
    return o;
}

}  // namespace

CGRect boundingRectWithSize(const NSAttributedString& text, CGSize size, unsigned options,
                            const NSStringDrawingContext*) {
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        TextLayout layout(text, lineFragmentOptions(size, options));
        return {CGPointZero, layout.size()};
    }
    // Without the line-fragment origin the text is one line whose origin is its baseline.
    TextLayout layout(text, singleLine());
    if (layout.lines().empty()) return CGRectZero;
    const TextLine& line = layout.lines().front();
    return {{0, -line.baseline}, {line.rect.size.width, line.rect.size.height}};
}

CGRect boundingRectWithSize(std::string_view text, CGSize size, unsigned options, const NSAttributes& attributes,
                            const NSStringDrawingContext* context) {
    return boundingRectWithSize(*NSAttributedString::make(std::string(text), attributes), size, options, context);
}

CGSize sizeWithAttributes(std::string_view text, const NSAttributes& attributes) {
    return attributedStringSize(*NSAttributedString::make(std::string(text), attributes));
}

CGSize attributedStringSize(const NSAttributedString& text) {
    return TextLayout(text, TextLayoutOptions{}).size();
}

void drawInRect(const NSAttributedString& text, const CGRect& rect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect r = CGRectStandardize(rect);
    TextLayoutOptions o;
    o.width = limit(r.size.width);
    o.height = limit(r.size.height);
    TextLayout(text, o).draw(*context, r.origin);
}

void drawInRect(std::string_view text, const CGRect& rect, const NSAttributes& attributes) {
    drawInRect(*NSAttributedString::make(std::string(text), attributes), rect);
}

void drawAtPoint(const NSAttributedString& text, CGPoint point) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    TextLayout(text, TextLayoutOptions{}).draw(*context, point);
}

void drawAtPoint(std::string_view text, CGPoint point, const NSAttributes& attributes) {
    drawAtPoint(*NSAttributedString::make(std::string(text), attributes), point);
}

void drawWithRect(const NSAttributedString& text, const CGRect& rect, unsigned options, const NSStringDrawingContext*) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    CGRect r = CGRectStandardize(rect);
    if (options & NSStringDrawingUsesLineFragmentOrigin) {
        TextLayout(text, lineFragmentOptions(r.size, options)).draw(*context, r.origin);
        return;
    }
    TextLayout layout(text, singleLine());
    if (layout.lines().empty()) return;
    layout.draw(*context, {r.origin.x, r.origin.y - layout.lines().front().baseline});
}
