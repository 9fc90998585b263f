// The date library: calendar arithmetic and differences, components, parsing and formatting,
// relative texts and their plural markers.
#include "foundation/date_tools.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/storage/bundle.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

double at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateExtras::dateWithYear(y, mo, d, h, mi, s);
}

TEST(DateExtrasTest, LeapYearsAndCalendarDifferences) {
    EXPECT_FALSE(DateExtras::isLeapYear(1900));
    EXPECT_TRUE(DateExtras::isLeapYear(2000));
    EXPECT_TRUE(DateExtras::isLeapYear(2024));
    EXPECT_FALSE(DateExtras::isLeapYear(2023));
    EXPECT_EQ(DateExtras::daysInYear(at(2024, 6, 1)), 366);
    EXPECT_EQ(DateExtras::daysInMonth(at(2024, 2, 10)), 29);

    EXPECT_EQ(DateExtras::daysFrom(at(2024, 3, 1), at(2024, 2, 28)), 2);
    EXPECT_EQ(DateExtras::daysFrom(at(2024, 2, 28), at(2024, 3, 1)), -2);
    EXPECT_EQ(DateExtras::monthsFrom(at(2023, 3, 31), at(2023, 2, 28)), 1);
    EXPECT_EQ(DateExtras::yearsFrom(at(2020, 5, 1), at(2023, 4, 30)), -2);
    EXPECT_EQ(DateExtras::daysEarlierThan(at(2024, 2, 28), at(2024, 3, 1)), 2);
    EXPECT_EQ(DateExtras::daysLaterThan(at(2024, 2, 28), at(2024, 3, 1)), 0);
    EXPECT_DOUBLE_EQ(DateExtras::hoursFrom(at(2024, 1, 1, 1, 30), at(2024, 1, 1)), 1.5);

    EXPECT_EQ(DateExtras::dateByAddingMonths(at(2024, 1, 31, 8), 1), at(2024, 2, 29, 8));
    EXPECT_EQ(DateExtras::dateBySubtractingWeeks(at(2024, 1, 15), 2), at(2024, 1, 1));
    EXPECT_EQ(DateExtras::dateByAddingYears(at(2024, 2, 29), 1), at(2025, 2, 28));
}

TEST(DateExtrasTest, ComponentsOfADate) {
    double d = at(2024, 3, 5, 14, 7, 9);  // a Tuesday
    EXPECT_EQ(DateExtras::year(d), 2024);
    EXPECT_EQ(DateExtras::month(d), 3);
    EXPECT_EQ(DateExtras::day(d), 5);
    EXPECT_EQ(DateExtras::hour(d), 14);
    EXPECT_EQ(DateExtras::minute(d), 7);
    EXPECT_EQ(DateExtras::second(d), 9);
    EXPECT_EQ(DateExtras::weekday(d), 3);
    EXPECT_EQ(DateExtras::quarter(d), 1);
    EXPECT_EQ(DateExtras::dayOfYear(d), 65);
    EXPECT_EQ(DateExtras::era(d), 1);
    EXPECT_EQ(DateExtras::componentForDate(d, 14), 0);
    EXPECT_FALSE(DateExtras::isWeekend(d));
    EXPECT_TRUE(DateExtras::isWeekend(at(2024, 3, 9)));
    EXPECT_TRUE(DateExtras::isSameDay(at(2024, 3, 5), at(2024, 3, 5, 23, 59)));
    EXPECT_EQ(DateExtras::defaultCalendarIdentifier(), "gregorian");
}

TEST(DateExtrasTest, ParsingAndFormatting) {
    auto parsed = DateExtras::dateWithString("2024-03-05 10:20", "yyyy-MM-dd HH:mm", "UTC");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(DateExtras::formattedDateWithFormat(*parsed, "yyyy/MM/dd HH:mm", "UTC", "en_US"), "2024/03/05 10:20");
    EXPECT_EQ(DateExtras::formattedDateWithFormat(*parsed, "HH:mm", "Asia/Tokyo", "en_US"), "19:20");
    EXPECT_EQ(DateExtras::formattedDateWithStyle(*parsed, DateStyle::Long, "UTC", "en_US"), "March 5, 2024");
    EXPECT_FALSE(DateExtras::dateWithString("5 March", "yyyy-MM-dd"));
    EXPECT_FALSE(DateExtras::dateWithString("2024-03-05 trailing", "yyyy-MM-dd"));
}

