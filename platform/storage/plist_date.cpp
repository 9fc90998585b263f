// ISO 8601 dates for XML property lists, on the proleptic Gregorian calendar.
#include "platform/storage/plist_date.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace storage_detail {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const std::int64_t kReferenceDay = daysFromCivil(2001, 1, 1);

}  // namespace

std::optional<std::string> formatPlistDate(double seconds) {
    if (!std::isfinite(seconds) || std::fabs(seconds) > 3e11) return std::nullopt;
    std::int64_t whole = static_cast<std::int64_t>(std::floor(seconds));
    std::int64_t days =
        kReferenceDay + (whole >= 0 ? whole / kSecondsPerDay : -((-whole + kSecondsPerDay - 1) / kSecondsPerDay));
    std::int64_t rest = whole - (days - kReferenceDay) * kSecondsPerDay;
    std::int64_t y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02dZ", static_cast<long long>(y), m, d,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return std::string(text);
}

std::optional<double> parsePlistDate(const std::string& text) {
    long long y;
    unsigned mo, d, h, mi, s;
    char z = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), " %lld-%u-%uT%u:%u:%u%c %n", &y, &mo, &d, &h, &mi, &s, &z, &used) != 7 || z != 'Z' ||
        static_cast<std::size_t>(used) != text.size() || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 ||
        s > 60 || y < -9999999 || y > 9999999) {
        return std::nullopt;
    }
    std::int64_t days = daysFromCivil(y, mo, d) - kReferenceDay;
    return static_cast<double>(days * kSecondsPerDay + h * 3600 + mi * 60 + s);
}

}  // namespace storage_detail
