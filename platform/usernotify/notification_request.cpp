// Calendar triggers: the local date their components name.
#include "platform/usernotify/notification_request.h"

#include <cmath>
#include <ctime>

namespace {

constexpr double kSince1970 = 978307200.0;

}  // namespace

std::optional<double> UNCalendarNotificationTrigger::nextTriggerDate(double from) const {
    const NSDateComponents& c = dateComponents;
    std::time_t base = static_cast<std::time_t>(std::floor(from + kSince1970));
    std::tm parts{};
    localtime_r(&base, &parts);
    // Fully given components: the one date they name (possibly in the past: none).
    if (c.year && c.month && c.day && c.hour && c.minute && c.second) {
        std::tm wanted{};
        wanted.tm_year = static_cast<int>(*c.year - 1900);
        wanted.tm_mon = static_cast<int>(*c.month - 1);
        wanted.tm_mday = static_cast<int>(*c.day);
        wanted.tm_hour = static_cast<int>(*c.hour);
        wanted.tm_min = static_cast<int>(*c.minute);
        wanted.tm_sec = static_cast<int>(*c.second);
        wanted.tm_isdst = -1;
        std::time_t when = std::mktime(&wanted);
        if (when == static_cast<std::time_t>(-1)) return std::nullopt;
        double date = static_cast<double>(when) - kSince1970;
        if (date + 1.0 <= from) return std::nullopt;
        return std::max(date, from);
    }
    // Partial components: search second by second within the coming day (enough for the
    // hour/minute/second patterns a repeating reminder uses).
    for (std::int64_t step = 0; step <= 86400; ++step) {
        std::time_t t = base + step;
        std::tm p{};
        localtime_r(&t, &p);
        if ((!c.year || *c.year == p.tm_year + 1900) && (!c.month || *c.month == p.tm_mon + 1) &&
            (!c.day || *c.day == p.tm_mday) && (!c.hour || *c.hour == p.tm_hour) &&
            (!c.minute || *c.minute == p.tm_min) && (!c.second || *c.second == p.tm_sec)) {
            return std::max(static_cast<double>(t) - kSince1970, from);
        }
    }
    return std::nullopt;
}
