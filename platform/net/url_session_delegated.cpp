// Delegate sessions: making their tasks, listing them, invalidation and the background hand-back.
#include <algorithm>

#include "platform/net/url_session.h"
#include "platform/net/url_session_background.h"
#include "platform/net/url_session_download_task.h"
#include "platform/net/url_session_state.h"
#include "platform/runtime/log.h"

namespace {

bool applicationInBackground() {
    URLSessionApplicationHooks hooks = urlSessionApplicationHooks();
    return hooks.isInBackground && hooks.isInBackground();
}

// The next identifier, or none once the session was invalidated.
std::optional<std::uint64_t> nextTaskIdentifier(URLSessionState* state) {
    if (!state) return std::nullopt;
    std::lock_guard lock(state->mutex);
    if (state->invalidated) return std::nullopt;
    return state->nextIdentifier++;
}

template <class Task>
std::shared_ptr<Task> registered(URLSessionState& state, std::shared_ptr<Task> task) {
    std::lock_guard lock(state.mutex);
    state.tasks.push_back(task);
    return task;
}

}  // namespace

void noteDeliveredEvent(URLSessionState& state) {
    if (state.configuration->isBackground() && applicationInBackground()) state.deliveredInBackground = true;
}

void sessionTaskDidEnd(NSURLSession& session, URLSessionState& state, const NSURLSessionTask& task) {
    bool idle = false;
    bool tellInvalid = false;
    {
        std::lock_guard lock(state.mutex);
        std::erase_if(state.tasks, [&](const auto& t) { return t.expired() || t.lock().get() == &task; });
        idle = state.tasks.empty();
        if (idle && state.invalidated && !state.invalidationSent) tellInvalid = state.invalidationSent = true;
    }
    auto delegate = state.delegate.lock();
    if (idle && state.deliveredInBackground) {
        state.deliveredInBackground = false;
        URLSessionApplicationHooks hooks = urlSessionApplicationHooks();
        const std::string identifier = state.configuration->identifier().value_or("");
        if (hooks.handleEventsForBackgroundURLSession) {
            hooks.handleEventsForBackgroundURLSession(identifier, [identifier] {
                Log::debug("net", "background session " + identifier + ": the application finished with its events");
            });
        }
        if (delegate) delegate->URLSessionDidFinishEventsForBackgroundURLSession(session);
    }
    if (tellInvalid && delegate) delegate->URLSessionDidBecomeInvalidWithError(session, nullptr);
}

std::shared_ptr<NSURLSession> NSURLSession::sessionWithConfiguration(
    std::shared_ptr<NSURLSessionConfiguration> configuration, std::shared_ptr<NSURLSessionDelegate> delegate,
    std::shared_ptr<DispatchQueue> delegateQueue) {
    auto session = NSURLSession::make();
    auto state = std::make_shared<URLSessionState>();
    state->configuration =
        configuration ? std::move(configuration) : NSURLSessionConfiguration::defaultSessionConfiguration();
    state->delegate = delegate;
    state->delegateQueue = delegateQueue ? std::move(delegateQueue) : dispatch_queue_create("NSURLSession.delegate");
    session->delegated_ = std::move(state);
    return session;
}

std::shared_ptr<NSURLSessionConfiguration> NSURLSession::configuration() const {
    return delegated_ ? delegated_->configuration : NSURLSessionConfiguration::defaultSessionConfiguration();
}

std::shared_ptr<NSURLSessionDelegate> NSURLSession::delegate() const {
    return delegated_ ? delegated_->delegate.lock() : nullptr;
}

std::shared_ptr<DispatchQueue> NSURLSession::delegateQueue() const {
    return delegated_ ? delegated_->delegateQueue : nullptr;
}

