// NSURLSession: data tasks that run a request in the background and report once, and the
// synchronous send of the older loading interface.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/net/url_request.h"
#include "platform/net/url_response.h"
#include "platform/runtime/error.h"

// Data (none on failure), response (none when nothing came back) and error (none on success).
// An HTTP error status is not a failure: its body and response arrive as for any other reply.
using URLCompletion = std::function<void(std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response,
                                         std::shared_ptr<NSError> error)>;

enum class NSURLSessionTaskState { Suspended, Running, Canceling, Completed };

// Thread-safe.
class NSURLSessionDataTask : public NSObject {
public:
    KORVA_MAKE(NSURLSessionDataTask)

    const NSURLRequest& originalRequest() const { return request_; }
    NSURLSessionTaskState state() const;
    // Starts the transfer (once; later calls do nothing).
    void resume();
    // Ends a running transfer with NSURLErrorCancelled; a task not yet resumed reports the same
    // at once. The completion is still called exactly once.
    void cancel();

    std::string className() const override { return "NSURLSessionDataTask"; }

protected:
    NSURLSessionDataTask(NSURLRequest request, URLCompletion completion)
        : request_(std::move(request)), completion_(std::move(completion)) {}

private:
    void finish(std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response, std::shared_ptr<NSError> error);

    NSURLRequest request_;
    mutable std::mutex mutex_;
    URLCompletion completion_;
    NSURLSessionTaskState state_ = NSURLSessionTaskState::Suspended;
    std::atomic<bool> cancelled_{false};
};

class NSURLSession : public NSObject {
public:
    KORVA_MAKE(NSURLSession)

    // Each transfer runs on a serial queue of its own; the completion is called there, on the
    // thread that carried the transfer (callers hop to the main queue themselves).
    static std::shared_ptr<NSURLSession> sharedSession();

    std::shared_ptr<NSURLSessionDataTask> dataTaskWithRequest(NSURLRequest request, URLCompletion completion);
    std::shared_ptr<NSURLSessionDataTask> dataTaskWithURL(std::shared_ptr<NSURL> url, URLCompletion completion);

    std::string className() const override { return "NSURLSession"; }

protected:
    NSURLSession() = default;
};

struct URLSyncReply {
    std::optional<Bytes> data;
    std::shared_ptr<NSURLResponse> response;
    std::shared_ptr<NSError> error;
};

// Blocks the calling thread for the whole exchange.
URLSyncReply sendSynchronousRequest(const NSURLRequest& request);
