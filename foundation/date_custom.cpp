// Date and number helpers on the local Gregorian calendar.
#include "foundation/date_custom.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "foundation/data_custom_photos.h"
#include "platform/dispatch/clock.h"
#include "platform/text/date_formatter.h"

namespace {

constexpr double kSince1970 = 978307200.0;  // reference date in Unix seconds
constexpr double kDay = 86400.0;

std::time_t unixSeconds(double date) {
    return static_cast<std::time_t>(std::floor(date + kSince1970));
}

std::tm localParts(double date) {
    std::time_t t = unixSeconds(date);
    std::tm parts{};
    localtime_r(&t, &parts);
    return parts;
}

double fromLocalParts(std::tm parts) {
    parts.tm_isdst = -1;
    return static_cast<double>(std::mktime(&parts)) - kSince1970;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t civilDay(double date) {
    std::tm p = localParts(date);
    return daysFromCivil(p.tm_year + 1900, static_cast<unsigned>(p.tm_mon + 1), static_cast<unsigned>(p.tm_mday));
}

double startOfUnit(double date, int unit) {
    std::tm p = localParts(date);
    p.tm_sec = 0;
    if (unit >= 1) p.tm_min = 0;
    return fromLocalParts(p);
}

std::string formatted(double date, const char* pattern) {
    NSDateFormatter formatter;
    formatter.setDateFormat(pattern);
    return formatter.stringFromDate(date);
}

}  // namespace

double dateNow() {
    return Clock::absoluteTime();
}

std::int64_t calcDay(double date, double other) {
    return civilDay(other) - civilDay(date);
}

std::int64_t calcHour(double date, double other) {
    return static_cast<std::int64_t>((startOfUnit(other, 1) - startOfUnit(date, 1)) / 3600.0);
}

std::int64_t calcMinute(double date, double other) {
    return static_cast<std::int64_t>((startOfUnit(other, 0) - startOfUnit(date, 0)) / 60.0);
}

double offseted(double date, std::int64_t days) {
    return days == 0 ? date : date + static_cast<double>(days) * kDay;
}

int getDay(double date) {
    return localParts(date).tm_mday;
}
int getHour(double date) {
    return localParts(date).tm_hour;
}
int getMinute(double date) {
    return localParts(date).tm_min;
}
int getSecond(double date) {
    return localParts(date).tm_sec;
}
int getWeekdayNumber(double date) {
    return localParts(date).tm_wday + 1;
}
std::string getWeekdayLong(double date) {
    return formatted(date, "EEEE");
}
std::string getWeekdayShort(double date) {
    return formatted(date, "EEE");
}

std::string getYearMonthDay(double date) {
    std::tm p = localParts(date);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.tm_year + 1900, p.tm_mon + 1, p.tm_mday);
    return buffer;
}

std::string getTitle(double date) {
    return formatted(date, "MMMM d, y");
}
std::string getShortTitle(double date) {
    return formatted(date, "MMM d, y");
}
std::string serverFormatted(double date) {
    return formatted(date, "yyyy-MM-dd");
}

double nearestWeekday(double date, int weekday) {
    int n = weekday - getWeekdayNumber(date) + 1;
    if (n < 0) n += 7;
    return offseted(date, n);
}

double dateJson(double date) {
    return date + kSince1970;
}
double dateFromJSON(double secondsSince1970) {
    return secondsSince1970 - kSince1970;
}
double dateFromJSONInteger(const Value& number) {
    return static_cast<double>(number.integerValue()) - kSince1970;
}

bool isAfterOffset(double date, double interval) {
    return date + interval <= dateNow();
}
bool isNotExpired(double date, double interval) {
    return dateNow() < date + interval;
}
bool isExpired(double date, double interval) {
    return !isNotExpired(date, interval);
}

std::optional<double> dateWithHourMinute(int hour, int minute) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    std::tm p = localParts(dateNow());
    p.tm_hour = hour;
    p.tm_min = minute;
    p.tm_sec = 0;
    return fromLocalParts(p);
}

std::int64_t numberWithTimeZoneOffset() {
    std::tm p = localParts(dateNow());
    return static_cast<std::int64_t>(p.tm_gmtoff / 60);
}

std::string duration(std::int64_t seconds) {
    const std::int64_t inDay = ((seconds % 86400) + 86400) % 86400;
    const int h = static_cast<int>(inDay / 3600), m = static_cast<int>(inDay / 60 % 60),
              s = static_cast<int>(inDay % 60);
    char buffer[32];
    if (seconds < 3600) {
        std::snprintf(buffer, sizeof buffer, "%02d:%02d", m, s);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", h, m, s);
    }
    return buffer;
}

Value setJson(const Value& set) {
    Value array = Value::array();
    if (auto* members = set.setPtr())
        for (const auto& member : members->items()) array.append(member);
    return array;
}

std::optional<Value> setFromJSON(const Value& collection) {
    if (collection.isNull()) return std::nullopt;
    Value set{ValueSet{}};
    if (auto* items = collection.arrayPtr()) {
        for (const auto& item : *items) set.setPtr()->insert(item);
    } else if (auto* members = collection.setPtr()) {
        for (const auto& member : members->items()) set.setPtr()->insert(member);
    }
    return set;
}

bool assignProperty(Bytes& data, const Value& properties) {
    // Written to a new buffer first so that a failed rewrite never leaves half an image behind.
    auto rewritten = setMetadata(data, properties);
    if (!rewritten) return false;
    data = std::move(*rewritten);
    return true;
}
