// Data tasks: each transfer runs on a queue of its own and reports exactly once.
#include "platform/net/url_session.h"

#include "platform/dispatch/queue.h"
#include "platform/net/url_error.h"
#include "platform/net/url_transfer.h"

NSURLSessionTaskState NSURLSessionDataTask::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void NSURLSessionDataTask::resume() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != NSURLSessionTaskState::Suspended) return;
        state_ = NSURLSessionTaskState::Running;
    }
    auto task = self<NSURLSessionDataTask>();
    // A queue (and so a thread) of its own: a transfer may wait a long time for the network and
    // must not hold a thread of the shared pool meanwhile.
    dispatch_queue_create("NSURLSession.task")->async([task] {
        URLLoadResult result = performURLRequest(task->request_, &task->cancelled_);
        task->finish(std::move(result.data), std::move(result.response), std::move(result.error));
    });
}

void NSURLSessionDataTask::cancel() {
    bool notStarted = false;
    {
        std::lock_guard lock(mutex_);
        if (state_ == NSURLSessionTaskState::Completed || state_ == NSURLSessionTaskState::Canceling) return;
        notStarted = state_ == NSURLSessionTaskState::Suspended;
        state_ = NSURLSessionTaskState::Canceling;
    }
    cancelled_.store(true);
    if (notStarted) {
        auto task = self<NSURLSessionDataTask>();
        std::string failing = request_.URL() ? request_.URL()->absoluteString() : std::string();
        DispatchQueue::global()->async(
            [task, failing] { task->finish(std::nullopt, nullptr, makeURLError(NSURLErrorCancelled, failing)); });
    }
}

void NSURLSessionDataTask::finish(std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response,
                                  std::shared_ptr<NSError> error) {
    URLCompletion completion;
    {
        std::lock_guard lock(mutex_);
        state_ = NSURLSessionTaskState::Completed;
        completion = std::move(completion_);
        completion_ = nullptr;
    }
    if (completion) completion(std::move(data), std::move(response), std::move(error));
}

std::shared_ptr<NSURLSession> NSURLSession::sharedSession() {
    static std::shared_ptr<NSURLSession> session = NSURLSession::make();
    return session;
}

std::shared_ptr<NSURLSessionDataTask> NSURLSession::dataTaskWithRequest(NSURLRequest request,
                                                                        URLCompletion completion) {
    return NSURLSessionDataTask::make(std::move(request), std::move(completion));
}

std::shared_ptr<NSURLSessionDataTask> NSURLSession::dataTaskWithURL(std::shared_ptr<NSURL> url,
                                                                    URLCompletion completion) {
    return dataTaskWithRequest(NSURLRequest(std::move(url)), std::move(completion));
}

URLSyncReply sendSynchronousRequest(const NSURLRequest& request) {
    URLLoadResult result = performURLRequest(request);
    return URLSyncReply{std::move(result.data), std::move(result.response), std::move(result.error)};
}
