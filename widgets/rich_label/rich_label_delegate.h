// What a rich label tells its delegate about taps and long presses on links. Every operation is
// optional: each returns whether the delegate answers it, and the defaults answer nothing, so
// that the label can fall back to the next operation that applies.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/net/url.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"
#include "platform/text/text_checking_result.h"

class RichLabel;

class RichLabelDelegate {
public:
    virtual ~RichLabelDelegate() = default;

    // Taps.
    virtual bool didSelectLinkWithURL(RichLabel&, const std::shared_ptr<NSURL>&) { return false; }
    virtual bool didSelectLinkWithAddress(RichLabel&, const ValueDictionary&) { return false; }
    virtual bool didSelectLinkWithPhoneNumber(RichLabel&, const std::string&) { return false; }
    virtual bool didSelectLinkWithDate(RichLabel&, double /*date*/) { return false; }
    virtual bool didSelectLinkWithDateTimeZone(RichLabel&, double /*date*/, const std::string& /*timeZone*/,
                                               double /*duration*/) {
        return false;
    }
    virtual bool didSelectLinkWithTransitInformation(RichLabel&, const ValueDictionary&) { return false; }
    virtual bool didSelectLinkWithTextCheckingResult(RichLabel&, const NSTextCheckingResult&) { return false; }

    // Long presses, with the press location in the label.
    virtual bool didLongPressLinkWithURL(RichLabel&, const std::shared_ptr<NSURL>&, CGPoint) { return false; }
    virtual bool didLongPressLinkWithAddress(RichLabel&, const ValueDictionary&, CGPoint) { return false; }
    virtual bool didLongPressLinkWithPhoneNumber(RichLabel&, const std::string&, CGPoint) { return false; }
    virtual bool didLongPressLinkWithDate(RichLabel&, double /*date*/, CGPoint) { return false; }
    virtual bool didLongPressLinkWithDateTimeZone(RichLabel&, double /*date*/, const std::string& /*timeZone*/,
                                                  double /*duration*/, CGPoint) {
        return false;
    }
    virtual bool didLongPressLinkWithTransitInformation(RichLabel&, const ValueDictionary&, CGPoint) { return false; }
    virtual bool didLongPressLinkWithTextCheckingResult(RichLabel&, const NSTextCheckingResult&, CGPoint) {
        return false;
    }
};
