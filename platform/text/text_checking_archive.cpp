// Text-checking results to and from archive values.
#include "platform/text/text_checking_archive.h"

#include <cmath>

namespace {
constexpr const char* kType = "NSResultType";
constexpr const char* kRanges = "NSRanges";
constexpr const char* kURL = "NSURL";
constexpr const char* kPhone = "NSPhoneNumber";
constexpr const char* kDate = "NSDate";
constexpr const char* kTimeZone = "NSTimeZone";
constexpr const char* kDuration = "NSDuration";
constexpr const char* kAddress = "NSAddressComponents";
constexpr const char* kComponents = "NSComponents";

std::optional<NSRange> rangeOf(const Value& v) {
    const std::size_t first = 0, second = 1;
    if (!v.isArray() || v.count() != 2 || !v[first].isInteger() || !v[second].isInteger()) return std::nullopt;
    std::uint64_t location = v[first].unsignedIntegerValue(), length = v[second].unsignedIntegerValue();
    if (location > NSNotFound || length > NSNotFound) return std::nullopt;
    return NSRange{location, length};
}
}  // namespace

Value NSTextCheckingResultArchive(const NSTextCheckingResult& r) {
    ValueDictionary d;
    d.set(kType, Value(static_cast<unsigned long long>(r.resultType)));
    Value ranges = Value::array();
    for (NSRange range : r.ranges)
        ranges.append(Value::array({Value(static_cast<unsigned long long>(range.location)),
                                    Value(static_cast<unsigned long long>(range.length))}));
    d.set(kRanges, ranges);
    if (r.URL) d.set(kURL, r.URL->absoluteString());
    if (!r.phoneNumber.empty()) d.set(kPhone, r.phoneNumber);
    if (r.date) d.set(kDate, Value::date(*r.date));
    if (r.timeZone) d.set(kTimeZone, *r.timeZone);
    if (r.duration != 0) d.set(kDuration, r.duration);
    if (!r.addressComponents.empty()) d.set(kAddress, Value(r.addressComponents).deepCopy());
    if (!r.components.empty()) d.set(kComponents, Value(r.components).deepCopy());
    return Value(std::move(d));
}

std::optional<NSTextCheckingResult> NSTextCheckingResultFromArchive(const Value& archive) {
    if (!archive.isDictionary()) return std::nullopt;
    NSTextCheckingResult r;
    const Value& ranges = archive[kRanges];
    if (!ranges.isArray() || ranges.count() == 0) return std::nullopt;
    for (std::size_t i = 0; i < ranges.count(); ++i) {
        auto range = rangeOf(ranges[i]);
        if (!range) return std::nullopt;
        r.ranges.push_back(*range);
    }
    if (archive[kType].isInteger()) r.resultType = archive[kType].unsignedIntegerValue();
    if (const auto* url = archive[kURL].string()) r.URL = NSURL::URLWithString(*url);
    if (const auto* phone = archive[kPhone].string()) r.phoneNumber = *phone;
    if (archive[kDate].isDate()) r.date = archive[kDate].dateValue();
    if (const auto* zone = archive[kTimeZone].string()) r.timeZone = *zone;
    if (archive[kDuration].isNumber() && std::isfinite(archive[kDuration].doubleValue()))
        r.duration = archive[kDuration].doubleValue();
    if (const auto* address = archive[kAddress].dictionaryPtr()) r.addressComponents = *address;
    if (const auto* components = archive[kComponents].dictionaryPtr()) r.components = *components;
    return r;
}
