// TextLayout: an attributed string laid out in lines by Pango for measuring and drawing, with the
// platform's line breaking, truncation and line limits.
#pragma once

#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/range.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"

class CGContext;

struct TextLayoutOptions {
    // Lines wrap at this width; infinity lays each paragraph out on one line.
    CGFloat width = std::numeric_limits<CGFloat>::infinity();
    // Lines whose bottom falls below this are dropped; the first line is always kept.
    CGFloat height = std::numeric_limits<CGFloat>::infinity();
    int maximumNumberOfLines = 0;  // 0: no limit
    // Overrides the paragraph style's mode and alignment when set.
    std::optional<NSLineBreakMode> lineBreakMode;
    std::optional<NSTextAlignment> alignment;
    // Labels wrap even with a truncating or clipping mode and apply it to the last visible line;
    // string drawing instead keeps each paragraph of such text on one line.
    bool truncatingModesWrap = false;
    // Truncate the last visible line with an ellipsis when text was left out (word wrap too).
    bool truncatesLastVisibleLine = false;
};

struct TextLine {
    CGRect rect;           // from the layout's top-left, in points
    CGFloat baseline = 0;  // y of the baseline
    NSRange range;         // in UTF-16 units of the string

    CGFloat ascent() const { return baseline - rect.origin.y; }
    CGFloat descent() const { return CGRectGetMaxY(rect) - baseline; }
};

// A stretch of a line with one set of attributes (a glyph run split where the attributes change).
struct TextRun {
    NSRange range;  // in UTF-16 units of the string
    NSAttributes attributes;
    CGFloat x = 0;  // from the line's start
    CGFloat width = 0;
    CGFloat ascent = 0, descent = 0;  // of the run's font, moved with a super- or subscript
    bool rightToLeft = false;
};

enum class TextTruncation { Start, Middle, End };

// Owns its Pango objects; usable from any thread (Pango calls are serialised inside).
class TextLayout {
public:
    TextLayout(const NSAttributedString& text, const TextLayoutOptions& options);
    ~TextLayout();
    TextLayout(TextLayout&&) noexcept;
    TextLayout& operator=(TextLayout&&) noexcept;

    // Width of the widest visible line and height down to the last visible line's bottom.
    CGSize size() const;
    const std::vector<TextLine>& lines() const;
    std::size_t lineCount() const { return lines().size(); }
    // Text was left out or shortened with an ellipsis.
    bool isTruncated() const;

    // Draws the visible lines with the layout's top-left at `origin` in the context's user space,
    // aligned within options.width when that is finite.
    void draw(CGContext& context, CGPoint origin) const;

    // The UTF-16 index of the character under a point relative to the layout's top-left; none
    // outside every visible line.
    std::optional<std::size_t> characterIndexAtPoint(CGPoint point) const;

    // ---- single lines (indices into lines()) ----
    // The line's runs in visual order.
    std::vector<TextRun> runsOfLine(std::size_t line) const;
    // The x of a character's leading edge from the line's start.
    CGFloat offsetForCharacterIndex(std::size_t line, std::size_t index) const;
    // The character nearest to x (from the line's start); none for a line index past the end.
    std::optional<std::size_t> characterIndexForOffset(std::size_t line, CGFloat x) const;
    // Where the line starts when flushed within a width: 0 left, 0.5 centre, 1 right.
    CGFloat penOffsetForFlush(std::size_t line, CGFloat flush, CGFloat width) const;
    // Draws one line with its baseline's start at `position`.
    void drawLine(CGContext& context, std::size_t line, CGPoint position) const;

    // One line of text cut to a width with a token (the caller's, with its own attributes) at its
    // start, middle or end. Text that fits comes back whole; none when not even the token fits.
    static std::optional<TextLayout> truncatedLine(const NSAttributedString& text, CGFloat width,
                                                   TextTruncation truncation, const NSAttributedString& token);
    // The size a range of the text takes laid out within a constraint (wrapping at its width,
    // lines below its height dropped) and a line limit (0: none); each dimension rounded up.
    static CGSize suggestedSize(const NSAttributedString& text, NSRange range, CGSize constraint,
                                int maximumNumberOfLines = 0);
    // The rectangle a range of characters covers in the text laid out in a container of the size
    // (from the container's top-left); zero for a range outside the laid-out text.
    static CGRect boundingRectForCharacterRange(const NSAttributedString& text, NSRange range, CGSize container);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
