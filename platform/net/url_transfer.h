// One blocking exchange for a request with its reply gathered in memory: what data tasks and
// synchronous loading run. Internal to the net module.
#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "platform/net/url_request.h"
#include "platform/net/url_response.h"
#include "platform/runtime/error.h"

struct URLLoadResult {
    // None exactly when there is an error; an empty body is empty data.
    std::optional<Bytes> data;
    std::shared_ptr<NSURLResponse> response;
    std::shared_ptr<NSError> error;
};

// Sends the request on the calling thread. Redirects are followed (network schemes only);
// compressed replies are decoded whatever "Accept-Encoding" the request carries; the request's
// time-out bounds every quiet spell and its total time-out the whole exchange; a body past the
// request's maximum (decoded) fails it. Setting `cancelled` ends the exchange with a cancel error.
URLLoadResult performURLRequest(const NSURLRequest& request, const std::atomic<bool>* cancelled = nullptr);
