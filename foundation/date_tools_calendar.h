// DateCalendar: a calendar system in the device's time zone, for the date library's component
// reads, arithmetic and differences, on the platform calendar. Dates are seconds since
// 2001-01-01 00:00:00 UTC.
//
// Thread-safe (the platform calendar locks its own engine).
#pragma once

#include <cstdint>
#include <string>

#include "platform/text/ns_calendar.h"

enum class CalendarUnit {
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

class DateCalendar {
public:
    // A calendar identifier of the platform ("gregorian", "buddhist", "japanese", ...); an
    // unknown one gives the Gregorian calendar.
    explicit DateCalendar(const std::string& identifier = "gregorian");
    ~DateCalendar();
    DateCalendar(const DateCalendar&) = delete;
    DateCalendar& operator=(const DateCalendar&) = delete;

    const std::string& identifier() const { return calendar_.calendarIdentifier(); }

    std::int64_t component(double date, CalendarUnit unit) const;
    // The date moved by `amount` of the unit (month ends clamp: 31 January + 1 month is the last
    // day of February). Weeks are whole weeks.
    double adding(double date, CalendarUnit unit, std::int64_t amount) const;
    // Whole units from `from` to `to` (negative when `to` is earlier), counted field by field
    // from the largest unit asked, as the platform's component difference does: each unit in
    // `units` (largest first) takes what the larger ones left.
    std::int64_t difference(double from, double to, CalendarUnit unit) const;
    // Years, months, weeks and days between two dates at once, in that order of precedence.
    struct Span {
        std::int64_t years, months, weeks, days;
    };
    Span span(double from, double to) const;
    // The start (midnight) of the date's day.
    double startOfDay(double date) const;
    // A date from its local components; month and day may run over and are carried.
    double date(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour, std::int64_t minute,
                std::int64_t second) const;
    std::int64_t daysInMonth(double date) const;
    // First and last weekday numbers (1 and 7 in the Gregorian calendar).
    std::int64_t minimumWeekday() const { return 1; }
    std::int64_t maximumWeekday() const { return 7; }

private:
    NSCalendar calendar_;
};
