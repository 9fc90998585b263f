// NSDateFormatter: dates to and from text with a fixed pattern, in a locale and time zone.
//
// Dates are seconds since the platform's reference date (2001-01-01 00:00:00 UTC), the unit
// Value::date uses. A formatter is used from one thread at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Locale-dependent forms of a date or a time; None leaves that part out.
enum class NSDateFormatterStyle { None = 0, Short = 1, Medium = 2, Long = 3, Full = 4 };

class NSDateFormatter {
public:
    NSDateFormatter();
    ~NSDateFormatter();
    NSDateFormatter(const NSDateFormatter&) = delete;
    NSDateFormatter& operator=(const NSDateFormatter&) = delete;

    // Unicode date pattern ("yyyy-MM-dd", "HH:mm").
    const std::string& dateFormat() const { return format_; }
    // Clears the styles below.
    void setDateFormat(std::string format);
    // The locale's own forms of the date and of the time; when either is set, they replace the
    // pattern.
    NSDateFormatterStyle dateStyle() const { return dateStyle_; }
    void setDateStyle(NSDateFormatterStyle style);
    NSDateFormatterStyle timeStyle() const { return timeStyle_; }
    void setTimeStyle(NSDateFormatterStyle style);
    // A locale identifier ("en_US_POSIX"); empty means the device's locale.
    void setLocaleIdentifier(std::string identifier);
    // A time-zone identifier ("UTC", "Europe/Helsinki"); empty means the device's zone.
    void setTimeZoneName(std::string name);
    // A calendar identifier ("gregorian", "japanese"); empty means the locale's calendar.
    const std::string& calendarIdentifier() const { return calendar_; }
    void setCalendarIdentifier(std::string identifier);

    // The date the whole text stands for in the pattern; none for any other text.
    std::optional<double> dateFromString(std::string_view text) const;
    std::string stringFromDate(double secondsSinceReferenceDate) const;

private:
    struct Engine;
    Engine& engine() const;

    std::string format_;
    std::string locale_;
    std::string timeZone_;
    std::string calendar_;
    NSDateFormatterStyle dateStyle_ = NSDateFormatterStyle::None;
    NSDateFormatterStyle timeStyle_ = NSDateFormatterStyle::None;
    mutable std::unique_ptr<Engine> engine_;
};
