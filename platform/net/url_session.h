// NSURLSession: data tasks that run a request in the background and report once, and the
// synchronous send of the older loading interface.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/net/url_request.h"
#include "platform/net/url_response.h"
#include "platform/runtime/error.h"

class DispatchQueue;
class NSURLSessionConfiguration;
class NSURLSessionDelegate;
class NSURLSessionDownloadTask;
class NSURLSessionTask;
class NSURLSessionUploadTask;
struct URLSessionState;

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

    // A session of its own whose tasks report to the delegate (held weakly) on the delegate
    // queue (a serial queue of its own when none is given); see url_session_task.h. Its tasks
    // are made suspended; a session that was invalidated makes none.
    static std::shared_ptr<NSURLSession> sessionWithConfiguration(
        std::shared_ptr<NSURLSessionConfiguration> configuration, std::shared_ptr<NSURLSessionDelegate> delegate,
        std::shared_ptr<DispatchQueue> delegateQueue);
    std::shared_ptr<NSURLSessionConfiguration> configuration() const;
    std::shared_ptr<NSURLSessionDelegate> delegate() const;
    std::shared_ptr<DispatchQueue> delegateQueue() const;
    // The request's body read piece by piece as it is sent; its total is known only when the
    // request carries a "Content-Length" field (otherwise it goes out in chunks).
    std::shared_ptr<NSURLSessionUploadTask> uploadTaskWithStreamedRequest(NSURLRequest request);
    std::shared_ptr<NSURLSessionUploadTask> uploadTaskWithRequest(NSURLRequest request, Bytes fromData);
    std::shared_ptr<NSURLSessionDownloadTask> downloadTaskWithURL(std::shared_ptr<NSURL> url);
    std::shared_ptr<NSURLSessionDownloadTask> downloadTaskWithRequest(NSURLRequest request);
    // None for resume data that cannot be read or whose partial file is gone.
    std::shared_ptr<NSURLSessionDownloadTask> downloadTaskWithResumeData(const Bytes& resumeData);
    // The tasks not yet completed, handed over on the delegate queue.
    void getAllTasksWithCompletionHandler(
        std::function<void(std::vector<std::shared_ptr<NSURLSessionTask>>)> completion);
    // Makes no more tasks; the delegate hears URLSessionDidBecomeInvalidWithError once the
    // running tasks have ended (cancelled first, with invalidateAndCancel).
    void finishTasksAndInvalidate();
    void invalidateAndCancel();

protected:
    NSURLSession() = default;

private:
    friend class NSURLSessionTask;
    std::shared_ptr<URLSessionState> delegated_;
};

struct URLSyncReply {
    std::optional<Bytes> data;
    std::shared_ptr<NSURLResponse> response;
    std::shared_ptr<NSError> error;
};

// Blocks the calling thread for the whole exchange.
URLSyncReply sendSynchronousRequest(const NSURLRequest& request);
