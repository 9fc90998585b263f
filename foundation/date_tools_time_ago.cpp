// DateExtras: relative "time ago" texts with the plural markers of Russian and Ukrainian and the
// string table of the library's resource bundle.
#include <cmath>
#include <map>
#include <mutex>

#include "foundation/date_tools.h"
#include "foundation/strings_table.h"
#include "platform/storage/bundle.h"
#include "platform/text/date_formatter.h"

namespace {

// The table of the bundle in use, read once per bundle folder.
Value dateExtrasTable() {
    static std::mutex mutex;
    static std::map<std::string, Value> tables;
    auto main = NSBundle::mainBundle();
    std::string folder = main->resourcePath() + "/DateExtras.bundle";
    std::lock_guard lock(mutex);
    auto found = tables.find(folder);
    if (found != tables.end()) return found->second;
    Value table = Value::dictionary();
    if (auto bundle = NSBundle::bundleWithPath(folder)) {
        bundle->setPreferredLocalizations(main->preferredLocalizations());
        if (auto path = bundle->pathForResource("DateExtras", "strings")) {
            if (auto read = readStringsTable(*path)) table = read.value();
        }
    }
    tables[folder] = table;
    return table;
}

// The text with its "%d" (or "%ld") filled with the value.
std::string withValue(const std::string& format, std::int64_t value) {
    std::string out = format;
    for (const char* marker : {"%ld", "%d"}) {
        std::size_t at = out.find(marker);
        if (at != std::string::npos) return out.replace(at, std::string_view(marker).size(), std::to_string(value));
    }
    return out;
}

std::string fill(const std::string& pattern, const std::string& marker) {
    // "%%d %@days ago" -> "%d" + marker + "days ago"
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%%") == 0) {
            out += '%';
            ++i;
        } else if (pattern.compare(i, 2, "%@") == 0) {
            out += marker;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

std::string DateExtras::localizedString(const std::string& key) {
    Value found = dateExtrasTable()[key];
    return found.isString() ? *found.string() : key;
}

std::string DateExtras::getLocaleFormatUnderscoresWithValue(double value) {
    std::vector<std::string> languages = NSBundle::mainBundle()->preferredLocalizations();
    if (languages.empty() || (languages.front() != "ru-RU" && languages.front() != "uk")) return {};
    std::int64_t n = static_cast<std::int64_t>(static_cast<std::int32_t>(std::floor(value)));
    std::int64_t d = n % 10, h = n % 100;
    if (d >= 1 && d <= 4 && !(h >= 11 && h <= 14)) {
        if (d >= 2 && !(h >= 10 && h <= 20)) return "_";
        if (d == 1 && h != 11) return "__";
    }
    return {};
}

std::string DateExtras::logicLocalizedStringFromFormat(const std::string& pattern, std::int64_t value) {
    std::string key = fill(pattern, getLocaleFormatUnderscoresWithValue(static_cast<double>(value)));
    return withValue(localizedString(key), value);
}

std::optional<std::string> DateExtras::localizedStringFor(TimeAgoFormat format, unsigned valueType, std::int64_t value,
                                                          double date) {
    if (valueType > 6) return std::nullopt;
    bool numericDates = format == TimeAgoFormat::LongNumericDatesAndTimes || format == TimeAgoFormat::LongNumericDates;
    bool numericTimes = format == TimeAgoFormat::LongNumericDatesAndTimes || format == TimeAgoFormat::LongNumericTimes;
    if (format != TimeAgoFormat::Short && value < 2) {
        static const char* const kNumeric[] = {"1 year ago", "1 month ago",  "1 week ago",  "1 day ago",
                                               "1 hour ago", "1 minute ago", "1 second ago"};
        static const char* const kWords[] = {"Last year",   "Last month",   "Last week", "Yesterday",
                                             "An hour ago", "A minute ago", "Just now"};
        bool numeric = valueType <= 3 ? numericDates : numericTimes;
        return localizedString(numeric ? kNumeric[valueType] : kWords[valueType]);
    }
    if (format == TimeAgoFormat::Week && valueType == 3 && value >= 2 && value <= 7) {
        NSDateFormatter weekday;
        weekday.setDateFormat("EEE");
        return localizedString(weekday.stringFromDate(date));
    }
    static const char* const kLong[] = {"%%d %@years ago", "%%d %@months ago",  "%%d %@weeks ago",  "%%d %@days ago",
                                        "%%d %@hours ago", "%%d %@minutes ago", "%%d %@seconds ago"};
    static const char* const kShort[] = {"%%d%@y", "%%d%@M", "%%d%@w", "%%d%@d", "%%d%@h", "%%d%@m", "%%d%@s"};
    return logicLocalizedStringFromFormat(format == TimeAgoFormat::Short ? kShort[valueType] : kLong[valueType], value);
}

std::optional<std::string> DateExtras::timeAgoSinceDate(double date, double other, TimeAgoFormat format) {
    double earlier = std::min(date, other), later = std::max(date, other);
    double elapsed = later - earlier;
    std::int64_t hours = static_cast<std::int64_t>(elapsed / 3600.0);
    const DateCalendar& cal = *currentCalendar();
    if (hours > 23) {
        DateCalendar::Span span = cal.span(cal.startOfDay(earlier), cal.startOfDay(later));
        if (span.years != 0) return localizedStringFor(format, 0, span.years, date);
        if (span.months != 0) return localizedStringFor(format, 1, span.months, date);
        if (span.weeks != 0) return localizedStringFor(format, 2, span.weeks, date);
        return localizedStringFor(format, 3, span.days, date);
    }
    if (hours >= 1) return localizedStringFor(format, 4, hours, date);
    std::int64_t minutes = static_cast<std::int64_t>(elapsed / 60.0);
    if (minutes >= 1) return localizedStringFor(format, 5, minutes, date);
    return localizedStringFor(format, 6, static_cast<std::int64_t>(elapsed), date);
}

std::string DateExtras::timeAgo(double date, double other, bool numericDates, bool numericTimes) {
    TimeAgoFormat format = numericDates && numericTimes ? TimeAgoFormat::LongNumericDatesAndTimes
                           : numericDates               ? TimeAgoFormat::LongNumericDates
                           : numericTimes               ? TimeAgoFormat::LongNumericTimes
                                                        : TimeAgoFormat::LongWords;
    return timeAgoSinceDate(date, other, format).value_or("");
}
