// NSCalendar on ICU calendars.
#include "platform/text/ns_calendar.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cmath>

#include "platform/runtime/utf16.h"

namespace {

constexpr double kSince1970 = 978307200.0;

UDate toUDate(double date) {
    return (date + kSince1970) * 1000.0;
}
double fromUDate(UDate ms) {
    return ms / 1000.0 - kSince1970;
}

UCalendarDateFields fieldOf(NSCalendarUnit unit) {
    switch (unit) {
        case NSCalendarUnit::Era: return UCAL_ERA;
        case NSCalendarUnit::Year: return UCAL_YEAR;
        case NSCalendarUnit::Month: return UCAL_MONTH;
        case NSCalendarUnit::Day: return UCAL_DATE;
        case NSCalendarUnit::Hour: return UCAL_HOUR_OF_DAY;
        case NSCalendarUnit::Minute: return UCAL_MINUTE;
        case NSCalendarUnit::Second: return UCAL_SECOND;
        case NSCalendarUnit::Weekday: return UCAL_DAY_OF_WEEK;
        case NSCalendarUnit::WeekdayOrdinal: return UCAL_DAY_OF_WEEK_IN_MONTH;
        case NSCalendarUnit::Quarter: return UCAL_MONTH;
        case NSCalendarUnit::WeekOfMonth: return UCAL_WEEK_OF_MONTH;
        case NSCalendarUnit::WeekOfYear: return UCAL_WEEK_OF_YEAR;
        case NSCalendarUnit::YearForWeekOfYear: return UCAL_YEAR_WOY;
        case NSCalendarUnit::DayOfYear: return UCAL_DAY_OF_YEAR;
    }
    return UCAL_DATE;
}

}  // namespace

struct NSCalendar::Engine {
    std::unique_ptr<icu::Calendar> calendar;
};

namespace {
// The ICU calendar of the identifier, or none when ICU does not know it.
std::unique_ptr<icu::Calendar> makeCalendar(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale(("en_US@calendar=" + name).c_str());
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(locale, status));
    if (U_FAILURE(status) || !calendar || std::string(calendar->getType()) != name) return nullptr;
    return calendar;
}
}  // namespace

NSCalendar::NSCalendar(const std::string& identifier) : identifier_(identifier), engine_(std::make_unique<Engine>()) {
    if (identifier_.empty()) identifier_ = "gregorian";
    engine_->calendar = makeCalendar(identifier_);
    if (!engine_->calendar) {
        UErrorCode status = U_ZERO_ERROR;
        identifier_ = "gregorian";
        engine_->calendar.reset(new icu::GregorianCalendar(icu::Locale("en_US"), status));
    }
    // The platform's calendars count weeks from Sunday with a minimum of one day in week one.
    engine_->calendar->setFirstDayOfWeek(UCAL_SUNDAY);
    engine_->calendar->setMinimalDaysInFirstWeek(1);
}

std::shared_ptr<NSCalendar> NSCalendar::calendarWithIdentifier(const std::string& identifier) {
    if (identifier.empty() || !makeCalendar(identifier)) return nullptr;
    return std::make_shared<NSCalendar>(identifier);
}

std::shared_ptr<NSCalendar> NSCalendar::currentCalendar() {
    return std::make_shared<NSCalendar>("gregorian");
}

std::shared_ptr<NSCalendar> NSCalendar::copy() const {
    auto other = std::make_shared<NSCalendar>(identifier_);
    other->setTimeZone(timeZone());
    return other;
}

std::shared_ptr<NSTimeZone> NSCalendar::timeZone() const {
    std::lock_guard lock(mutex_);
    return zone_;
}

void NSCalendar::setTimeZone(std::shared_ptr<NSTimeZone> zone) {
    std::lock_guard lock(mutex_);
    zone_ = std::move(zone);
    if (!zone_) {
        engine_->calendar->adoptTimeZone(icu::TimeZone::createDefault());
        return;
    }
    std::u16string units = toUtf16(zone_->name());
    engine_->calendar->adoptTimeZone(
        icu::TimeZone::createTimeZone(icu::UnicodeString(units.data(), static_cast<int32_t>(units.size()))));
}

NSCalendar::~NSCalendar() = default;

std::int64_t NSCalendar::component(double date, NSCalendarUnit unit) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    std::int64_t value = cal.get(fieldOf(unit), status);
    if (U_FAILURE(status)) return 0;
    if (unit == NSCalendarUnit::Month) return value + 1;
    if (unit == NSCalendarUnit::Quarter) return value / 3 + 1;
    return value;
}

double NSCalendar::adding(double date, NSCalendarUnit unit, std::int64_t amount) const {
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

std::int64_t NSCalendar::difference(double from, double to, NSCalendarUnit unit) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(from), status);
    std::int64_t value = cal.fieldDifference(toUDate(to), fieldOf(unit), status);
    return U_FAILURE(status) ? 0 : value;
}

NSCalendar::Span NSCalendar::span(double from, double to) const {
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

double NSCalendar::startOfDay(double date) const {
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

double NSCalendar::date(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour, std::int64_t minute,
                        std::int64_t second) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.clear();
    cal.set(static_cast<int32_t>(year), static_cast<int32_t>(month - 1), static_cast<int32_t>(day),
            static_cast<int32_t>(hour), static_cast<int32_t>(minute), static_cast<int32_t>(second));
    return fromUDate(cal.getTime(status));
}

std::int64_t NSCalendar::daysInMonth(double date) const {
    std::lock_guard lock(mutex_);
    icu::Calendar& cal = *engine_->calendar;
    UErrorCode status = U_ZERO_ERROR;
    cal.setTime(toUDate(date), status);
    std::int64_t days = cal.getActualMaximum(UCAL_DATE, status);
    return U_FAILURE(status) ? 0 : days;
}
