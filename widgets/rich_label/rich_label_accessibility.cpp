// The rich label as an accessibility container (one element per link, then the whole label), and
// copying its text.
#include "platform/runtime/utf16.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "widgets/rich_label/rich_accessibility_element.h"
#include "widgets/rich_label/rich_label.h"

CGRect RichAccessibilityElement::accessibilityFrame() const {
    auto view = superview();
    return view ? UIAccessibilityConvertFrameToScreenCoordinates(boundingRect_, *view) : CGRectZero;
}

bool RichLabel::canPerformAction(std::string_view action, const std::shared_ptr<NSObject>&) const {
    return action == "copy:";
}

void RichLabel::copy(const std::shared_ptr<NSObject>&) {
    UIPasteboard::generalPasteboard()->setString(text().value_or(""));
}

std::vector<std::shared_ptr<NSObject>> RichLabel::accessibilityElements() const {
    std::lock_guard lock(lock_);
    if (accessibilityElements_) return *accessibilityElements_;
    auto me = std::const_pointer_cast<RichLabel>(self<RichLabel>());
    auto container = std::static_pointer_cast<NSObject>(me);
    std::vector<std::shared_ptr<NSObject>> elements;
    std::string plain = text().value_or("");
    for (const auto& link : linkModels_) {
        NSRange range = link->range();
        if (!range.found() || NSMaxRange(range) > utf16Length(plain)) continue;
        std::string spoken = utf16Substring(plain, range);
        if (spoken.empty()) continue;
        auto element = RichAccessibilityElement::make(container);
        element->setAccessibilityTraits(UIAccessibilityTraitLink);
        element->setBoundingRect(boundingRectForCharacterRange(range));
        element->setSuperview(me);
        element->setAccessibilityLabel(spoken);
        auto value = link->accessibilityValue();
        if (value && *value != spoken) element->setAccessibilityValue(value);
        elements.push_back(element);
    }
    auto whole = RichAccessibilityElement::make(container);
    whole->setAccessibilityLabel(UILabel::accessibilityLabel());
    whole->setAccessibilityHint(UILabel::accessibilityHint());
    whole->setAccessibilityValue(UILabel::accessibilityValue());
    whole->setAccessibilityTraits(UILabel::accessibilityTraits());
    whole->setBoundingRect(bounds());
    whole->setSuperview(me);
    elements.push_back(whole);
    accessibilityElements_ = elements;
    return elements;
}

std::size_t RichLabel::accessibilityElementCount() const {
    return accessibilityElements().size();
}

std::shared_ptr<NSObject> RichLabel::accessibilityElementAtIndex(std::size_t index) const {
    auto elements = accessibilityElements();
    return index < elements.size() ? elements[index] : nullptr;
}

std::size_t RichLabel::indexOfAccessibilityElement(const NSObject& element) const {
    auto elements = accessibilityElements();
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (elements[i].get() == &element) return i;
    return NSNotFound;
}

CGRect RichLabel::boundingRectForCharacterRange(NSRange range) const {
    if (!attributedText_) return CGRectZero;
    return TextLayout::boundingRectForCharacterRange(*attributedText_->mutableCopy(), range, bounds().size);
}
