// Date and number helpers: calendar differences, fixed-day offsets, expiry tests and texts.
#include <cstdlib>
#include <ctime>

#include "foundation/date_custom.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

// Runs the test body in a fixed time zone and restores the old one after.
class TimeZoneTest : public VirtualClockTest {
protected:
    void useZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void SetUp() override {
        VirtualClockTest::SetUp();
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (old) oldZone_ = old;
        useZone("UTC");
    }
    void TearDown() override {
        if (hadZone_) {
            setenv("TZ", oldZone_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        VirtualClockTest::TearDown();
    }
    bool hadZone_ = false;
    std::string oldZone_;
};

// 2026-03-04 (a Wednesday) at h:m:s UTC, in seconds since the reference date.
double march4(int h, int m, int s) {
    return 794275200.0 + h * 3600 + m * 60 + s;
}

}  // namespace

TEST_F(TimeZoneTest, CalendarDifferencesCountUnitBoundaries) {
    EXPECT_EQ(calcDay(march4(23, 59, 0), march4(24, 1, 0)), 1);
    EXPECT_EQ(calcDay(march4(0, 1, 0), march4(23, 59, 0)), 0);
    EXPECT_EQ(calcDay(march4(12, 0, 0), march4(12, 0, 0) - 3 * 86400), -3);
    EXPECT_EQ(calcHour(march4(10, 59, 0), march4(11, 0, 1)), 1);
    EXPECT_EQ(calcMinute(march4(10, 0, 59), march4(10, 1, 0)), 1);
    EXPECT_EQ(calcMinute(march4(10, 1, 0), march4(10, 0, 59)), -1);
}

TEST_F(TimeZoneTest, ComponentsAndTexts) {
    const double d = march4(7, 5, 9);
    EXPECT_EQ(getDay(d), 4);
    EXPECT_EQ(getHour(d), 7);
    EXPECT_EQ(getMinute(d), 5);
    EXPECT_EQ(getSecond(d), 9);
    EXPECT_EQ(getWeekdayNumber(d), 4);  // Wednesday
    EXPECT_EQ(getYearMonthDay(d), "2026-03-04");
    EXPECT_EQ(serverFormatted(d), "2026-03-04");
    EXPECT_FALSE(getWeekdayLong(d).empty());
    EXPECT_FALSE(getTitle(d).empty());
}

TEST_F(TimeZoneTest, OffsetsAreFixedDays) {
    const double d = march4(12, 0, 0);
    EXPECT_EQ(offseted(d, 0), d);
    EXPECT_EQ(nextDay(d), d + 86400);
    EXPECT_EQ(prevDay(d), d - 86400);
    // Across a daylight-saving change the wall-clock time moves by an hour.
    useZone("Europe/Helsinki");
    const double beforeChange = 796039200.0;  // 2026-03-24 10:00 UTC, noon in winter time
    const double after = offseted(beforeChange, 7);
    EXPECT_EQ(getHour(after), getHour(beforeChange) + 1);
}

TEST_F(TimeZoneTest, NearestWeekdayMovesForwardUpToSixDays) {
    const double d = march4(9, 0, 0);  // Wednesday, w = 3
    EXPECT_EQ(nearestWeekday(d, 3), d);
    EXPECT_EQ(nearestWeekday(d, 2), d + 6 * 86400);
    EXPECT_EQ(nearestWeekday(d, 5), d + 2 * 86400);
}

TEST_F(TimeZoneTest, ExpiryTestsFlipAtTheInterval) {
    const double now = dateNow();
    EXPECT_TRUE(isExpired(now - 86400, 86400));
    EXPECT_FALSE(isNotExpired(now - 86400, 86400));
    EXPECT_TRUE(isAfterOffset(now - 86400, 86400));
    EXPECT_FALSE(isExpired(now - 86399, 86400));
    EXPECT_TRUE(isNotExpired(now - 86399, 86400));
    EXPECT_FALSE(isAfterOffset(now - 86399, 86400));
    const double stamp = dateNow();
    loop().advance(10);  // time moves with the clock
    EXPECT_TRUE(isExpired(stamp, 5));
    EXPECT_TRUE(isNotExpired(stamp, 60));
}

TEST_F(TimeZoneTest, JsonFormsAndDurations) {
    EXPECT_EQ(dateJson(0), 978307200.0);
    EXPECT_EQ(dateFromJSON(978307200.5), 0.5);
    EXPECT_EQ(dateFromJSONInteger(Value(978307200.9)), 0.0);
    EXPECT_EQ(duration(59), "00:59");
    EXPECT_EQ(duration(3599), "59:59");
    EXPECT_EQ(duration(3600), "01:00:00");
    EXPECT_EQ(duration(3725), "01:02:05");
    EXPECT_EQ(duration(90000), "01:00:00");  // hours count within one day
    EXPECT_EQ(numberWithTimeZoneOffset(), 0);
    useZone("Asia/Kolkata");
    EXPECT_EQ(numberWithTimeZoneOffset(), 330);
    useZone("America/St_Johns");
    EXPECT_TRUE(numberWithTimeZoneOffset() == -210 || numberWithTimeZoneOffset() == -150);
}

TEST_F(TimeZoneTest, HourMinuteToday) {
    auto d = dateWithHourMinute(7, 5);
    ASSERT_TRUE(d);
    EXPECT_EQ(getHour(*d), 7);
    EXPECT_EQ(getMinute(*d), 5);
    EXPECT_EQ(calcDay(dateNow(), *d), 0);
    EXPECT_FALSE(dateWithHourMinute(24, 0));
    EXPECT_FALSE(dateWithHourMinute(1, 60));
    EXPECT_FALSE(dateWithHourMinute(-1, 0));
}

TEST(SetJson, ArraysAndSets) {
    EXPECT_FALSE(setFromJSON(Value()));
    auto empty = setFromJSON(Value::array());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isSet());
    EXPECT_EQ(empty->count(), 0u);
    auto set = setFromJSON(Value::array({Value(1), Value(1), Value("a")}));
    ASSERT_TRUE(set);
    EXPECT_EQ(set->count(), 2u);
    EXPECT_EQ(setJson(*set).count(), 2u);
}
