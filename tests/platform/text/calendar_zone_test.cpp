// Calendars, time zones and locales by identifier, and the date formatter in another calendar.
#include <gtest/gtest.h>

#include "platform/text/date_formatter.h"
#include "platform/text/ns_calendar.h"
#include "platform/text/ns_locale.h"
#include "platform/text/ns_time_zone.h"

namespace {
// 2024-03-15 12:00:00 UTC.
constexpr double kMarchNoon = 732196800;
}  // namespace

TEST(CalendarZoneTest, IdentifiersAreCheckedAndUnknownOnesRefused) {
    EXPECT_EQ(NSCalendar::calendarWithIdentifier("no-such-calendar"), nullptr);
    EXPECT_EQ(NSCalendar::calendarWithIdentifier(""), nullptr);
    auto buddhist = NSCalendar::calendarWithIdentifier("buddhist");
    ASSERT_NE(buddhist, nullptr);
    EXPECT_EQ(buddhist->calendarIdentifier(), "buddhist");
    EXPECT_EQ(NSCalendar("nonsense").calendarIdentifier(), "gregorian");
    EXPECT_EQ(NSTimeZone::timeZoneWithName("Mars/Olympus"), nullptr);
    EXPECT_EQ(NSTimeZone::timeZoneForSecondsFromGMT(90000), nullptr);
    EXPECT_EQ(NSLocale::localeWithLocaleIdentifier(""), nullptr);
    EXPECT_EQ(NSLocale::localeWithLocaleIdentifier("fi_FI")->localeIdentifier(), "fi_FI");
    EXPECT_FALSE(NSLocale::currentLocale()->localeIdentifier().empty());
    EXPECT_NE(NSCalendar::currentCalendar(), nullptr);
}

TEST(CalendarZoneTest, ZonesGiveTheirOffsetsAtADate) {
    auto tokyo = NSTimeZone::timeZoneWithName("Asia/Tokyo");
    ASSERT_NE(tokyo, nullptr);
    EXPECT_EQ(tokyo->secondsFromGMTForDate(kMarchNoon), 9 * 3600);
    auto helsinki = NSTimeZone::timeZoneWithName("Europe/Helsinki");
    EXPECT_EQ(helsinki->secondsFromGMTForDate(kMarchNoon), 2 * 3600);
    EXPECT_EQ(helsinki->secondsFromGMTForDate(kMarchNoon + 120 * 86400), 3 * 3600) << "summer time";
    auto fixed = NSTimeZone::timeZoneForSecondsFromGMT(-(5 * 3600 + 30 * 60));
    EXPECT_EQ(fixed->name(), "GMT-0530");
    EXPECT_EQ(fixed->secondsFromGMTForDate(0), -(5 * 3600 + 30 * 60));
}

TEST(CalendarZoneTest, ComponentsFollowTheCalendarAndItsZone) {
    auto buddhist = NSCalendar::calendarWithIdentifier("buddhist");
    buddhist->setTimeZone(NSTimeZone::timeZoneWithName("UTC"));
    EXPECT_EQ(buddhist->component(kMarchNoon, NSCalendarUnit::Year), 2567);
    auto gregorian = NSCalendar::calendarWithIdentifier("gregorian");
    gregorian->setTimeZone(NSTimeZone::timeZoneForSecondsFromGMT(13 * 3600));
    EXPECT_EQ(gregorian->component(kMarchNoon, NSCalendarUnit::Day), 16) << "past midnight thirteen hours ahead";
    auto copy = gregorian->copy();
    EXPECT_EQ(copy->timeZone()->name(), "GMT+1300");
    EXPECT_EQ(copy->component(kMarchNoon, NSCalendarUnit::Hour), 1);
}

TEST(CalendarZoneTest, TheFormatterWritesInItsCalendar) {
    NSDateFormatter f;
    f.setLocaleIdentifier("en_US");
    f.setTimeZoneName("UTC");
    f.setDateFormat("y-MM-dd");
    EXPECT_EQ(f.stringFromDate(kMarchNoon), "2024-03-15");
    f.setCalendarIdentifier("buddhist");
    EXPECT_EQ(f.stringFromDate(kMarchNoon), "2567-03-15");
    EXPECT_EQ(f.dateFromString("2567-03-15"), kMarchNoon - 12 * 3600);
}
