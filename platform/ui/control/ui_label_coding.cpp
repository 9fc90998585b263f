// The label's fields in keyed archives.
#include <cmath>

#include "platform/storage/ns_coder_numbers.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/text/ns_coder_text.h"
#include "platform/ui/view/ui_geometry_strings.h"

namespace {
constexpr const char* kText = "UIText";
constexpr const char* kFont = "UIFont";
constexpr const char* kTextColor = "UITextColor";
constexpr const char* kAlignment = "UITextAlignment";
constexpr const char* kLines = "UINumberOfLines";
constexpr const char* kLineBreak = "UILineBreakMode";
constexpr const char* kEnabled = "UIEnabled";
constexpr const char* kHighlighted = "UIHighlighted";
constexpr const char* kHighlightedColor = "UIHighlightedColor";
constexpr const char* kShadowColor = "UIShadowColor";
constexpr const char* kShadowOffset = "UIShadowOffset";
constexpr const char* kAdjustsFontSize = "UIAdjustsFontSizeToFit";
constexpr const char* kMinimumScale = "UIMinimumScaleFactor";
constexpr const char* kMinimumFontSize = "UIMinimumFontSize";
}  // namespace

void UILabel::initWithCoder(const NSCoder& coder) {
    UIView::initWithCoder(coder);
    decodeLabelProperties(coder);
}

void UILabel::decodeLabelProperties(const NSCoder& coder) {
    if (const std::string* text = coder.decodeObjectForKey(kText).string()) setText(*text);
    if (auto font = decodeFontForKey(coder, kFont)) setFont(font);
    if (auto color = decodeColorForKey(coder, kTextColor)) setTextColor(color);
    std::int64_t alignment = coder.decodeIntegerForKey(kAlignment);
    if (alignment >= 0 && alignment <= 4) setTextAlignment(static_cast<NSTextAlignment>(alignment));
    if (coder.containsValueForKey(kLines)) setNumberOfLines(coder.decodeIntegerForKey(kLines));
    std::int64_t mode = coder.decodeIntegerForKey(kLineBreak);
    if (coder.containsValueForKey(kLineBreak) && mode >= 0 && mode <= 5)
        setLineBreakMode(static_cast<NSLineBreakMode>(mode));
    if (coder.containsValueForKey(kEnabled)) setEnabled(coder.decodeBoolForKey(kEnabled));
    setHighlighted(coder.decodeBoolForKey(kHighlighted));
    if (auto color = decodeColorForKey(coder, kHighlightedColor)) setHighlightedTextColor(color);
    if (auto color = decodeColorForKey(coder, kShadowColor)) setShadowColor(color);
    if (const std::string* offset = coder.decodeObjectForKey(kShadowOffset).string())
        setShadowOffset(CGSizeFromString(*offset));
    setAdjustsFontSizeToFitWidth(coder.decodeBoolForKey(kAdjustsFontSize));
    float scale = decodeFloatForKey(coder, kMinimumScale);
    if (std::isfinite(scale) && scale >= 0) setMinimumScaleFactor(scale);
    float minimumSize = decodeFloatForKey(coder, kMinimumFontSize);
    if (std::isfinite(minimumSize) && minimumSize >= 0) setMinimumFontSize(minimumSize);
}

void UILabel::encodeWithCoder(NSCoder& coder) const {
    UIView::encodeWithCoder(coder);
    if (text_) coder.encodeObject(Value(*text_), kText);
    encodeFont(coder, font_, kFont);
    encodeColor(coder, textColor_, kTextColor);
    coder.encodeInteger(static_cast<std::int64_t>(alignment_), kAlignment);
    coder.encodeInteger(lines_, kLines);
    coder.encodeInteger(static_cast<std::int64_t>(lineBreak_), kLineBreak);
    coder.encodeBool(enabled_, kEnabled);
    coder.encodeBool(highlighted_, kHighlighted);
    encodeColor(coder, highlightedColor_, kHighlightedColor);
    encodeColor(coder, shadowColor_, kShadowColor);
    coder.encodeObject(Value(NSStringFromCGSize(shadowOffset_)), kShadowOffset);
    coder.encodeBool(adjustsFontSize_, kAdjustsFontSize);
    encodeFloat(coder, static_cast<float>(minimumScaleFactor_), kMinimumScale);
    encodeFloat(coder, static_cast<float>(minimumFontSize_), kMinimumFontSize);
}
