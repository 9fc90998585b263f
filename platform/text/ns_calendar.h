// NSCalendar: a calendar system ("gregorian", "buddhist", "japanese", "islamic", ...) in a time
// zone, for component reads, arithmetic and differences. Dates are seconds since 2001-01-01
// 00:00:00 UTC. Thread-safe (each calendar locks its own engine).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/text/ns_time_zone.h"

enum class NSCalendarUnit {
    Era,
    Year,
    Month,
    Day,
    Hour,
    Minute,
    Second,
    Weekday,
    WeekdayOrdinal,
    Quarter,
    WeekOfMonth,
    WeekOfYear,
    YearForWeekOfYear,
    DayOfYear
};

class NSCalendar {
public:
    // None for an identifier the platform does not know.
    static std::shared_ptr<NSCalendar> calendarWithIdentifier(const std::string& identifier);
    // The device's calendar (Gregorian) in the device's zone.
    static std::shared_ptr<NSCalendar> currentCalendar();

    // An unknown identifier gives the Gregorian calendar (check with calendarWithIdentifier).
    explicit NSCalendar(const std::string& identifier = "gregorian");
    ~NSCalendar();
    NSCalendar(const NSCalendar&) = delete;
    NSCalendar& operator=(const NSCalendar&) = delete;
    // A new calendar of the same system and zone.
    std::shared_ptr<NSCalendar> copy() const;

    const std::string& calendarIdentifier() const { return identifier_; }
    // None means the device's zone.
    std::shared_ptr<NSTimeZone> timeZone() const;
    void setTimeZone(std::shared_ptr<NSTimeZone> zone);

    std::int64_t component(double date, NSCalendarUnit unit) const;
    // The date moved by `amount` of the unit (month ends clamp: 31 January + 1 month is the last
    // day of February).
    double adding(double date, NSCalendarUnit unit, std::int64_t amount) const;
    // Whole units from `from` to `to`, negative when `to` is earlier.
    std::int64_t difference(double from, double to, NSCalendarUnit unit) const;
    struct Span {
        std::int64_t years, months, weeks, days;
    };
    // Years, months, weeks and days between two dates at once, in that order of precedence.
    Span span(double from, double to) const;
    double startOfDay(double date) const;
    // A date from local components (month 1-based); month and day may run over and are carried.
    double date(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour, std::int64_t minute,
                std::int64_t second) const;
    std::int64_t daysInMonth(double date) const;

private:
    struct Engine;
    std::string identifier_;
    std::shared_ptr<NSTimeZone> zone_;
    std::unique_ptr<Engine> engine_;
    mutable std::mutex mutex_;
};
