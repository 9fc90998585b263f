// NSDateFormatter: dates to and from text with a fixed pattern, in a locale and time zone.
//
// Dates are seconds since the platform's reference date (2001-01-01 00:00:00 UTC), the unit
// Value::date uses. A formatter is used from one thread at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class NSDateFormatter {
public:
    NSDateFormatter();
    ~NSDateFormatter();
    NSDateFormatter(const NSDateFormatter&) = delete;
    NSDateFormatter& operator=(const NSDateFormatter&) = delete;

    // Unicode date pattern ("yyyy-MM-dd", "HH:mm").
    const std::string& dateFormat() const { return format_; }
    void setDateFormat(std::string format);
    // A locale identifier ("en_US_POSIX"); empty means the device's locale.
    void setLocaleIdentifier(std::string identifier);
    // A time-zone identifier ("UTC", "Europe/Helsinki"); empty means the device's zone.
    void setTimeZoneName(std::string name);

    // The date the whole text stands for in the pattern; none for any other text.
    std::optional<double> dateFromString(std::string_view text) const;
    std::string stringFromDate(double secondsSinceReferenceDate) const;

private:
    struct Engine;
    Engine& engine() const;

    std::string format_;
    std::string locale_;
    std::string timeZone_;
    mutable std::unique_ptr<Engine> engine_;
};
