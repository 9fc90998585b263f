// Link records: creation and the spoken value.
#include "widgets/rich_label/rich_label_link.h"

#include "platform/text/date_formatter.h"
#include "widgets/rich_label/rich_label.h"

std::shared_ptr<RichLabelLink> RichLabelLink::make(std::optional<NSAttributes> attributes,
                                                   std::optional<NSAttributes> activeAttributes,
                                                   std::optional<NSAttributes> inactiveAttributes,
                                                   NSTextCheckingResult result) {
    auto link = ::make<RichLabelLink>();
    link->attributes_ = std::move(attributes);
    link->activeAttributes_ = std::move(activeAttributes);
    link->inactiveAttributes_ = std::move(inactiveAttributes);
    link->result_ = std::move(result);
    return link;
}

std::shared_ptr<RichLabelLink> RichLabelLink::makeFromLabel(const RichLabel& label, NSTextCheckingResult result) {
    return make(label.linkAttributes(), label.activeLinkAttributes(), label.inactiveLinkAttributes(),
                std::move(result));
}

std::optional<std::string> RichLabelLink::accessibilityValue() {
    if (accessibilityValue_ && !accessibilityValue_->empty()) return accessibilityValue_;
    switch (result_.resultType) {
        case NSTextCheckingTypeDate:
            if (result_.date) {
                NSDateFormatter formatter;
                formatter.setDateStyle(NSDateFormatterStyle::Long);
                formatter.setTimeStyle(NSDateFormatterStyle::Long);
                accessibilityValue_ = formatter.stringFromDate(*result_.date);
            }
            break;
        case NSTextCheckingTypePhoneNumber: accessibilityValue_ = result_.phoneNumber; break;
        case NSTextCheckingTypeLink:
            if (result_.URL) accessibilityValue_ = result_.URL->absoluteString();
            break;
        default: break;
    }
    return accessibilityValue_;
}
