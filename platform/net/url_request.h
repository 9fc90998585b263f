// NSURLRequest: what to send (URL, method, header fields in the order set, body, time-out).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/net/url.h"
#include "platform/runtime/value.h"

enum class NSURLRequestCachePolicy { UseProtocolCachePolicy, ReloadIgnoringLocalCacheData };

// A value type: copies are independent. The mutable spelling of the platform is the same class.
class NSURLRequest {
public:
    using HeaderField = std::pair<std::string, std::string>;

    // A null URL makes a request that fails with a bad-URL error when sent.
    explicit NSURLRequest(std::shared_ptr<NSURL> url, NSURLRequestCachePolicy policy = NSURLRequestCachePolicy::UseProtocolCachePolicy,
                          std::optional<double> timeoutInterval = std::nullopt);
    static NSURLRequest requestWithURL(std::shared_ptr<NSURL> url) { return NSURLRequest(std::move(url)); }

    const std::shared_ptr<NSURL>& URL() const { return url_; }
    const std::string& HTTPMethod() const { return method_; }
    void setHTTPMethod(std::string method) { method_ = std::move(method); }

    // Field names compare without regard to case; setting a field again replaces its value in
    // place, an empty value is still sent. Nothing is set by default.
    void setValue(std::string_view value, std::string_view field);
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;
    const std::vector<HeaderField>& allHTTPHeaderFields() const { return headers_; }

    const Bytes& HTTPBody() const { return body_; }
    void setHTTPBody(Bytes body) { body_ = std::move(body); }

    // Seconds without any traffic after which the request fails; the process default when unset.
    double timeoutInterval() const { return timeout_.value_or(defaultTimeoutInterval()); }
    void setTimeoutInterval(double seconds) { timeout_ = seconds; }
    NSURLRequestCachePolicy cachePolicy() const { return policy_; }
    void setCachePolicy(NSURLRequestCachePolicy policy) { policy_ = policy; }

    // The platform's default time-out (60 s), used by requests that set none. Thread-safe; tests
    // shorten it to exercise callers that rely on the default.
    static double defaultTimeoutInterval();
    static void setDefaultTimeoutInterval(double seconds);

private:
    std::shared_ptr<NSURL> url_;
    std::string method_ = "GET";
    std::vector<HeaderField> headers_;
    Bytes body_;
    std::optional<double> timeout_;
    NSURLRequestCachePolicy policy_;
};

using NSMutableURLRequest = NSURLRequest;
