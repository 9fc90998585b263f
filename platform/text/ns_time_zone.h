// NSTimeZone: a zone by identifier ("Europe/Helsinki", "UTC"), a fixed offset from GMT, or the
// device's own (TZ, else the system's). Immutable, so shared freely between threads.
#pragma once

#include <memory>
#include <string>

class NSTimeZone {
public:
    // None for an identifier the zone database does not know.
    static std::shared_ptr<NSTimeZone> timeZoneWithName(const std::string& name);
    // "GMT+0900" style names; offsets beyond a day are refused (none).
    static std::shared_ptr<NSTimeZone> timeZoneForSecondsFromGMT(long seconds);
    static std::shared_ptr<NSTimeZone> localTimeZone();

    const std::string& name() const { return name_; }
    // The offset in force at the date (seconds since 2001-01-01 UTC), summer time included.
    long secondsFromGMTForDate(double date) const;

    explicit NSTimeZone(std::string name, long fixedOffset = 0, bool fixed = false)
        : name_(std::move(name)), fixedOffset_(fixedOffset), fixed_(fixed) {}

private:
    std::string name_;
    long fixedOffset_;
    bool fixed_;
};
