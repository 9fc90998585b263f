// RichFramesetter: an attributed text ready to be laid out in rectangles, the label's framesetter.
// Frames wrap at words (or characters, when the text asks for that; text that truncates keeps each
// paragraph on one line, for the label to cut), keep every line flush left (the label places lines
// itself) and drop lines below the rectangle. The last frame made is kept,
// so that layout, hit testing and drawing at one size share it.
#pragma once

#include <memory>
#include <mutex>

#include "platform/ui/text/text_layout.h"

class RichFramesetter {
public:
    explicit RichFramesetter(std::shared_ptr<const NSAttributedString> text);

    const NSAttributedString& text() const { return *text_; }
    // The lines of a range of the text (clamped to it) laid out in a rectangle of the size.
    std::shared_ptr<const TextLayout> frame(NSRange range, CGSize size) const;
    // The size a range (clamped to the text) takes within the constraint, each dimension rounded up.
    CGSize suggestFrameSize(NSRange range, CGSize constraint) const;

private:
    std::shared_ptr<const NSAttributedString> text_;
    mutable std::mutex mutex_;
    mutable NSRange lastRange_{};
    mutable CGSize lastSize_{};
    mutable std::shared_ptr<const TextLayout> last_;
};
