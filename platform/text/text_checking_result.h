// NSTextCheckingResult: what a search found in a text: a pattern's match with its groups, or a
// detected link, phone number, date, address or transit information with its value.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/url.h"
#include "platform/runtime/range.h"
#include "platform/runtime/value.h"

using NSTextCheckingType = std::uint64_t;
inline constexpr NSTextCheckingType NSTextCheckingTypeDate = 1ull << 3;
inline constexpr NSTextCheckingType NSTextCheckingTypeAddress = 1ull << 4;
inline constexpr NSTextCheckingType NSTextCheckingTypeLink = 1ull << 5;
inline constexpr NSTextCheckingType NSTextCheckingTypeRegularExpression = 1ull << 10;
inline constexpr NSTextCheckingType NSTextCheckingTypePhoneNumber = 1ull << 11;
inline constexpr NSTextCheckingType NSTextCheckingTypeTransitInformation = 1ull << 12;

// Keys of address and transit components.
inline constexpr const char* NSTextCheckingNameKey = "Name";
inline constexpr const char* NSTextCheckingOrganizationKey = "Organization";
inline constexpr const char* NSTextCheckingStreetKey = "Street";
inline constexpr const char* NSTextCheckingCityKey = "City";
inline constexpr const char* NSTextCheckingStateKey = "State";
inline constexpr const char* NSTextCheckingZIPKey = "ZIP";
inline constexpr const char* NSTextCheckingCountryKey = "Country";
inline constexpr const char* NSTextCheckingAirlineKey = "Airline";
inline constexpr const char* NSTextCheckingFlightKey = "Flight";

// A value: copies share the URL, which is immutable. Range 0 is the whole result; a pattern's
// match has range i for capture group i ({NSNotFound, 0} when the group took no part).
struct NSTextCheckingResult {
    std::vector<NSRange> ranges;
    NSTextCheckingType resultType = NSTextCheckingTypeRegularExpression;
    std::shared_ptr<NSURL> URL;           // link
    std::string phoneNumber;              // phone number
    std::optional<double> date;           // date: seconds since the reference date
    std::optional<std::string> timeZone;  // date: a time-zone identifier, when known
    double duration = 0;                  // date: seconds
    ValueDictionary addressComponents;    // address
    ValueDictionary components;           // transit information

    static NSTextCheckingResult linkCheckingResultWithRange(NSRange range, std::shared_ptr<NSURL> url);
    static NSTextCheckingResult phoneNumberCheckingResultWithRange(NSRange range, std::string phoneNumber);
    static NSTextCheckingResult dateCheckingResultWithRange(NSRange range, double date);
    static NSTextCheckingResult dateCheckingResultWithRange(NSRange range, double date, std::string timeZone,
                                                            double duration);
    static NSTextCheckingResult addressCheckingResultWithRange(NSRange range, ValueDictionary components);
    static NSTextCheckingResult transitInformationCheckingResultWithRange(NSRange range, ValueDictionary components);

    NSRange range() const { return ranges.empty() ? NSRange{NSNotFound, 0} : ranges[0]; }
    std::size_t numberOfRanges() const { return ranges.size(); }
    NSRange rangeAtIndex(std::size_t index) const {
        return index < ranges.size() ? ranges[index] : NSRange{NSNotFound, 0};
    }

    // Same kind, ranges and value.
    bool isEqual(const NSTextCheckingResult& other) const;
    bool operator==(const NSTextCheckingResult& other) const { return isEqual(other); }
};
