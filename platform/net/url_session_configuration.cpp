// Session configurations: ordinary and background.
#include "platform/net/url_session_configuration.h"

#include "platform/net/url_request.h"

NSURLSessionConfiguration::NSURLSessionConfiguration(std::optional<std::string> identifier)
    : identifier_(std::move(identifier)), timeoutIntervalForRequest_(NSURLRequest::defaultTimeoutInterval()) {}

std::shared_ptr<NSURLSessionConfiguration> NSURLSessionConfiguration::defaultSessionConfiguration() {
    return NSURLSessionConfiguration::make();
}

std::shared_ptr<NSURLSessionConfiguration> NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
    std::string identifier) {
    return NSURLSessionConfiguration::make(std::optional<std::string>(std::move(identifier)));
}
