// Converting link attributes, and the label's settings as attributes.
#include "widgets/rich_label/rich_label_attributes.h"

#include <array>
#include <utility>

#include "platform/ui/text/paragraph_style.h"
#include "widgets/rich_label/rich_label.h"

NSAttributes RichLinkAttributesForCoreText(const NSAttributes& attributes) {
    static const std::array<std::pair<const char*, const char*>, 9> renames = {{
        {NSFontAttributeName, kCTFontAttributeName},
        {NSBackgroundColorAttributeName, kRichBackgroundFillColorAttributeName},
        {NSForegroundColorAttributeName, kCTForegroundColorAttributeName},
        {NSUnderlineColorAttributeName, kCTUnderlineColorAttributeName},
        {NSUnderlineStyleAttributeName, kCTUnderlineStyleAttributeName},
        {NSStrokeWidthAttributeName, kCTStrokeWidthAttributeName},
        {NSStrokeColorAttributeName, kCTStrokeColorAttributeName},
        {NSKernAttributeName, kCTKernAttributeName},
        {NSLigatureAttributeName, kCTLigatureAttributeName},
    }};
    NSAttributes converted;
    for (const auto& [key, value] : attributes) {
        std::string name = key;
        for (const auto& [from, to] : renames)
            if (key == from) name = to;
        converted.set(name, value);
    }
    return converted;
}

NSAttributes RichAttributesFromLabel(const RichLabel& label) {
    NSAttributes a;
    a.set(kCTFontAttributeName, label.font());
    a.set(kCTForegroundColorAttributeName, label.textColor());
    a.set(kCTKernAttributeName, label.kern());
    auto style = NSMutableParagraphStyle::make();
    style->alignment = label.textAlignment();
    style->lineSpacing = label.lineSpacing();
    CGFloat natural = label.font()->lineHeight() * label.lineHeightMultiple();
    style->minimumLineHeight = label.minimumLineHeight() > 0 ? label.minimumLineHeight() : natural;
    style->maximumLineHeight = label.maximumLineHeight() > 0 ? label.maximumLineHeight() : natural;
    style->lineHeightMultiple = label.lineHeightMultiple();
    style->firstLineHeadIndent = label.firstLineIndent();
    style->lineBreakMode = label.numberOfLines() == 1 ? label.lineBreakMode() : NSLineBreakMode::ByWordWrapping;
    a.set(kCTParagraphStyleAttributeName, style);
    return a;
}

CGFloat RichFlushFactor(NSTextAlignment alignment) {
    if (alignment == NSTextAlignment::Center) return 0.5;
    if (alignment == NSTextAlignment::Right) return 1.0;
    return 0;
}
