// The list screens' shared texts.
#include "settings/lists/list_texts.h"

#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/runtime/utf16.h"
#include "platform/text/case_mapping.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"

namespace {
constexpr double kGreyRed = 125.0 / 255, kGreyGreen = 127.0 / 255, kGreyBlue = 127.0 / 255;
constexpr CGFloat kLineSpacing = 2;
}  // namespace

std::shared_ptr<NSAttributedString> listPlaceholderText(const std::string& text) {
    auto style = NSParagraphStyle::make();
    style->lineBreakMode = NSLineBreakMode::ByWordWrapping;
    style->alignment = NSTextAlignment::Center;
    style->lineSpacing = kLineSpacing;
    NSAttributes attributes;
    attributes.set(NSForegroundColorAttributeName, Value(UIColor::colorWithRed(kGreyRed, kGreyGreen, kGreyBlue, 1)));
    attributes.set(NSParagraphStyleAttributeName, Value(style));
    return NSAttributedString::make(text, attributes);
}

std::string listPlaceholderString(bool searching) {
    return searching ? Global::shared()->lang()->get("No Results Found") : "No Items";
}

std::string sectionStringOf(std::string_view label) {
    if (label.empty()) return " ";
    std::u16string units = toUtf16(label);
    std::size_t length = (units.size() >= 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF) ? 2 : 1;
    return lowercaseString(fromUtf16(std::u16string_view(units).substr(0, length)));
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    return lowercaseString(text).find(lowercaseString(word)) != std::string::npos;
}
