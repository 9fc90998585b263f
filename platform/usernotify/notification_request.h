// Local notification requests: content, a calendar trigger and the request that joins them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/value.h"

// Calendar fields a trigger matches; a missing field matches any value.
struct NSDateComponents {
    std::optional<std::int64_t> year, month, day, hour, minute, second;
    bool operator==(const NSDateComponents&) const = default;
};

struct UNNotificationContent {
    std::string title;
    std::string body;
    bool defaultSound = false;
    std::string categoryIdentifier;
    Value userInfo = Value::dictionary();
};

struct UNCalendarNotificationTrigger {
    NSDateComponents dateComponents;
    bool repeats = false;
    // The next local date (seconds since 2001-01-01 UTC) at or after `from` whose fields match;
    // none when no such date exists. Fully given components name exactly one date.
    std::optional<double> nextTriggerDate(double from) const;
};

struct UNNotificationRequest {
    std::string identifier;
    UNNotificationContent content;
    UNCalendarNotificationTrigger trigger;
};

// Bit options of authorisation and presentation.
enum : unsigned { UNAuthorizationOptionBadge = 1, UNAuthorizationOptionSound = 2, UNAuthorizationOptionAlert = 4 };
enum : unsigned {
    UNNotificationPresentationOptionBadge = 1,
    UNNotificationPresentationOptionSound = 2,
    UNNotificationPresentationOptionAlert = 4
};