std::shared_ptr<NSURLSessionUploadTask> NSURLSession::uploadTaskWithStreamedRequest(NSURLRequest request) {
    auto identifier = nextTaskIdentifier(delegated_.get());
    if (!identifier) return nullptr;
    bool lengthKnown = request.valueForHTTPHeaderField("Content-Length").has_value();
    Bytes body = request.HTTPBody();
    return registered(*delegated_, NSURLSessionUploadTask::make(self<NSURLSession>(), *identifier, std::move(request),
                                                                std::move(body), lengthKnown));
}

std::shared_ptr<NSURLSessionUploadTask> NSURLSession::uploadTaskWithRequest(NSURLRequest request, Bytes fromData) {
    auto identifier = nextTaskIdentifier(delegated_.get());
    if (!identifier) return nullptr;
    return registered(*delegated_, NSURLSessionUploadTask::make(self<NSURLSession>(), *identifier, std::move(request),
                                                                std::move(fromData), true));
}

std::shared_ptr<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithURL(std::shared_ptr<NSURL> url) {
    return downloadTaskWithRequest(NSURLRequest(std::move(url)));
}

std::shared_ptr<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithRequest(NSURLRequest request) {
    auto identifier = nextTaskIdentifier(delegated_.get());
    if (!identifier) return nullptr;
    return registered(*delegated_,
                      NSURLSessionDownloadTask::make(self<NSURLSession>(), *identifier, std::move(request)));
}

std::shared_ptr<NSURLSessionDownloadTask> NSURLSession::downloadTaskWithResumeData(const Bytes& resumeData) {
    std::optional<URLResumeRecord> record = decodeResumeData(resumeData);
    if (!record) return nullptr;
    auto identifier = nextTaskIdentifier(delegated_.get());
    if (!identifier) return nullptr;
    NSURLRequest request(NSURL::URLWithString(record->url));
    // The cap the paused request set still holds for the rest of it.
    if (record->maximumBody) request.setMaximumBodyLength(*record->maximumBody);
    return registered(*delegated_, NSURLSessionDownloadTask::make(self<NSURLSession>(), *identifier, std::move(request),
                                                                  std::optional<URLResumeRecord>(std::move(*record))));
}

void NSURLSession::getAllTasksWithCompletionHandler(
    std::function<void(std::vector<std::shared_ptr<NSURLSessionTask>>)> completion) {
    if (!completion) return;
    std::vector<std::shared_ptr<NSURLSessionTask>> tasks;
    std::shared_ptr<DispatchQueue> queue = delegated_ ? delegated_->delegateQueue : dispatch_get_main_queue();
    if (delegated_) {
        std::lock_guard lock(delegated_->mutex);
        for (const auto& weakTask : delegated_->tasks) {
            auto task = weakTask.lock();
            if (task && task->state() != NSURLSessionTaskState::Completed) tasks.push_back(std::move(task));
        }
    }
    queue->async([completion = std::move(completion), tasks = std::move(tasks)] { completion(tasks); });
}

void NSURLSession::finishTasksAndInvalidate() {
    if (!delegated_) return;
    bool idle = false;
    {
        std::lock_guard lock(delegated_->mutex);
        if (delegated_->invalidated) return;
        delegated_->invalidated = true;
        std::erase_if(delegated_->tasks, [](const auto& t) { return t.expired(); });
        idle = delegated_->tasks.empty();
        if (idle) delegated_->invalidationSent = true;
    }
    if (!idle) return;
    auto session = self<NSURLSession>();
    auto state = delegated_;
    state->delegateQueue->async([session, state] {
        if (auto delegate = state->delegate.lock()) delegate->URLSessionDidBecomeInvalidWithError(*session, nullptr);
    });
}

void NSURLSession::invalidateAndCancel() {
    if (!delegated_) return;
    std::vector<std::shared_ptr<NSURLSessionTask>> tasks;
    {
        std::lock_guard lock(delegated_->mutex);
        for (const auto& weakTask : delegated_->tasks) {
            if (auto task = weakTask.lock()) tasks.push_back(std::move(task));
        }
    }
    finishTasksAndInvalidate();
    for (const auto& task : tasks) task->cancel();
}
