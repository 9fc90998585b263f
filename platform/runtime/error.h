// NSError: a failure described by a domain, a code and a user-info dictionary.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

inline constexpr const char* NSLocalizedDescriptionKey = "NSLocalizedDescription";
inline constexpr const char* NSLocalizedFailureReasonKey = "NSLocalizedFailureReason";
inline constexpr const char* NSUnderlyingErrorKey = "NSUnderlyingError";
inline constexpr const char* NSFilePathErrorKey = "NSFilePath";
inline constexpr const char* NSURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";
inline constexpr const char* NSPOSIXErrorDomain = "NSPOSIXErrorDomain";
inline constexpr const char* NSURLErrorDomain = "NSURLErrorDomain";

class NSError : public NSObject {
public:
    KORVA_MAKE(NSError)

    const std::string& domain() const { return domain_; }
    std::int64_t code() const { return code_; }
    // Always a dictionary (empty when none was given).
    const Value& userInfo() const { return userInfo_; }

    // The user info's NSLocalizedDescriptionKey text, or the platform's generic sentence
    // "The operation couldn’t be completed. (<domain> error <code>.)".
    std::string localizedDescription() const;
    std::string localizedFailureReason() const;  // "" when absent
    std::shared_ptr<NSError> underlyingError() const;

    std::string description() const override;
    std::string className() const override { return "NSError"; }
    bool isEqual(const NSObject& other) const override;

    // A convenience for the common case of an error with only a description.
    static std::shared_ptr<NSError> withDescription(std::string domain, std::int64_t code, std::string text);

protected:
    NSError(std::string domain, std::int64_t code, Value userInfo = {});

private:
    std::string domain_;
    std::int64_t code_;
    Value userInfo_;
};
