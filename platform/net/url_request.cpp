// NSURLRequest: header fields kept in order, replaced by case-insensitive name.
#include "platform/net/url_request.h"

#include <strings.h>

#include <atomic>

namespace {

std::atomic<double>& defaultTimeout() {
    static std::atomic<double> seconds{60.0};
    return seconds;
}

std::atomic<std::size_t>& defaultDownloadLimit() {
    static std::atomic<std::size_t> bytes{NSURLRequest::kDownloadBodyLimit};
    return bytes;
}

bool sameField(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

NSURLRequest::NSURLRequest(std::shared_ptr<NSURL> url, NSURLRequestCachePolicy policy,
                           std::optional<double> timeoutInterval)
    : url_(std::move(url)), timeout_(timeoutInterval), policy_(policy) {}

void NSURLRequest::setValue(std::string_view value, std::string_view field) {
    for (HeaderField& header : headers_) {
        if (sameField(header.first, field)) {
            header.second = std::string(value);
            return;
        }
    }
    headers_.emplace_back(std::string(field), std::string(value));
}

std::optional<std::string> NSURLRequest::valueForHTTPHeaderField(std::string_view field) const {
    for (const HeaderField& header : headers_) {
        if (sameField(header.first, field)) return header.second;
    }
    return std::nullopt;
}

double NSURLRequest::defaultTimeoutInterval() {
    return defaultTimeout().load();
}

void NSURLRequest::setDefaultTimeoutInterval(double seconds) {
    defaultTimeout().store(seconds);
}

std::size_t NSURLRequest::defaultDownloadBodyLimit() {
    return defaultDownloadLimit().load();
}

void NSURLRequest::setDefaultDownloadBodyLimit(std::size_t bytes) {
    defaultDownloadLimit().store(bytes);
}
