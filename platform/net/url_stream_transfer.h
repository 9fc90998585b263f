// The streaming transfer engine: one exchange on libcurl that reports as it goes (body sent,
// reply head, reply pieces), for the tasks of delegate sessions. Internal to the net module.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/net/url_request.h"
#include "platform/net/url_response.h"
#include "platform/runtime/error.h"

// Called on the thread that runs the exchange.
class URLTransferObserver {
public:
    virtual ~URLTransferObserver() = default;
    // The request body sent so far.
    virtual void transferDidSend(std::int64_t /*totalSent*/) {}
    // The final reply's head, once, before its first body piece (after redirects). Answering
    // false ends the exchange with `refusal` as the error.
    virtual bool transferDidReceiveResponse(const std::shared_ptr<NSURLResponse>&) { return true; }
    // One piece of the reply body; answering false ends the exchange with `refusal`.
    virtual bool transferDidReceiveData(const char* /*data*/, std::size_t /*size*/) { return true; }
    // What ends an exchange the observer refused.
    std::shared_ptr<NSError> refusal;
};

// The request body of an upload, read piece by piece while it is sent. Without a known length
// it goes out in chunks.
struct URLUploadBody {
    const Bytes* bytes = nullptr;
    bool lengthKnown = true;
};

struct URLStreamResult {
    std::shared_ptr<NSURLResponse> response;
    // None on success; an HTTP error status is a success.
    std::shared_ptr<NSError> error;
};

// Sends the request on the calling thread. Redirects are followed between network addresses;
// compressed replies are decoded; `quietLimit` seconds without traffic end it with a time-out;
// setting `cancelled` ends it with a cancel error. Without an upload body the request's own
// body is sent as a whole.
URLStreamResult performStreamingRequest(const NSURLRequest& request, double quietLimit, URLTransferObserver& observer,
                                        const std::atomic<bool>& cancelled,
                                        std::optional<URLUploadBody> upload = std::nullopt);
