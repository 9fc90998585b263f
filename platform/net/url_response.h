// NSURLResponse and NSHTTPURLResponse: what came back besides the body.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/net/url.h"
#include "platform/runtime/object.h"

class NSURLResponse : public NSObject {
public:
    KORVA_MAKE(NSURLResponse)

    // The URL the body came from (after redirects).
    const std::shared_ptr<NSURL>& URL() const { return url_; }
    // "text/html" from the content type, lower case; empty when none was sent.
    const std::string& MIMEType() const { return mime_; }
    // The content type's charset parameter, lower case; none without one.
    const std::optional<std::string>& textEncodingName() const { return encoding_; }
    // -1 when unknown.
    std::int64_t expectedContentLength() const { return expectedLength_; }

    std::string className() const override { return "NSURLResponse"; }

protected:
    NSURLResponse(std::shared_ptr<NSURL> url, std::string contentType, std::int64_t expectedLength);

private:
    std::shared_ptr<NSURL> url_;
    std::string mime_;
    std::optional<std::string> encoding_;
    std::int64_t expectedLength_;
};

class NSHTTPURLResponse : public NSURLResponse {
public:
    KORVA_MAKE(NSHTTPURLResponse)
    using HeaderField = std::pair<std::string, std::string>;

    std::int64_t statusCode() const { return status_; }
    // The final reply's header fields in the order received.
    const std::vector<HeaderField>& allHeaderFields() const { return headers_; }
    // Case-insensitive; none when absent.
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;

    std::string className() const override { return "NSHTTPURLResponse"; }

protected:
    NSHTTPURLResponse(std::shared_ptr<NSURL> url, std::int64_t status, std::vector<HeaderField> headers);

private:
    std::int64_t status_;
    std::vector<HeaderField> headers_;
};
