// NSURLSessionConfiguration: how a delegate session behaves: ordinary, or background with an
// identifier whose transfers go on while the application is in the background.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

// Immutable after the session is made from it; thread-safe to read.
class NSURLSessionConfiguration : public NSObject {
public:
    KORVA_MAKE(NSURLSessionConfiguration)

    static std::shared_ptr<NSURLSessionConfiguration> defaultSessionConfiguration();
    static std::shared_ptr<NSURLSessionConfiguration> backgroundSessionConfigurationWithIdentifier(
        std::string identifier);

    // None for an ordinary session.
    const std::optional<std::string>& identifier() const { return identifier_; }
    bool isBackground() const { return identifier_.has_value(); }

    // Seconds without traffic after which a request that sets no time-out of its own fails.
    double timeoutIntervalForRequest() const { return timeoutIntervalForRequest_; }
    void setTimeoutIntervalForRequest(double seconds) { timeoutIntervalForRequest_ = seconds; }

    std::string className() const override { return "NSURLSessionConfiguration"; }

protected:
    explicit NSURLSessionConfiguration(std::optional<std::string> identifier = std::nullopt);

private:
    std::optional<std::string> identifier_;
    double timeoutIntervalForRequest_;
};
