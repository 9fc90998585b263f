// Delegate-session tasks: the state machine shared by every kind, and the upload task.
#include "platform/net/url_session_task.h"

#include <algorithm>

#include "platform/dispatch/queue.h"
#include "platform/net/url_error.h"
#include "platform/net/url_session_state.h"
#include "platform/net/url_stream_transfer.h"

NSURLSessionTask::NSURLSessionTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier,
                                   NSURLRequest request)
    : identifier_(identifier),
      request_(std::move(request)),
      session_(std::move(session)),
      state_(session_->delegated_) {}

std::shared_ptr<NSURLResponse> NSURLSessionTask::response() const {
    std::lock_guard lock(mutex_);
    return response_;
}

NSURLSessionTaskState NSURLSessionTask::state() const {
    std::lock_guard lock(mutex_);
    return taskState_;
}

std::shared_ptr<NSError> NSURLSessionTask::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void NSURLSessionTask::setResponse(std::shared_ptr<NSURLResponse> response) {
    std::lock_guard lock(mutex_);
    response_ = std::move(response);
}

double NSURLSessionTask::quietLimit() const {
    return std::min(request_.timeoutInterval(), state_->configuration->timeoutIntervalForRequest());
}

const std::shared_ptr<DispatchQueue>& NSURLSessionTask::delegateQueue() const {
    return state_->delegateQueue;
}

void NSURLSessionTask::resume() {
    {
        std::lock_guard lock(mutex_);
        if (taskState_ != NSURLSessionTaskState::Suspended) return;
        taskState_ = NSURLSessionTaskState::Running;
    }
    auto task = self<NSURLSessionTask>();
    // A queue (and so a thread) of its own: a transfer may wait long for the network.
    dispatch_queue_create("NSURLSession.task")->async([task] { task->run(); });
}

void NSURLSessionTask::cancel() {
    bool notStarted = false;
    {
        std::lock_guard lock(mutex_);
        if (taskState_ == NSURLSessionTaskState::Completed || taskState_ == NSURLSessionTaskState::Canceling) return;
        notStarted = taskState_ == NSURLSessionTaskState::Suspended;
        taskState_ = NSURLSessionTaskState::Canceling;
    }
    cancelled_.store(true);
    if (notStarted) {
        cancelledBeforeStart();
        finish(makeURLError(NSURLErrorCancelled, request_.URL() ? request_.URL()->absoluteString() : std::string()));
    }
}

void NSURLSessionTask::post(Event event) {
    std::shared_ptr<NSURLSession> session;
    {
        std::lock_guard lock(mutex_);
        session = session_;
    }
    if (!session) return;
    auto task = self<NSURLSessionTask>();
    auto state = state_;
    state->delegateQueue->async([session, state, task, event = std::move(event)] {
        noteDeliveredEvent(*state);
        if (auto delegate = state->delegate.lock()) event(*session, *delegate);
    });
}

void NSURLSessionTask::finish(std::shared_ptr<NSError> error) {
    std::shared_ptr<NSURLSession> session;
    {
        std::lock_guard lock(mutex_);
        if (taskState_ == NSURLSessionTaskState::Completed) return;
        taskState_ = NSURLSessionTaskState::Completed;
        error_ = error;
        session = std::move(session_);
    }
    if (!session) return;
    auto task = self<NSURLSessionTask>();
    auto state = state_;
    state->delegateQueue->async([session, state, task, error] {
        noteDeliveredEvent(*state);
        if (auto delegate = state->delegate.lock())
            delegate->URLSessionTaskDidCompleteWithError(*session, *task, error);
        sessionTaskDidEnd(*session, *state, *task);
    });
}

NSURLSessionUploadTask::NSURLSessionUploadTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier,
                                               NSURLRequest request, Bytes body, bool lengthKnown)
    : NSURLSessionTask(std::move(session), identifier, std::move(request)),
      body_(std::move(body)),
      lengthKnown_(lengthKnown) {
    bytesExpectedToSend_ = lengthKnown_ ? static_cast<std::int64_t>(body_.size()) : NSURLSessionTransferSizeUnknown;
}

namespace {

// Reports the body sent and the reply pieces of an upload as they come.
class UploadObserver : public URLTransferObserver {
public:
    using Post = std::function<void(std::function<void(NSURLSession&, NSURLSessionDelegate&)>)>;
    UploadObserver(NSURLSessionTask& task, std::atomic<std::int64_t>& sent, std::atomic<std::int64_t>& received,
                   std::atomic<std::int64_t>& expectedToReceive, std::int64_t expectedToSend, Post post,
                   std::function<void(std::shared_ptr<NSURLResponse>)> setResponse)
        : task_(task),
          sent_(sent),
          received_(received),
          expectedToReceive_(expectedToReceive),
          expectedToSend_(expectedToSend),
          post_(std::move(post)),
          setResponse_(std::move(setResponse)) {}

    void transferDidSend(std::int64_t total) override {
        std::int64_t before = sent_.load();
        if (total <= before) return;
        sent_.store(total);
        NSURLSessionTask* task = &task_;
        std::int64_t expected = expectedToSend_;
        post_([task, piece = total - before, total, expected](NSURLSession& session, NSURLSessionDelegate& delegate) {
            delegate.URLSessionTaskDidSendBodyData(session, *task, piece, total, expected);
        });
    }
    bool transferDidReceiveResponse(const std::shared_ptr<NSURLResponse>& response) override {
        expectedToReceive_.store(response->expectedContentLength());
        setResponse_(response);
        return true;
    }
    bool transferDidReceiveData(const char* data, std::size_t size) override {
        received_ += static_cast<std::int64_t>(size);
        NSURLSessionTask* task = &task_;
        post_([task, piece = Bytes(data, data + size)](NSURLSession& session, NSURLSessionDelegate& delegate) {
            delegate.URLSessionDataTaskDidReceiveData(session, *task, piece);
        });
        return true;
    }

private:
    NSURLSessionTask& task_;
    std::atomic<std::int64_t>& sent_;
    std::atomic<std::int64_t>& received_;
    std::atomic<std::int64_t>& expectedToReceive_;
    std::int64_t expectedToSend_;
    Post post_;
    std::function<void(std::shared_ptr<NSURLResponse>)> setResponse_;
};

}  // namespace

void NSURLSessionUploadTask::run() {
    UploadObserver observer(
        *this, bytesSent_, bytesReceived_, bytesExpectedToReceive_, bytesExpectedToSend_.load(),
        [this](Event event) { post(std::move(event)); },
        [this](std::shared_ptr<NSURLResponse> r) { setResponse(std::move(r)); });
    // The reply reaches the delegate piece by piece, to be gathered in memory: bounded as any reply.
    URLTransferLimits limits = transferLimitsFor(originalRequest(), quietLimit(), URLReplyDestination::Memory);
    URLStreamResult result =
        performStreamingRequest(originalRequest(), limits, observer, &cancelled_, URLUploadBody{&body_, lengthKnown_});
    if (result.response) setResponse(result.response);
    finish(std::move(result.error));
}
