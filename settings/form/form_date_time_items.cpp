// The date and time items.
#include "settings/form/form_date_time_items.h"

void FormDateTimeItem::init() {
    FormTableViewItem::init();
    style = UITableViewCellStyle::Value1;
}

std::shared_ptr<FormDateTimeItem> FormDateTimeItem::itemWithTitle(std::optional<std::string> title,
                                                                  std::optional<double> value,
                                                                  std::optional<std::string> placeholder,
                                                                  std::optional<std::string> format,
                                                                  UIDatePickerMode mode) {
    auto item = make();
    item->title = std::move(title);
    item->value = value;
    item->format = std::move(format);
    item->datePickerMode = mode;
    item->placeholder = std::move(placeholder);
    return item;
}

void FormDateTimeItem::configurePicker(UIDatePicker& picker) const {
    picker.setDatePickerMode(datePickerMode);
    picker.setLocale(locale);
    picker.setCalendar(calendar);
    picker.setTimeZone(timeZone ? timeZone : NSTimeZone::localTimeZone());
    // Bounds first cleared so that new ones never meet the old ones half-way.
    picker.setMinimumDate(std::nullopt);
    picker.setMaximumDate(std::nullopt);
    picker.setMinimumDate(minimumDate);
    picker.setMaximumDate(maximumDate);
    if (minuteInterval > 0) picker.setMinuteInterval(static_cast<int>(minuteInterval));
}

void FormDateTimeItem::configureFormatter(NSDateFormatter& formatter) const {
    formatter.setDateFormat(format.value_or(""));
    formatter.setCalendarIdentifier(calendar ? calendar->calendarIdentifier() : "");
    formatter.setTimeZoneName(timeZone ? timeZone->name() : "");
    formatter.setLocaleIdentifier(locale ? locale->localeIdentifier() : "");
}

std::shared_ptr<FormInlineDatePickerItem> FormInlineDatePickerItem::itemWithDateTimeItem(
    const std::shared_ptr<FormDateTimeItem>& item) {
    auto inlineItem = make();
    inlineItem->dateTimeItem_ = item;
    return inlineItem;
}
