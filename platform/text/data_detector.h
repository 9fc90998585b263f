// NSDataDetector: finds links, phone numbers, dates, street addresses and flight numbers in text.
//
// What is found here: web addresses (with a scheme, "www." or a common top-level domain) and
// e-mail addresses as links; phone numbers of 7 to 15 digits; dates written as ISO dates or with
// an English month name (with an optional time), in the device's time zone; English street
// addresses (a number, a name and a street word such as "Street" or "Avenue"); flight numbers
// after the word "flight". Immutable once made; matching may run on any thread.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/result.h"
#include "platform/text/text_checking_result.h"

class NSDataDetector : public NSObject {
public:
    // A failure for a mask with no kind this detector knows, or with bits of other kinds.
    static Result<std::shared_ptr<NSDataDetector>> dataDetectorWithTypes(NSTextCheckingType types);
    ~NSDataDetector() override;

    NSTextCheckingType checkingTypes() const { return types_; }

    // Results in the range (clamped to the text) in text order, never overlapping; where two
    // kinds claim the same characters, links win over dates, dates over transit information,
    // that over addresses and addresses over phone numbers. No options are defined.
    std::vector<NSTextCheckingResult> matchesInString(std::string_view text, unsigned options, NSRange range) const;

    std::string className() const override { return "NSDataDetector"; }

    struct Patterns;

protected:
    NSDataDetector(NSTextCheckingType types, std::unique_ptr<Patterns> patterns);

private:
    NSTextCheckingType types_;
    std::unique_ptr<Patterns> patterns_;
};
