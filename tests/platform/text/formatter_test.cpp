// Date formatting with a fixed pattern, and person-name initials.
#include <gtest/gtest.h>

#include "platform/text/date_formatter.h"
#include "platform/text/person_name_formatter.h"

TEST(DateFormatter, ParsesOnlyTextOfThePatternsForm) {
    NSDateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd");
    formatter.setTimeZoneName("UTC");
    formatter.setLocaleIdentifier("en_US_POSIX");
    auto date = formatter.dateFromString("2001-01-02");
    ASSERT_TRUE(date);
    EXPECT_DOUBLE_EQ(*date, 86400.0);
    EXPECT_EQ(formatter.stringFromDate(86400.0), "2001-01-02");
    for (const char* bad : {"", "2001-13-01", "2001-02-30", "01/02/2001", "2001-01-02x", "yesterday"})
        EXPECT_FALSE(formatter.dateFromString(bad)) << bad;
}

TEST(DateFormatter, TimeZoneShiftsTheInstant) {
    NSDateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm");
    formatter.setLocaleIdentifier("en_US_POSIX");
    formatter.setTimeZoneName("Europe/Helsinki");
    auto date = formatter.dateFromString("2001-01-01 02:00");
    ASSERT_TRUE(date);
    EXPECT_DOUBLE_EQ(*date, 0.0);  // UTC+2 in winter
}

TEST(PersonNameFormatter, AbbreviatedStyleGivesInitials) {
    NSPersonNameComponentsFormatter formatter;
    formatter.setStyle(NSPersonNameComponentsFormatterStyle::Abbreviated);
    EXPECT_EQ(formatter.stringFromPersonNameComponents({"Alpha", "Beta", "Gamma"}), "AG");
    EXPECT_EQ(formatter.stringFromPersonNameComponents({"Solo", std::nullopt, std::nullopt}), "S");
    EXPECT_EQ(formatter.stringFromPersonNameComponents({std::nullopt, std::nullopt, "Éclair"}), "É");
    EXPECT_EQ(formatter.stringFromPersonNameComponents({}), "");
    formatter.setStyle(NSPersonNameComponentsFormatterStyle::Long);
    EXPECT_EQ(formatter.stringFromPersonNameComponents({"Alpha", "Beta", "Gamma"}), "Alpha Beta Gamma");
}
