// Value and placeholder labels.
#include "settings/form/form_value_labels.h"

#include "platform/ui/text/ui_font.h"

namespace {
constexpr CGFloat kFontSize = 17;
}

std::shared_ptr<UILabel> formValueLabel(std::shared_ptr<UIColor> colour) {
    auto label = UILabel::make();
    label->setFont(UIFont::systemFontOfSize(kFontSize));
    label->setBackgroundColor(UIColor::clearColor());
    label->setTextColor(std::move(colour));
    label->setHighlightedTextColor(UIColor::whiteColor());
    return label;
}

void formShowValue(UILabel& value, UILabel& placeholder, const std::string& text,
                   const std::optional<std::string>& placeholderText, const std::optional<std::string>& title) {
    value.setText(text);
    placeholder.setText(placeholderText.value_or(""));
    placeholder.setHidden(!text.empty());
    value.setTextAlignment(title ? NSTextAlignment::Right : NSTextAlignment::Left);
}
