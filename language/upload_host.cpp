// The upload service: a task registry fed by the background session's events.
#include "language/upload_host.h"

#include <algorithm>

#include "foundation/background_session_completion.h"
#include "foundation/global.h"
#include "platform/dispatch/queue.h"
#include "platform/net/url_session_configuration.h"

namespace {

std::string urlOf(const NSURLSessionTask& task) {
    const auto& url = task.originalRequest().URL();
    return url ? url->absoluteString() : std::string();
}

}  // namespace

std::shared_ptr<NSURLSession> UploadHost::session() {
    if (!session_) {
        auto configuration = NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
            Global::shared()->appName() + "-UploadHost");
        session_ = NSURLSession::sessionWithConfiguration(configuration, self<UploadHost>(), dispatch_get_main_queue());
    }
    return session_;
}

std::shared_ptr<NSURLSessionUploadTask> UploadHost::request(NSURLRequest request, bool noti, URLCompletion handler) {
    auto task = session()->uploadTaskWithStreamedRequest(std::move(request));
    if (!task) return nullptr;
    auto entry = std::make_shared<Entry>();
    entry->task = task;
    entry->complete = std::move(handler);
    entry->noti = noti;
    tasks_.push_back(entry);
    return task;
}

std::shared_ptr<UploadHost::Entry> UploadHost::entryFor(const NSURLSessionTask& task) const {
    auto it = std::find_if(tasks_.begin(), tasks_.end(), [&](const auto& entry) { return entry->task.get() == &task; });
    return it == tasks_.end() ? nullptr : *it;
}

std::shared_ptr<UploadHost::Entry> UploadHost::newestFor(const std::string& url) const {
    auto it =
        std::find_if(tasks_.rbegin(), tasks_.rend(), [&](const auto& entry) { return urlOf(*entry->task) == url; });
    return it == tasks_.rend() ? nullptr : *it;
}

bool UploadHost::isActive(const std::string& url) const {
    return newestFor(url) != nullptr;
}

float UploadHost::queryPercent(const std::string& url) const {
    auto entry = newestFor(url);
    return entry ? entry->percent : 0.0f;
}

void UploadHost::cancel(const std::string& url) {
    if (auto entry = newestFor(url)) entry->task->cancel();
}

void UploadHost::complete(const NSURLSessionTask& task) {
    auto entry = entryFor(task);
    if (!entry || entry->done) return;
    entry->done = true;
    URLCompletion completion = std::move(entry->complete);
    entry->complete = nullptr;
    if (completion) completion(entry->data, task.response(), entry->error);
    std::erase(tasks_, entry);
    if (entry->noti) noti(!entry->error);
}

void UploadHost::URLSessionTaskDidSendBodyData(NSURLSession&, NSURLSessionTask& task, std::int64_t,
                                               std::int64_t totalBytesSent, std::int64_t totalBytesExpectedToSend) {
    auto entry = entryFor(task);
    if (!entry) return;
    entry->percent = totalBytesExpectedToSend < 1
                         ? 0.0f
                         : static_cast<float>(totalBytesSent) / static_cast<float>(totalBytesExpectedToSend);
}

void UploadHost::URLSessionDataTaskDidReceiveData(NSURLSession&, NSURLSessionTask& task, const Bytes& data) {
    auto entry = entryFor(task);
    if (!entry) return;
    if (!entry->data) entry->data = Bytes();
    entry->data->insert(entry->data->end(), data.begin(), data.end());
    if (entry->result) complete(task);
}

void UploadHost::URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                                    std::shared_ptr<NSError> error) {
    auto entry = entryFor(task);
    if (!entry) return;
    if (error) {
        entry->error = std::move(error);
    } else {
        entry->result = true;
        // A reply without a body completes with empty data.
        if (!entry->data) entry->data = Bytes();
    }
    complete(task);
}

void UploadHost::URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) {
    callBackgroundSessionCompletionHandler();
}
