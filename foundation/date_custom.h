// Date and number helpers: calendar arithmetic, component getters, fixed-format texts, expiry
// tests, JSON forms of dates and sets, durations and the local time-zone offset; and rewriting the
// image properties of encoded image data in place.
//
// Dates are seconds since the reference date (2001-01-01 00:00:00 UTC); "now" is the clock's
// wall time. Calendar work uses the Gregorian calendar in the current time zone. Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/runtime/value.h"

double dateNow();

// Whole calendar days (hours, minutes) from the start of the receiver's day (hour, minute) to
// the start of the argument's; negative when the argument is earlier.
std::int64_t calcDay(double date, double other);
std::int64_t calcHour(double date, double other);
std::int64_t calcMinute(double date, double other);

// The date plus n fixed days of 86400 s (not calendar days).
double offseted(double date, std::int64_t days);
inline double nextDay(double date) {
    return offseted(date, 1);
}
inline double prevDay(double date) {
    return offseted(date, -1);
}

int getDay(double date);
int getHour(double date);
int getMinute(double date);
int getSecond(double date);
// 1 Sunday ... 7 Saturday.
int getWeekdayNumber(double date);
std::string getWeekdayLong(double date);
std::string getWeekdayShort(double date);
// "%04d-%02d-%02d".
std::string getYearMonthDay(double date);
// Long and medium date texts, no time.
std::string getTitle(double date);
std::string getShortTitle(double date);
// "yyyy-MM-dd".
std::string serverFormatted(double date);
// Moved forward by 0 to 6 whole days onto weekday w (0 Sunday ... 6 Saturday).
double nearestWeekday(double date, int weekday);

// Seconds since 1970, fractions kept.
double dateJson(double date);
// The date given as seconds since 1970.
double dateFromJSON(double secondsSince1970);
// The same with the fractions dropped (the number's integer value).
double dateFromJSONInteger(const Value& number);

// Now is at or after date + interval.
bool isAfterOffset(double date, double interval);
// Now is strictly before date + interval.
bool isNotExpired(double date, double interval);
bool isExpired(double date, double interval);

// Today at hour:minute local time; none for an hour above 23 or a minute above 59.
std::optional<double> dateWithHourMinute(int hour, int minute);

// The local time zone's current offset from UTC in minutes.
std::int64_t numberWithTimeZoneOffset();
// "mm:ss" below an hour, "HH:mm:ss" from an hour on (hours within one day).
std::string duration(std::int64_t seconds);

// A set as an array of its members, and a new mutable set from a collection (none for null).
Value setJson(const Value& set);
std::optional<Value> setFromJSON(const Value& collection);

// Rewrites the encoded image held in `data` (JPEG or PNG, its own type kept) with the given image
// properties written over its own, pixels untouched. True when the rewrite finished; on false
// (data that is no readable image, properties that are not a dictionary or cannot be written)
// `data` is left exactly as it was.
bool assignProperty(Bytes& data, const Value& properties);
