// The data detector: each kind with its value, kinds chosen by the mask, overlaps, ranges.
#include "platform/text/data_detector.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include "platform/runtime/utf16.h"
#include "platform/text/date_formatter.h"

namespace {

std::shared_ptr<NSDataDetector> detector(NSTextCheckingType types) {
    auto made = NSDataDetector::dataDetectorWithTypes(types);
    EXPECT_TRUE(made.ok()) << (made.ok() ? "" : made.error());
    return made.ok() ? *made : nullptr;
}

std::vector<NSTextCheckingResult> find(NSTextCheckingType types, const std::string& text) {
    return detector(types)->matchesInString(text, 0, {0, 1000});
}

constexpr NSTextCheckingType kAll = NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber | NSTextCheckingTypeDate |
                                    NSTextCheckingTypeAddress | NSTextCheckingTypeTransitInformation;

TEST(DataDetector, MasksWithoutAKnownKindFail) {
    EXPECT_FALSE(NSDataDetector::dataDetectorWithTypes(0).ok());
    EXPECT_FALSE(NSDataDetector::dataDetectorWithTypes(NSTextCheckingTypeRegularExpression).ok());
    EXPECT_FALSE(NSDataDetector::dataDetectorWithTypes(NSTextCheckingTypeLink | (1ull << 40)).ok());
    EXPECT_EQ(detector(kAll)->checkingTypes(), kAll);
}

TEST(DataDetector, LinksWithTheirAddresses) {
    auto found = find(NSTextCheckingTypeLink, "See https://example.com/a?b=1, www.korva.fi and mail me@host.org.");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].resultType, NSTextCheckingTypeLink);
    EXPECT_EQ(found[0].URL->absoluteString(), "https://example.com/a?b=1");
    EXPECT_EQ(found[0].range(), NSMakeRange(4, 25));  // the comma is not part of it
    EXPECT_EQ(found[1].URL->absoluteString(), "http://www.korva.fi");
    EXPECT_EQ(found[2].URL->absoluteString(), "mailto:me@host.org");
    // Ranges count UTF-16 units.
    auto after = find(NSTextCheckingTypeLink, "\xF0\x9F\x98\x80 example.org");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].range().location, 3u);
}

TEST(DataDetector, PhoneNumbersNeedSevenToFifteenDigits) {
    auto found = find(NSTextCheckingTypePhoneNumber, "Call +358 40 123 4567 or 555-0100, not 12-34.");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].phoneNumber, "+358 40 123 4567");
    EXPECT_EQ(found[1].phoneNumber, "555-0100");
}

TEST(DataDetector, DatesInTheDevicesZone) {
    std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    auto found = find(NSTextCheckingTypeDate, "Party on December 25, 2026 at 3:30 pm, or 2027-01-02.");
    icu::TimeZone::adoptDefault(saved.release());
    ASSERT_EQ(found.size(), 2u);
    NSDateFormatter f;
    f.setDateFormat("yyyy-MM-dd HH:mm");
    f.setTimeZoneName("UTC");
    f.setLocaleIdentifier("en_US_POSIX");
    EXPECT_EQ(f.stringFromDate(*found[0].date), "2026-12-25 15:30");
    EXPECT_EQ(utf16Substring("Party on December 25, 2026 at 3:30 pm", found[0].range()),
              "December 25, 2026 at 3:30 pm");
    EXPECT_EQ(f.stringFromDate(*found[1].date), "2027-01-02 12:00");
    EXPECT_FALSE(found[0].timeZone.has_value());
    // Impossible dates are not dates.
    EXPECT_TRUE(find(NSTextCheckingTypeDate, "2026-13-45 and February 31, 2026").empty());
}

TEST(DataDetector, AddressesAndFlights) {
    auto found = find(NSTextCheckingTypeAddress | NSTextCheckingTypeTransitInformation,
                      "Meet at 221 Baker Street, London before flight AY 123.");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].addressComponents.get(NSTextCheckingStreetKey).stringValue(), "221 Baker Street");
    EXPECT_EQ(found[0].addressComponents.get(NSTextCheckingCityKey).stringValue(), "London");
    EXPECT_EQ(found[1].components.get(NSTextCheckingAirlineKey).stringValue(), "AY");
    EXPECT_EQ(found[1].components.get(NSTextCheckingFlightKey).stringValue(), "123");
}

