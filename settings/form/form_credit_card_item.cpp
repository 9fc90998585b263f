// Card types, expiry and the card item.
#include "settings/form/form_credit_card_item.h"

#include "platform/storage/bundle.h"
#include "platform/text/date_formatter.h"
#include "platform/text/ns_calendar.h"
#include "settings/form/form_number_format.h"
#include "settings/form/form_string_measure.h"

FormCreditCardType formCreditCardType(std::string_view number) {
    std::string d = form_digitsOnly(number);
    auto starts = [&](std::string_view prefix) { return d.compare(0, prefix.size(), prefix) == 0; };
    // The kinds exclude one another by their first digits.
    if (d.size() >= 13 && starts("4")) return FormCreditCardType::Visa;
    if (d.size() >= 15 && d[0] == '5' && d[1] >= '1' && d[1] <= '5') return FormCreditCardType::Mastercard;
    if (d.size() >= 14 && (starts("34") || starts("37"))) return FormCreditCardType::AmericanExpress;
    if (d.size() >= 15 && (starts("6011") || starts("65"))) return FormCreditCardType::Discover;
    return FormCreditCardType::None;
}

std::size_t formCreditCardCompleteDigits(FormCreditCardType type) {
    return type == FormCreditCardType::AmericanExpress ? 15 : 16;
}

bool formCreditCardExpired(std::string_view expiry, double now) {
    if (expiry.empty()) return false;
    NSDateFormatter format;
    format.setLocaleIdentifier("en_US_POSIX");
    format.setDateFormat("MM/yy");
    auto month = format.dateFromString(expiry);
    if (!month) return false;
    NSCalendar calendar;
    auto index = [&](double date) {
        return calendar.component(date, NSCalendarUnit::Year) * 12 + calendar.component(date, NSCalendarUnit::Month);
    };
    return index(now) > index(*month);
}

std::shared_ptr<FormCreditCardItem> FormCreditCardItem::itemWithNumber(std::string number, std::string expirationString,
                                                                       std::string cvv) {
    auto item = make();
    item->number = std::move(number);
    item->expirationDate = std::move(expirationString);
    item->cvv = std::move(cvv);
    item->cvvRequired = true;
    return item;
}

std::shared_ptr<FormCreditCardItem> FormCreditCardItem::itemWithNumber(std::string number, double expirationDate,
                                                                       std::string cvv) {
    NSDateFormatter format;
    format.setLocaleIdentifier("en_US_POSIX");
    format.setDateFormat("MM/yy");
    return itemWithNumber(std::move(number), format.stringFromDate(expirationDate), std::move(cvv));
}

std::shared_ptr<UIImage> FormCreditCardItem::expiredRibbonImage() {
    if (!ribbon_) ribbon_ = UIImage::imageNamed("Ribbon_Expired", FormTableViewManagerBundle());
    return ribbon_;
}

std::optional<FormErrors> FormCreditCardItem::errors() const {
    return validate(Value(std::const_pointer_cast<FormCreditCardItem>(self<FormCreditCardItem>())));
}
