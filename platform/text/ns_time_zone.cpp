// Time zones on ICU's zone database.
#include "platform/text/ns_time_zone.h"

#include <unicode/timezone.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/runtime/utf16.h"

namespace {
constexpr double kReferenceDateUnixSeconds = 978307200.0;
constexpr long kDay = 86400;

std::unique_ptr<icu::TimeZone> icuZone(const std::string& name) {
    std::u16string units = toUtf16(name);
    return std::unique_ptr<icu::TimeZone>(
        icu::TimeZone::createTimeZone(icu::UnicodeString(units.data(), static_cast<int32_t>(units.size()))));
}
}  // namespace

std::shared_ptr<NSTimeZone> NSTimeZone::timeZoneWithName(const std::string& name) {
    if (name.empty()) return nullptr;
    auto zone = icuZone(name);
    if (!zone || *zone == icu::TimeZone::getUnknown()) return nullptr;
    return std::make_shared<NSTimeZone>(name);
}

std::shared_ptr<NSTimeZone> NSTimeZone::timeZoneForSecondsFromGMT(long seconds) {
    if (seconds <= -kDay || seconds >= kDay) return nullptr;
    long minutes = std::labs(seconds) / 60;
    char name[32];  // room for any long, though the range check keeps it to "GMT+hhmm"
    std::snprintf(name, sizeof name, "GMT%c%02ld%02ld", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return std::make_shared<NSTimeZone>(name, seconds, true);
}

std::shared_ptr<NSTimeZone> NSTimeZone::localTimeZone() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    icu::UnicodeString id;
    zone->getID(id);
    std::string name = fromUtf16(std::u16string_view(id.getBuffer(), static_cast<std::size_t>(id.length())));
    return std::make_shared<NSTimeZone>(name.empty() ? "UTC" : name);
}

long NSTimeZone::secondsFromGMTForDate(double date) const {
    if (fixed_) return fixedOffset_;
    auto zone = icuZone(name_);
    if (!zone) return 0;
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset((date + kReferenceDateUnixSeconds) * 1000.0, false, raw, dst, status);
    return U_FAILURE(status) ? 0 : (raw + dst) / 1000;
}