TEST(DataDetector, OneKindPerCharacterAndOnlyTheAskedKindsAndRange) {
    std::string text = "On 2026-12-25 visit www.korva.fi or call 040 123 4567";
    auto all = find(kAll, text);
    ASSERT_EQ(all.size(), 3u);  // the date's digits are not also a phone number
    EXPECT_EQ(all[0].resultType, NSTextCheckingTypeDate);
    EXPECT_EQ(all[1].resultType, NSTextCheckingTypeLink);
    EXPECT_EQ(all[2].resultType, NSTextCheckingTypePhoneNumber);
    EXPECT_EQ(find(NSTextCheckingTypeLink, text).size(), 1u);
    // Only the range is searched; ranges past the text are clamped and empty texts find nothing.
    EXPECT_EQ(detector(kAll)->matchesInString(text, 0, {14, 19}).size(), 1u);
    EXPECT_TRUE(detector(kAll)->matchesInString(text, 0, {500, 3}).empty());
    EXPECT_TRUE(detector(kAll)->matchesInString("", 0, {0, 10}).empty());
}

TEST(DateFormatter, LongDateAndTimeStylesFollowTheLocale) {
    NSDateFormatter parse;
    parse.setDateFormat("yyyy-MM-dd HH:mm");
    parse.setTimeZoneName("UTC");
    double date = *parse.dateFromString("2026-12-25 15:30");
    auto styled = [&](const char* locale) {
        NSDateFormatter f;
        f.setLocaleIdentifier(locale);
        f.setTimeZoneName("UTC");
        f.setDateStyle(NSDateFormatterStyle::Long);
        f.setTimeStyle(NSDateFormatterStyle::Long);
        return f.stringFromDate(date);
    };
    std::string us = styled("en_US"), fi = styled("fi_FI");
    EXPECT_NE(us.find("December 25, 2026"), std::string::npos) << us;
    EXPECT_NE(us.find("3:30:00"), std::string::npos) << us;
    EXPECT_NE(fi.find("joulukuuta 2026"), std::string::npos) << fi;
    // A pattern set afterwards replaces the styles.
    NSDateFormatter f;
    f.setDateStyle(NSDateFormatterStyle::Long);
    f.setDateFormat("yyyy");
    f.setTimeZoneName("UTC");
    EXPECT_EQ(f.stringFromDate(date), "2026");
    EXPECT_EQ(f.dateStyle(), NSDateFormatterStyle::None);
}

}  // namespace

#include "platform/text/text_checking_archive.h"

namespace {

TEST(TextCheckingArchive, EveryKindRoundTripsAndJunkReadsAsNone) {
    std::vector<NSTextCheckingResult> results = {
        NSTextCheckingResult::linkCheckingResultWithRange({1, 2}, NSURL::URLWithString("https://korva.fi/x")),
        NSTextCheckingResult::phoneNumberCheckingResultWithRange({3, 4}, "555 0100"),
        NSTextCheckingResult::dateCheckingResultWithRange({5, 6}, 12345.5, "Europe/Helsinki", 90),
        NSTextCheckingResult::addressCheckingResultWithRange({7, 8}, {{NSTextCheckingStreetKey, "1 Main St"}}),
        NSTextCheckingResult::transitInformationCheckingResultWithRange({9, 1}, {{NSTextCheckingFlightKey, "12"}}),
    };
    for (const auto& r : results) {
        auto back = NSTextCheckingResultFromArchive(NSTextCheckingResultArchive(r));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, r);
    }
    EXPECT_FALSE(NSTextCheckingResultFromArchive(Value(3)));
    EXPECT_FALSE(NSTextCheckingResultFromArchive(Value::dictionary({{"NSRanges", Value::array({Value("x")})}})));
    EXPECT_FALSE(NSTextCheckingResultFromArchive(Value::dictionary({})));
}

}  // namespace
