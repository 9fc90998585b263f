// DateExtras: calendars, components, construction, differences and formatting.
#include "foundation/date_tools.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <mutex>

#include "foundation/date_custom.h"

namespace {

constexpr double kSince1970 = 978307200.0;

struct CalendarState {
    std::mutex mutex;
    std::optional<std::string> identifier;
    std::shared_ptr<DateCalendar> implicit = std::make_shared<DateCalendar>("gregorian");
};

CalendarState& calendarState() {
    static CalendarState state;
    return state;
}

// The load step of the library: the implicit calendar is Gregorian from the start.
const bool kLoaded = [] {
    DateExtras::setDefaultCalendarIdentifier(std::string("gregorian"));
    return true;
}();

std::int64_t signedDifference(double d, double other, CalendarUnit unit, const DateCalendar* calendar) {
    std::shared_ptr<DateCalendar> implicit;
    if (!calendar) {
        implicit = DateExtras::implicitCalendar();
        calendar = implicit.get();
    }
    double earlier = std::min(d, other), later = std::max(d, other);
    std::int64_t value = calendar->difference(earlier, later, unit);
    return d < other ? -value : value;
}

icu::TimeZone* zoneNamed(const std::string& name) {
    if (name.empty()) return icu::TimeZone::createDefault();
    return icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name));
}

icu::Locale localeNamed(const std::string& name) {
    return name.empty() ? icu::Locale::getDefault() : icu::Locale(name.c_str());
}

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace

void DateExtras::setDefaultCalendarIdentifier(std::optional<std::string> identifier) {
    auto calendar = std::make_shared<DateCalendar>(identifier.value_or("gregorian"));
    CalendarState& state = calendarState();
    std::lock_guard lock(state.mutex);
    state.identifier = std::move(identifier);
    state.implicit = std::move(calendar);
}

std::optional<std::string> DateExtras::defaultCalendarIdentifier() {
    (void)kLoaded;
    CalendarState& state = calendarState();
    std::lock_guard lock(state.mutex);
    return state.identifier;
}

std::shared_ptr<DateCalendar> DateExtras::implicitCalendar() {
    CalendarState& state = calendarState();
    std::lock_guard lock(state.mutex);
    return state.implicit;
}

std::shared_ptr<DateCalendar> DateExtras::currentCalendar() {
    static std::shared_ptr<DateCalendar> current = std::make_shared<DateCalendar>("gregorian");
    return current;
}

double DateExtras::now() {
    return dateNow();
}

std::int64_t DateExtras::componentForDate(double date, unsigned type, const DateCalendar* calendar) {
    if (type > 13) return 0;
    std::shared_ptr<DateCalendar> implicit;
    if (!calendar) {
        implicit = implicitCalendar();
        calendar = implicit.get();
    }
    return calendar->component(date, static_cast<CalendarUnit>(type));
}

std::int64_t DateExtras::daysInMonth(double date) {
    return currentCalendar()->daysInMonth(date);
}

bool DateExtras::isSameDay(double date, double other) {
    const DateCalendar& cal = *currentCalendar();
    for (CalendarUnit unit : {CalendarUnit::Era, CalendarUnit::Year, CalendarUnit::Month, CalendarUnit::Day}) {
        if (cal.component(date, unit) != cal.component(other, unit)) return false;
    }
    return true;
}

bool DateExtras::isToday(double date) {
    return isSameDay(date, now());
}
bool DateExtras::isTomorrow(double date) {
    return isSameDay(date, dateByAddingDays(now(), 1));
}
bool DateExtras::isYesterday(double date) {
    return isSameDay(date, dateBySubtractingDays(now(), 1));
}

bool DateExtras::isWeekend(double date) {
    const DateCalendar& cal = *currentCalendar();
    std::int64_t weekday = cal.component(date, CalendarUnit::Weekday);
    return weekday == cal.minimumWeekday() || weekday == cal.maximumWeekday();
}

double DateExtras::dateWithYear(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                std::int64_t minute, std::int64_t second) {
    return implicitCalendar()->date(year, month, day, hour, minute, second);
}

std::optional<double> DateExtras::dateWithString(const std::string& text, const std::string& format,
                                                 const std::string& timeZone) {
    thread_local std::unique_ptr<icu::SimpleDateFormat> parser;
    UErrorCode status = U_ZERO_ERROR;
    if (!parser)
        parser = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(), icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) return std::nullopt;
    parser->applyPattern(icu::UnicodeString::fromUTF8(format));
    parser->adoptTimeZone(zoneNamed(timeZone));
    parser->setLenient(false);
    icu::UnicodeString source = icu::UnicodeString::fromUTF8(text);
    icu::ParsePosition position(0);
    UDate parsed = parser->parse(source, position);
    if (position.getIndex() == 0 || position.getIndex() != source.length()) return std::nullopt;
    return parsed / 1000.0 - kSince1970;
}

std::int64_t DateExtras::yearsFrom(double d, double o, const DateCalendar* c) {
    return signedDifference(d, o, CalendarUnit::Year, c);
}
std::int64_t DateExtras::monthsFrom(double d, double o, const DateCalendar* c) {
    return signedDifference(d, o, CalendarUnit::Month, c);
}
std::int64_t DateExtras::weeksFrom(double d, double o, const DateCalendar* c) {
    return signedDifference(d, o, CalendarUnit::WeekOfYear, c);
}
std::int64_t DateExtras::daysFrom(double d, double o, const DateCalendar* c) {
    return signedDifference(d, o, CalendarUnit::Day, c);
}

std::string DateExtras::formattedDateWithStyle(double date, DateStyle style, const std::string& timeZone,
                                               const std::string& locale) {
    if (style == DateStyle::None) return {};
    icu::DateFormat::EStyle icuStyle = style == DateStyle::Short    ? icu::DateFormat::kShort
                                       : style == DateStyle::Medium ? icu::DateFormat::kMedium
                                       : style == DateStyle::Long   ? icu::DateFormat::kLong
                                                                    : icu::DateFormat::kFull;
    // One formatter per thread and configuration call: callers on several threads never share one.
    std::unique_ptr<icu::DateFormat> formatter(icu::DateFormat::createDateInstance(icuStyle, localeNamed(locale)));
    if (!formatter) return {};
    formatter->adoptTimeZone(zoneNamed(timeZone));
    icu::UnicodeString out;
    formatter->format((date + kSince1970) * 1000.0, out);
    return utf8(out);
}

std::string DateExtras::formattedDateWithFormat(double date, const std::string& format, const std::string& timeZone,
                                                const std::string& locale) {
    thread_local std::unique_ptr<icu::SimpleDateFormat> formatter;
    UErrorCode status = U_ZERO_ERROR;
    if (!formatter) formatter = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(), status);
    if (U_FAILURE(status)) return {};
    formatter->applyPattern(icu::UnicodeString::fromUTF8(format));
    formatter->adoptTimeZone(zoneNamed(timeZone));
    // The locale's symbols (month and day names) come with a formatter made for it.
    if (!locale.empty()) {
        icu::SimpleDateFormat local(icu::UnicodeString::fromUTF8(format), localeNamed(locale), status);
        if (U_FAILURE(status)) return {};
        local.adoptTimeZone(zoneNamed(timeZone));
        icu::UnicodeString out;
        local.format((date + kSince1970) * 1000.0, out);
        return utf8(out);
    }
    icu::UnicodeString out;
    formatter->format((date + kSince1970) * 1000.0, out);
    return utf8(out);
}
