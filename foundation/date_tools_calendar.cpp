// DateCalendar on the platform calendar.
#include "foundation/date_tools_calendar.h"

namespace {
NSCalendarUnit platformUnit(CalendarUnit unit) {
    static_assert(static_cast<int>(CalendarUnit::DayOfYear) == static_cast<int>(NSCalendarUnit::DayOfYear));
    return static_cast<NSCalendarUnit>(unit);
}
}  // namespace

DateCalendar::DateCalendar(const std::string& identifier) : calendar_(identifier) {}

DateCalendar::~DateCalendar() = default;

std::int64_t DateCalendar::component(double date, CalendarUnit unit) const {
    return calendar_.component(date, platformUnit(unit));
}

double DateCalendar::adding(double date, CalendarUnit unit, std::int64_t amount) const {
    return calendar_.adding(date, platformUnit(unit), amount);
}

std::int64_t DateCalendar::difference(double from, double to, CalendarUnit unit) const {
    return calendar_.difference(from, to, platformUnit(unit));
}

DateCalendar::Span DateCalendar::span(double from, double to) const {
    auto s = calendar_.span(from, to);
    return {s.years, s.months, s.weeks, s.days};
}

double DateCalendar::startOfDay(double date) const {
    return calendar_.startOfDay(date);
}

double DateCalendar::date(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                          std::int64_t minute, std::int64_t second) const {
    return calendar_.date(year, month, day, hour, minute, second);
}

std::int64_t DateCalendar::daysInMonth(double date) const {
    return calendar_.daysInMonth(date);
}
