// DateExtras: the date library's toolbox on dates (seconds since 2001-01-01 00:00:00 UTC): the
// implicit calendar, component getters, calendar arithmetic, differences in calendar units,
// comparisons, formatting and relative "time ago" texts. "Now" is the clock's wall time.
//
// Thread-safe; the formatters are per thread. Changing the default calendar identifier while
// another thread reads the implicit calendar is not supported.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/date_tools_calendar.h"

enum class DateStyle { None, Short, Medium, Long, Full };

// Relative-text formats and value types.
enum class TimeAgoFormat : unsigned {
    LongWords = 0,
    LongNumericDatesAndTimes = 1,
    LongNumericDates = 2,
    LongNumericTimes = 3,
    Short = 4,
    Week = 5
};
enum class TimeAgoValueType : unsigned {
    Years = 0,
    Months = 1,
    Weeks = 2,
    Days = 3,
    Hours = 4,
    Minutes = 5,
    Seconds = 6
};

struct DateExtras {
    // The program's load step sets "gregorian"; none gives the Gregorian calendar too.
    static void setDefaultCalendarIdentifier(std::optional<std::string> identifier);
    static std::optional<std::string> defaultCalendarIdentifier();
    static std::shared_ptr<DateCalendar> implicitCalendar();
    // The user's calendar (Gregorian on this platform).
    static std::shared_ptr<DateCalendar> currentCalendar();

    // Component code 0 era ... 13 day of year; above 13: 0. A null calendar is the implicit one.
    static std::int64_t componentForDate(double date, unsigned type, const DateCalendar* calendar = nullptr);
    static std::int64_t era(double d) { return componentForDate(d, 0); }
    static std::int64_t year(double d) { return componentForDate(d, 1); }
    static std::int64_t month(double d) { return componentForDate(d, 2); }
    static std::int64_t day(double d) { return componentForDate(d, 3); }
    static std::int64_t hour(double d) { return componentForDate(d, 4); }
    static std::int64_t minute(double d) { return componentForDate(d, 5); }
    static std::int64_t second(double d) { return componentForDate(d, 6); }
    static std::int64_t weekday(double d) { return componentForDate(d, 7); }
    static std::int64_t weekdayOrdinal(double d) { return componentForDate(d, 8); }
    static std::int64_t quarter(double d) { return componentForDate(d, 9); }
    static std::int64_t weekOfMonth(double d) { return componentForDate(d, 10); }
    static std::int64_t weekOfYear(double d) { return componentForDate(d, 11); }
    static std::int64_t yearForWeekOfYear(double d) { return componentForDate(d, 12); }
    static std::int64_t dayOfYear(double d) { return componentForDate(d, 13); }

    static std::int64_t daysInMonth(double date);
    static std::int64_t daysInYear(double date) { return isInLeapYear(date) ? 366 : 365; }
    static bool isInLeapYear(double date) { return isLeapYear(year(date)); }
    static bool isLeapYear(std::int64_t year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }
    static bool isToday(double date);
    static bool isTomorrow(double date);
    static bool isYesterday(double date);
    static bool isWeekend(double date);
    static bool isSameDay(double date, double other);

    static double dateWithYear(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour = 0,
                               std::int64_t minute = 0, std::int64_t second = 0);
    // A time-zone name ("UTC"); empty is the system's zone. None for text that does not parse.
    static std::optional<double> dateWithString(const std::string& text, const std::string& format,
                                                const std::string& timeZone = {});

