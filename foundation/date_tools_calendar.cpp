// DateCalendar on ICU calendars.
#include "foundation/date_tools_calendar.h"

#include <cmath>
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>

namespace {

constexpr double kSince1970 = 978307200.0;

UDate toUDate(double date) { return (date + kSince1970) * 1000.0; }
double fromUDate(UDate ms) { return ms / 1000.0 - kSince1970; }

UCalendarDateFields fieldOf(CalendarUnit unit) {
    switch (unit) {
        case CalendarUnit::Era: return UCAL_ERA;
        case CalendarUnit::Year: return UCAL_YEAR;
        case CalendarUnit::Month: return UCAL_MONTH;
        case CalendarUnit::Day: return UCAL_DATE;
        case CalendarUnit::Hour: return UCAL_HOUR_OF_DAY;
        case CalendarUnit::Minute: return UCAL_MINUTE;
        case CalendarUnit::Second: return UCAL_SECOND;
        case CalendarUnit::Weekday: return UCAL_DAY_OF_WEEK;
        case CalendarUnit::WeekdayOrdinal: return UCAL_DAY_OF_WEEK_IN_MONTH;
        case CalendarUnit::Quarter: return UCAL_MONTH;
        case CalendarUnit::WeekOfMonth: return UCAL_WEEK_OF_MONTH;
        case CalendarUnit::WeekOfYear: return UCAL_WEEK_OF_YEAR;
        case CalendarUnit::YearForWeekOfYear: return UCAL_YEAR_WOY;
        case CalendarUnit::DayOfYear: return UCAL_DAY_OF_YEAR;
    }
    return UCAL_DATE;
}

}  // namespace

struct DateCalendar::Engine {
    std::unique_ptr<icu::Calendar> calendar;
};

DateCalendar::DateCalendar(const std::string& identifier) : identifier_(identifier), engine_(std::make_unique<Engine>()) {
    UErrorCode status = U_ZERO_ERROR;
    std::string name = identifier.empty() ? "gregorian" : identifier;
    icu::Locale locale(("en_US@calendar=" + name).c_str());
    engine_->calendar.reset(icu::Calendar::createInstance(locale, status));
    if (U_FAILURE(status) || !engine_->calendar || std::string(engine_->calendar->getType()) != name) {
        status = U_ZERO_ERROR;
        engine_->calendar.reset(new icu::GregorianCalendar(icu::Locale("en_US"), status));
    }
    // The platform's calendars count weeks from Sunday with a minimum of one day in week one.
    engine_->calendar->setFirstDayOfWeek(UCAL_SUNDAY);
    engine_->calendar->setMinimalDaysInFirstWeek(1);
}

DateCalendar::~DateCalendar() = default;

std::int64_t DateCalendar::component(double date, CalendarUnit unit) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    std::int64_t value = cal.get(fieldOf(unit), status);
    if (U_FAILURE(status)) return 0;
    if (unit == CalendarUnit::Month) return value + 1;
    if (unit == CalendarUnit::Quarter) return value / 3 + 1;
    return value;
}

double DateCalendar::adding(double date, CalendarUnit unit, std::int64_t amount) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    double fraction = date - std::floor(date);
    // ICU adds in 32-bit steps; larger counts go in pieces.
    while (amount != 0 && U_SUCCESS(status)) {
        std::int64_t step = std::max<std::int64_t>(std::min<std::int64_t>(amount, 1 << 30), -(1 << 30));
        cal.add(fieldOf(unit), static_cast<int32_t>(step), status);
        amount -= step;
    }
    if (U_FAILURE(status)) return date;
    double moved = fromUDate(cal.getTime(status));
    return std::floor(moved) + fraction;
}

std::int64_t DateCalendar::difference(double from, double to, CalendarUnit unit) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(from), status);
    std::int64_t value = cal.fieldDifference(toUDate(to), fieldOf(unit), status);
    return U_FAILURE(status) ? 0 : value;
}

DateCalendar::Span DateCalendar::span(double from, double to) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(from), status);
    UDate target = toUDate(to);
    Span s{};
    s.years = cal.fieldDifference(target, UCAL_YEAR, status);
    s.months = cal.fieldDifference(target, UCAL_MONTH, status);
    s.weeks = cal.fieldDifference(target, UCAL_WEEK_OF_YEAR, status);
    s.days = cal.fieldDifference(target, UCAL_DATE, status);
    if (U_FAILURE(status)) return Span{};
    return s;
}

double DateCalendar::startOfDay(double date) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    cal.set(UCAL_HOUR_OF_DAY, 0);
    cal.set(UCAL_MINUTE, 0);
    cal.set(UCAL_SECOND, 0);
    cal.set(UCAL_MILLISECOND, 0);
    double start = fromUDate(cal.getTime(status));
    return U_FAILURE(status) ? date : start;
}

double DateCalendar::date(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour, std::int64_t minute,
                          std::int64_t second) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.clear();
    cal.set(static_cast<int32_t>(year), static_cast<int32_t>(month - 1), static_cast<int32_t>(day), static_cast<int32_t>(hour),
            static_cast<int32_t>(minute), static_cast<int32_t>(second));
    return fromUDate(cal.getTime(status));
}

std::int64_t DateCalendar::daysInMonth(double date) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    std::int64_t days = cal.getActualMaximum(UCAL_DATE, status);
    return U_FAILURE(status) ? 0 : days;
}
