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
    CGRect rect;          // from the layout's top-left, in points
    CGFloat baseline = 0; // y of the baseline
    NSRange range;        // in UTF-16 units of the string
};

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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
