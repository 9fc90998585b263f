// NSURLRequest: what to send (URL, method, header fields in the order set, body, time-out).
#pragma once

#include <cstddef>
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
    explicit NSURLRequest(std::shared_ptr<NSURL> url,
                          NSURLRequestCachePolicy policy = NSURLRequestCachePolicy::UseProtocolCachePolicy,
                          std::optional<double> timeoutInterval = std::nullopt);
    static NSURLRequest requestWithURL(std::shared_ptr<NSURL> url) { return NSURLRequest(std::move(url)); }

    const std::shared_ptr<NSURL>& URL() const { return url_; }
    const std::string& HTTPMethod() const { return method_; }
    void setHTTPMethod(std::string method) { method_ = std::move(method); }

    // Field names compare without regard to case; setting a field again replaces its value in
    // place, an empty value is still sent. Nothing is set by default. A name or value holding a
    // line break would smuggle in fields of its own: such a request fails when sent.
    void setValue(std::string_view value, std::string_view field);
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;
    const std::vector<HeaderField>& allHTTPHeaderFields() const { return headers_; }

    const Bytes& HTTPBody() const { return body_; }
    void setHTTPBody(Bytes body) { body_ = std::move(body); }

    // Seconds without any traffic after which the request fails; the process default when unset.
    double timeoutInterval() const { return timeout_.value_or(defaultTimeoutInterval()); }
    void setTimeoutInterval(double seconds) { timeout_ = seconds; }
    // Seconds the whole exchange may take however steadily data arrives (a server that trickles
    // never falls silent); four times the time-out when unset. Passing it is a time-out error.
    double totalTimeoutInterval() const { return total_.value_or(4 * timeoutInterval()); }
    void setTotalTimeoutInterval(double seconds) { total_ = seconds; }
    bool setsTotalTimeoutInterval() const { return total_.has_value(); }

    // The most bytes a reply's body may hold, counted after decoding; past it the request fails
    // without reading further. Pages and payloads by default; pictures may ask for more. A
    // download streamed to a file takes the cap the request sets, else the download default.
    static constexpr std::size_t kPageBodyLimit = std::size_t{8} << 20;
    static constexpr std::size_t kPictureBodyLimit = std::size_t{32} << 20;
    static constexpr std::size_t kDownloadBodyLimit = std::size_t{512} << 20;
    // The cap of downloads whose request sets none (kDownloadBodyLimit unless changed). Thread-safe.
    static std::size_t defaultDownloadBodyLimit();
    static void setDefaultDownloadBodyLimit(std::size_t bytes);
    std::size_t maximumBodyLength() const { return maxBody_.value_or(kPageBodyLimit); }
    void setMaximumBodyLength(std::size_t bytes) { maxBody_ = bytes; }
    bool setsMaximumBodyLength() const { return maxBody_.has_value(); }
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
    std::optional<double> total_;
    std::optional<std::size_t> maxBody_;
    NSURLRequestCachePolicy policy_;
};

using NSMutableURLRequest = NSURLRequest;
