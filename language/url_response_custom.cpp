// Response additions.
#include "language/url_response_custom.h"

std::optional<std::string> location(const NSURLResponse& response) {
    const auto* http = dynamic_cast<const NSHTTPURLResponse*>(&response);
    return http ? http->valueForHTTPHeaderField("Location") : std::nullopt;
}

NSStringEncoding encoding(const NSURLResponse&) {
    return NSStringEncoding::UTF8;
}
