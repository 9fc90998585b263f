// Text-checking results of each kind, and their equality.
#include "platform/text/text_checking_result.h"

namespace {
NSTextCheckingResult ofKind(NSTextCheckingType type, NSRange range) {
    NSTextCheckingResult r;
    r.ranges = {range};
    r.resultType = type;
    return r;
}

bool sameDictionary(const ValueDictionary& a, const ValueDictionary& b) {
    return Value(a).isEqual(Value(b));
}
}  // namespace

NSTextCheckingResult NSTextCheckingResult::linkCheckingResultWithRange(NSRange range, std::shared_ptr<NSURL> url) {
    auto r = ofKind(NSTextCheckingTypeLink, range);
    r.URL = std::move(url);
    return r;
}

NSTextCheckingResult NSTextCheckingResult::phoneNumberCheckingResultWithRange(NSRange range, std::string phoneNumber) {
    auto r = ofKind(NSTextCheckingTypePhoneNumber, range);
    r.phoneNumber = std::move(phoneNumber);
    return r;
}

NSTextCheckingResult NSTextCheckingResult::dateCheckingResultWithRange(NSRange range, double date) {
    auto r = ofKind(NSTextCheckingTypeDate, range);
    r.date = date;
    return r;
}

NSTextCheckingResult NSTextCheckingResult::dateCheckingResultWithRange(NSRange range, double date, std::string timeZone,
                                                                       double duration) {
    auto r = dateCheckingResultWithRange(range, date);
    if (!timeZone.empty()) r.timeZone = std::move(timeZone);
    r.duration = duration;
    return r;
}

NSTextCheckingResult NSTextCheckingResult::addressCheckingResultWithRange(NSRange range, ValueDictionary components) {
    auto r = ofKind(NSTextCheckingTypeAddress, range);
    r.addressComponents = std::move(components);
    return r;
}

NSTextCheckingResult NSTextCheckingResult::transitInformationCheckingResultWithRange(NSRange range,
                                                                                     ValueDictionary components) {
    auto r = ofKind(NSTextCheckingTypeTransitInformation, range);
    r.components = std::move(components);
    return r;
}

bool NSTextCheckingResult::isEqual(const NSTextCheckingResult& other) const {
    bool sameUrl = (!URL && !other.URL) || (URL && other.URL && URL->isEqual(*other.URL));
    return resultType == other.resultType && ranges == other.ranges && sameUrl && phoneNumber == other.phoneNumber &&
           date == other.date && timeZone == other.timeZone && duration == other.duration &&
           sameDictionary(addressComponents, other.addressComponents) && sameDictionary(components, other.components);
}
