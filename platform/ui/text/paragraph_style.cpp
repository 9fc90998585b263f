// Paragraph style copies and value equality.
#include "platform/ui/text/paragraph_style.h"

std::shared_ptr<NSParagraphStyle> NSParagraphStyle::copy() const {
    auto style = make();
    style->alignment = alignment;
    style->lineBreakMode = lineBreakMode;
    style->lineSpacing = lineSpacing;
    style->firstLineHeadIndent = firstLineHeadIndent;
    style->minimumLineHeight = minimumLineHeight;
    style->maximumLineHeight = maximumLineHeight;
    style->lineHeightMultiple = lineHeightMultiple;
    return style;
}

bool NSParagraphStyle::isEqual(const NSObject& other) const {
    auto* o = dynamic_cast<const NSParagraphStyle*>(&other);
    return o && o->alignment == alignment && o->lineBreakMode == lineBreakMode && o->lineSpacing == lineSpacing &&
           o->firstLineHeadIndent == firstLineHeadIndent && o->minimumLineHeight == minimumLineHeight &&
           o->maximumLineHeight == maximumLineHeight && o->lineHeightMultiple == lineHeightMultiple;
}
