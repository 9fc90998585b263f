// URL loading errors with the platform's sentences.
#include "platform/net/url_error.h"

#include <string>

namespace {

const char* sentence(NSURLErrorCode code) {
    switch (code) {
        case NSURLErrorCancelled: return "cancelled";
        case NSURLErrorBadURL: return "unsupported URL";
        case NSURLErrorTimedOut: return "The request timed out.";
        case NSURLErrorUnsupportedURL: return "unsupported URL";
        case NSURLErrorCannotFindHost: return "A server with the specified hostname could not be found.";
        case NSURLErrorCannotConnectToHost: return "Could not connect to the server.";
        case NSURLErrorNetworkConnectionLost: return "The network connection was lost.";
        case NSURLErrorHTTPTooManyRedirects: return "too many HTTP redirects";
        case NSURLErrorBadServerResponse: return "The server returned a bad response.";
        case NSURLErrorCannotDecodeContentData: return "cannot decode raw data";
        case NSURLErrorSecureConnectionFailed: return "A secure connection to the server could not be made.";
        case NSURLErrorFileDoesNotExist: return "The requested resource does not exist.";
        case NSURLErrorNoPermissionsToReadFile: return "The file could not be read because you do not have permission.";
        case NSURLErrorDataLengthExceedsMaximum: return "resource exceeds maximum size";
        case NSURLErrorUnknown: break;
    }
    return "An unknown error occurred.";
}

}  // namespace

std::shared_ptr<NSError> makeURLError(NSURLErrorCode code, std::string_view failingURL, std::string_view description) {
    Value info = Value::dictionary(
        {{NSLocalizedDescriptionKey, description.empty() ? Value(sentence(code)) : Value(std::string(description))}});
    if (!failingURL.empty()) info.set(NSURLErrorFailingURLStringErrorKey, Value(std::string(failingURL)));
    return NSError::make(NSURLErrorDomain, code, info);
}
