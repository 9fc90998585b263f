// The transfer engine: one exchange on libcurl that reports as it goes (body sent, reply head,
// reply pieces). Every transfer goes through it: the tasks of delegate sessions directly, data
// tasks and synchronous loading through the collecting layer in url_transfer.h. Internal to the
// net module.
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

// What bounds one exchange and what it may reach.
struct URLTransferLimits {
    // Seconds without any traffic, then seconds for the whole exchange; either ends it with a
    // time-out error.
    double quiet = 60.0;
    double total = 240.0;
    // The most reply body bytes, counted after decoding; none leaves the body unbounded.
    std::optional<std::size_t> maximumBody;
    // Whether file URLs may be read (never reached through a redirect).
    bool fileURLs = false;
};

// Where a reply body ends up, which decides whether it is bounded by default.
enum class URLReplyDestination {
    // Held in memory (by the caller or a delegate): the request's cap, a page by default.
    Memory,
    // Streamed to a file: the request's cap, else the default of downloads.
    File,
};

// The limits of a request that waits at most `quietLimit` seconds in silence: its own total
// time-out when it sets one, four quiet spells otherwise.
URLTransferLimits transferLimitsFor(const NSURLRequest& request, double quietLimit, URLReplyDestination destination);

struct URLStreamResult {
    std::shared_ptr<NSURLResponse> response;
    // None on success; an HTTP error status is a success.
    std::shared_ptr<NSError> error;
};

// Sends the request on the calling thread. Redirects are followed between network addresses;
// compressed replies are decoded; passing a limit ends the exchange with a time-out or a
// too-large error; a header field holding a line break fails it unsent; setting `cancelled`
// ends it with a cancel error. Without an upload body the request's own body is sent as a whole.
URLStreamResult performStreamingRequest(const NSURLRequest& request, const URLTransferLimits& limits,
                                        URLTransferObserver& observer, const std::atomic<bool>* cancelled,
                                        std::optional<URLUploadBody> upload = std::nullopt);
