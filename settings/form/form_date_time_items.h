// The date and time row: a moment shown with the item's format, picked on a date picker that
// comes up as the keyboard or, for an inline item, opens as a 216-point row of its own below
// (FormInlineDatePickerItem) until the row is tapped again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/text/ns_calendar.h"
#include "platform/text/ns_locale.h"
#include "platform/text/ns_time_zone.h"
#include "platform/ui/input/ui_date_picker.h"
#include "settings/form/form_table_view_item.h"

class FormInlineDatePickerItem;

class FormDateTimeItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormDateTimeItem)
    using ChangeHandler = std::function<void(FormDateTimeItem&)>;
    static std::shared_ptr<FormDateTimeItem> itemWithTitle(std::optional<std::string> title,
                                                           std::optional<double> value,
                                                           std::optional<std::string> placeholder,
                                                           std::optional<std::string> format, UIDatePickerMode mode);

    // Seconds since 2001-01-01 UTC; none until chosen or given.
    std::optional<double> value;
    // Where the keyboard-style picker starts without a value (else now).
    std::optional<double> pickerStartDate;
    std::optional<std::string> placeholder;
    // Date formatter pattern of the shown text.
    std::optional<std::string> format;
    UIDatePickerMode datePickerMode = UIDatePickerMode::DateAndTime;
    // None for each: the platform's current.
    std::shared_ptr<NSLocale> locale;
    std::shared_ptr<NSCalendar> calendar;
    std::shared_ptr<NSTimeZone> timeZone;
    std::optional<double> minimumDate, maximumDate;
    // 0 leaves the picker's own step.
    long minuteInterval = 0;
    ChangeHandler onChange;
    bool inlineDatePicker = false;
    // Present exactly while the inline row is open.
    std::shared_ptr<FormInlineDatePickerItem> inlinePickerItem;

    // The picker set up from the item: mode, locale, calendar, zone, bounds and step.
    void configurePicker(UIDatePicker& picker) const;
    // The formatter set up from the item: pattern, calendar, zone and locale.
    void configureFormatter(NSDateFormatter& formatter) const;

    std::optional<FormErrors> errors() const override { return validate(value ? Value::date(*value) : Value()); }
    bool countsForTitleWidth() const override { return true; }
    std::string className() const override { return "FormDateTimeItem"; }

    void init() override;

protected:
    FormDateTimeItem() = default;
};

class FormInlineDatePickerItem : public FormTableViewItem {
public:
    KORVA_MAKE(FormInlineDatePickerItem)
    static std::shared_ptr<FormInlineDatePickerItem> itemWithDateTimeItem(
        const std::shared_ptr<FormDateTimeItem>& item);

    std::shared_ptr<FormDateTimeItem> dateTimeItem() const { return dateTimeItem_.lock(); }

    std::string className() const override { return "FormInlineDatePickerItem"; }

protected:
    FormInlineDatePickerItem() = default;

private:
    std::weak_ptr<FormDateTimeItem> dateTimeItem_;
};