    static double dateByAddingYears(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Year, n);
    }
    static double dateByAddingMonths(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Month, n);
    }
    static double dateByAddingWeeks(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::WeekOfYear, n);
    }
    static double dateByAddingDays(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Day, n);
    }
    static double dateByAddingHours(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Hour, n);
    }
    static double dateByAddingMinutes(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Minute, n);
    }
    static double dateByAddingSeconds(double d, std::int64_t n) {
        return implicitCalendar()->adding(d, CalendarUnit::Second, n);
    }
    static double dateBySubtractingYears(double d, std::int64_t n) { return dateByAddingYears(d, -n); }
    static double dateBySubtractingMonths(double d, std::int64_t n) { return dateByAddingMonths(d, -n); }
    static double dateBySubtractingWeeks(double d, std::int64_t n) { return dateByAddingWeeks(d, -n); }
    static double dateBySubtractingDays(double d, std::int64_t n) { return dateByAddingDays(d, -n); }
    static double dateBySubtractingHours(double d, std::int64_t n) { return dateByAddingHours(d, -n); }
    static double dateBySubtractingMinutes(double d, std::int64_t n) { return dateByAddingMinutes(d, -n); }
    static double dateBySubtractingSeconds(double d, std::int64_t n) { return dateByAddingSeconds(d, -n); }

    // Whole calendar units between the dates, negative when the receiver is the earlier.
    static std::int64_t yearsFrom(double d, double other, const DateCalendar* calendar = nullptr);
    static std::int64_t monthsFrom(double d, double other, const DateCalendar* calendar = nullptr);
    static std::int64_t weeksFrom(double d, double other, const DateCalendar* calendar = nullptr);
    static std::int64_t daysFrom(double d, double other, const DateCalendar* calendar = nullptr);
    // Elapsed time, fractional and signed.
    static double hoursFrom(double d, double other) { return (d - other) / 3600.0; }
    static double minutesFrom(double d, double other) { return (d - other) / 60.0; }
    static double secondsFrom(double d, double other) { return d - other; }
    // How much earlier (later) the receiver is; 0 when it is not.
    static std::int64_t yearsEarlierThan(double d, double o) { return clampEarlier(yearsFrom(d, o)); }
    static std::int64_t monthsEarlierThan(double d, double o) { return clampEarlier(monthsFrom(d, o)); }
    static std::int64_t weeksEarlierThan(double d, double o) { return clampEarlier(weeksFrom(d, o)); }
    static std::int64_t daysEarlierThan(double d, double o) { return clampEarlier(daysFrom(d, o)); }
    static double hoursEarlierThan(double d, double o) { return clampEarlier(hoursFrom(d, o)); }
    static double minutesEarlierThan(double d, double o) { return clampEarlier(minutesFrom(d, o)); }
    static double secondsEarlierThan(double d, double o) { return clampEarlier(secondsFrom(d, o)); }
    static std::int64_t yearsLaterThan(double d, double o) { return clampLater(yearsFrom(d, o)); }
    static std::int64_t monthsLaterThan(double d, double o) { return clampLater(monthsFrom(d, o)); }
    static std::int64_t weeksLaterThan(double d, double o) { return clampLater(weeksFrom(d, o)); }
    static std::int64_t daysLaterThan(double d, double o) { return clampLater(daysFrom(d, o)); }
    static double hoursLaterThan(double d, double o) { return clampLater(hoursFrom(d, o)); }
    static double minutesLaterThan(double d, double o) { return clampLater(minutesFrom(d, o)); }
    static double secondsLaterThan(double d, double o) { return clampLater(secondsFrom(d, o)); }
    // Against now.
    static std::int64_t yearsUntil(double d) { return yearsLaterThan(d, now()); }
    static std::int64_t monthsUntil(double d) { return monthsLaterThan(d, now()); }
    static std::int64_t weeksUntil(double d) { return weeksLaterThan(d, now()); }
    static std::int64_t daysUntil(double d) { return daysLaterThan(d, now()); }
    static double hoursUntil(double d) { return hoursLaterThan(d, now()); }
    static double minutesUntil(double d) { return minutesLaterThan(d, now()); }
    static double secondsUntil(double d) { return secondsLaterThan(d, now()); }
    static std::int64_t yearsAgo(double d) { return yearsEarlierThan(d, now()); }
    static std::int64_t monthsAgo(double d) { return monthsEarlierThan(d, now()); }
    static std::int64_t weeksAgo(double d) { return weeksEarlierThan(d, now()); }
    static std::int64_t daysAgo(double d) { return daysEarlierThan(d, now()); }
    static double hoursAgo(double d) { return hoursEarlierThan(d, now()); }
    static double minutesAgo(double d) { return minutesEarlierThan(d, now()); }
    static double secondsAgo(double d) { return secondsEarlierThan(d, now()); }

    static bool isEarlierThan(double d, double o) { return d < o; }
    static bool isLaterThan(double d, double o) { return d > o; }
    static bool isEarlierThanOrEqualTo(double d, double o) { return d <= o; }
    static bool isLaterThanOrEqualTo(double d, double o) { return d >= o; }

    // Empty time zone or locale: the system's. Formatters are per thread.
    static std::string formattedDateWithStyle(double date, DateStyle style, const std::string& timeZone = {},
                                              const std::string& locale = {});
    static std::string formattedDateWithFormat(double date, const std::string& format, const std::string& timeZone = {},
                                               const std::string& locale = {});

    // Relative texts against another date (either order) or against now.
    static std::optional<std::string> timeAgoSinceDate(double date, double other, TimeAgoFormat format);
    static std::string timeAgoSinceNow(double date) {
        return timeAgoSinceDate(date, now(), TimeAgoFormat::LongWords).value_or("");
    }
    static std::string timeAgo(double date, double other, bool numericDates = false, bool numericTimes = false);
    static std::string shortTimeAgoSinceNow(double date) {
        return timeAgoSinceDate(date, now(), TimeAgoFormat::Short).value_or("");
    }
    static std::string shortTimeAgoSinceDate(double date, double other) {
        return timeAgoSinceDate(date, other, TimeAgoFormat::Short).value_or("");
    }
    static std::string weekTimeAgoSinceNow(double date) {
        return timeAgoSinceDate(date, now(), TimeAgoFormat::Week).value_or("");
    }
    static std::string weekTimeAgoSinceDate(double date, double other) {
        return timeAgoSinceDate(date, other, TimeAgoFormat::Week).value_or("");
    }
    // The text for a value of a type; none for a type above 6. `date` supplies the weekday of
    // the week format.
    static std::optional<std::string> localizedStringFor(TimeAgoFormat format, unsigned valueType, std::int64_t value,
                                                         double date);
    // "", "_" or "__": the plural marker of Russian and Ukrainian, empty in other languages.
    static std::string getLocaleFormatUnderscoresWithValue(double value);
    // The key from "%%d %@days ago" with the marker, looked up and filled with the value.
    static std::string logicLocalizedStringFromFormat(const std::string& pattern, std::int64_t value);
    // The "DateExtras" table of the bundle "DateExtras.bundle"; the key itself when absent.
    static std::string localizedString(const std::string& key);

    static double now();

private:
    static std::int64_t clampEarlier(std::int64_t v) { return v < 0 ? -v : 0; }
    static std::int64_t clampLater(std::int64_t v) { return v > 0 ? v : 0; }
    static double clampEarlier(double v) { return v < 0 ? -v : 0; }
    static double clampLater(double v) { return v > 0 ? v : 0; }
};
