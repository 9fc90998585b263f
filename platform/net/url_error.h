// Errors of URL loading: NSURLErrorDomain codes and the errors made from them.
#pragma once

#include <memory>
#include <string_view>

#include "platform/runtime/error.h"

enum NSURLErrorCode : std::int64_t {
    NSURLErrorUnknown = -1,
    NSURLErrorCancelled = -999,
    NSURLErrorBadURL = -1000,
    NSURLErrorTimedOut = -1001,
    NSURLErrorUnsupportedURL = -1002,
    NSURLErrorCannotFindHost = -1003,
    NSURLErrorCannotConnectToHost = -1004,
    NSURLErrorNetworkConnectionLost = -1005,
    NSURLErrorHTTPTooManyRedirects = -1007,
    NSURLErrorBadServerResponse = -1011,
    NSURLErrorCannotDecodeContentData = -1016,
    NSURLErrorSecureConnectionFailed = -1200,
    NSURLErrorFileDoesNotExist = -1100,
    NSURLErrorNoPermissionsToReadFile = -1102,
    NSURLErrorDataLengthExceedsMaximum = -1103,
};

// An error in NSURLErrorDomain with a readable description (the code's own sentence unless one
// is given) and the failing URL's text.
std::shared_ptr<NSError> makeURLError(NSURLErrorCode code, std::string_view failingURL,
                                      std::string_view description = {});
