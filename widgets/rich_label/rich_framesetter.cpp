// Frames of the label's text.
#include "widgets/rich_label/rich_framesetter.h"

#include <cmath>
#include <optional>

#include "platform/ui/text/paragraph_style.h"

namespace {
std::optional<NSLineBreakMode> modeOf(const NSAttributedString& text) {
    if (text.length() == 0) return std::nullopt;
    auto style = text.attributeAtIndex(NSParagraphStyleAttributeName, 0).objectAs<NSParagraphStyle>();
    return style ? std::optional(style->lineBreakMode) : std::nullopt;
}

bool truncating(std::optional<NSLineBreakMode> mode) {
    return mode == NSLineBreakMode::ByTruncatingHead || mode == NSLineBreakMode::ByTruncatingTail ||
           mode == NSLineBreakMode::ByTruncatingMiddle;
}
}  // namespace

RichFramesetter::RichFramesetter(std::shared_ptr<const NSAttributedString> text)
    : text_(text ? std::move(text) : NSAttributedString::make()) {}

std::shared_ptr<const TextLayout> RichFramesetter::frame(NSRange range, CGSize size) const {
    range = NSIntersectionRange(range, {0, text_->length()});
    std::lock_guard lock(mutex_);
    if (last_ && range == lastRange_ && size == lastSize_) return last_;
    TextLayoutOptions options;
    options.width = size.width;
    options.height = size.height;
    options.alignment = NSTextAlignment::Left;
    // Text that truncates keeps each paragraph on one line, which the label then cuts.
    auto mode = modeOf(*text_);
    options.lineBreakMode = truncating(mode)                          ? NSLineBreakMode::ByClipping
                            : mode == NSLineBreakMode::ByCharWrapping ? NSLineBreakMode::ByCharWrapping
                                                                      : NSLineBreakMode::ByWordWrapping;
    auto whole = range.location == 0 && range.length == text_->length();
    last_ = std::make_shared<TextLayout>(whole ? *text_ : *text_->attributedSubstringFromRange(range), options);
    lastRange_ = range;
    lastSize_ = size;
    return last_;
}

CGSize RichFramesetter::suggestFrameSize(NSRange range, CGSize constraint) const {
    if (!truncating(modeOf(*text_))) return TextLayout::suggestedSize(*text_, range, constraint);
    constexpr CGFloat kUnwrapped = 1e5;
    CGSize size = TextLayout::suggestedSize(*text_, range, {kUnwrapped, constraint.height});
    return {std::min(size.width, std::ceil(constraint.width)), size.height};
}
