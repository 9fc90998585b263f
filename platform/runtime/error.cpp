// NSError: descriptions and equality.
#include "platform/runtime/error.h"

NSError::NSError(std::string domain, std::int64_t code, Value userInfo)
    : domain_(std::move(domain)),
      code_(code),
      userInfo_(userInfo.isDictionary() ? std::move(userInfo) : Value::dictionary()) {}

std::shared_ptr<NSError> NSError::withDescription(std::string domain, std::int64_t code, std::string text) {
    return make(std::move(domain), code, Value::dictionary({{NSLocalizedDescriptionKey, Value(std::move(text))}}));
}

std::string NSError::localizedDescription() const {
    const Value& text = userInfo_[NSLocalizedDescriptionKey];
    if (text.isString()) return *text.string();
    return "The operation couldn\u2019t be completed. (" + domain_ + " error " + std::to_string(code_) + ".)";
}

std::string NSError::localizedFailureReason() const {
    return userInfo_[NSLocalizedFailureReasonKey].stringValue();
}

std::shared_ptr<NSError> NSError::underlyingError() const {
    return userInfo_[NSUnderlyingErrorKey].objectAs<NSError>();
}

std::string NSError::description() const {
    std::string out =
        "Error Domain=" + domain_ + " Code=" + std::to_string(code_) + " \"" + localizedDescription() + "\"";
    if (userInfo_.count() > 0) out += " UserInfo=" + userInfo_.description();
    return out;
}

bool NSError::isEqual(const NSObject& other) const {
    auto* error = dynamic_cast<const NSError*>(&other);
    return error && error->domain_ == domain_ && error->code_ == code_ && error->userInfo_.isEqual(userInfo_);
}