TEST(DateExtrasTest, FormattersServeSeveralThreadsAtOnce) {
    double date = *DateExtras::dateWithString("2024-03-05", "yyyy-MM-dd", "UTC");
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::string format = t % 2 ? "yyyy" : "MM-dd";
            std::string expected = t % 2 ? "2024" : "03-05";
            for (int i = 0; i < 300; ++i) {
                if (DateExtras::formattedDateWithFormat(date, format, "UTC") != expected) ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(DateExtrasTest, TimeAgoTexts) {
    double now = at(2024, 5, 10, 10, 0, 0);
    EXPECT_EQ(DateExtras::timeAgo(now - (23 * 3600 + 59 * 60), now), "23 hours ago");
    EXPECT_EQ(DateExtras::timeAgo(now - 25 * 3600, now), "Yesterday");
    double earlyMorning = at(2024, 5, 10, 0, 30);
    EXPECT_EQ(DateExtras::timeAgo(earlyMorning - 25 * 3600, earlyMorning), "2 days ago");
    EXPECT_EQ(DateExtras::shortTimeAgoSinceDate(now - 90, now), "1m");
    EXPECT_EQ(DateExtras::timeAgo(now, now), "Just now");
    EXPECT_EQ(DateExtras::timeAgo(now - 1, now), "Just now");
    EXPECT_EQ(DateExtras::timeAgo(now - 1, now, false, true), "1 second ago");
    EXPECT_EQ(DateExtras::timeAgo(now, now - 5 * 60), "5 minutes ago");  // either order
    EXPECT_EQ(DateExtras::timeAgo(at(2023, 5, 1), now, true, false), "1 year ago");
    EXPECT_EQ(DateExtras::timeAgo(at(2022, 5, 1), now), "2 years ago");

    double threeDays = at(2024, 5, 7, 18, 0);  // a Tuesday
    EXPECT_EQ(DateExtras::weekTimeAgoSinceDate(threeDays, now), "Tue");
    EXPECT_EQ(DateExtras::weekTimeAgoSinceDate(at(2024, 5, 2, 12), now), "Last week");
    EXPECT_FALSE(DateExtras::localizedStringFor(TimeAgoFormat::LongWords, 7, 3, now));
}

TEST(DateExtrasTest, PluralMarkersOnlyInRussianAndUkrainian) {
    auto bundle = NSBundle::mainBundle();
    std::vector<std::string> saved = bundle->preferredLocalizations();
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(21), "");
    bundle->setPreferredLocalizations({"uk"});
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(21), "__");
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(1), "__");
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(101), "__");
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(22), "_");
    EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(4), "_");
    for (double v : {0.0, 5.0, 11.0, 12.0, 14.0, 20.0, 25.0, 111.0})
        EXPECT_EQ(DateExtras::getLocaleFormatUnderscoresWithValue(v), "") << v;
    EXPECT_EQ(DateExtras::logicLocalizedStringFromFormat("%%d %@days ago", 22), "22 _days ago");
    bundle->setPreferredLocalizations(saved);
}

class DateExtrasNowTest : public VirtualClockTest {};

TEST_F(DateExtrasNowTest, TodayAndTomorrowFollowTheClock) {
    double now = DateExtras::now();
    EXPECT_TRUE(DateExtras::isToday(now));
    EXPECT_TRUE(DateExtras::isTomorrow(DateExtras::dateByAddingDays(now, 1)));
    EXPECT_TRUE(DateExtras::isYesterday(DateExtras::dateBySubtractingDays(now, 1)));
    EXPECT_EQ(DateExtras::timeAgoSinceNow(now - 3 * 3600), "3 hours ago");
    loop().advance(2 * 86400);
    EXPECT_FALSE(DateExtras::isToday(now));
    EXPECT_EQ(DateExtras::daysAgo(now), 2);
}

}  // namespace
