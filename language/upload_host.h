// UploadHost: POST requests sent as upload tasks of a background session, so that an upload may
// finish while the application is suspended; each reply goes to the completion kept in the
// task's entry. Entries are kept per task; the questions by URL see the newest task for it.
//
// Main-thread only: the session reports on the main queue.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/upload_service.h"
#include "platform/net/url_session_delegate.h"

class UploadHost : public UploadService, public NSURLSessionDelegate {
public:
    KORVA_MAKE(UploadHost)

    // One upload: its task, progress, completion and what has arrived so far.
    struct Entry {
        std::shared_ptr<NSURLSessionUploadTask> task;
        float percent = 0.0f;
        URLCompletion complete;
        bool noti = false;
        std::optional<Bytes> data;
        bool result = false;
        std::shared_ptr<NSError> error;
        bool done = false;
    };

    // The background session "<app name>-UploadHost", made on first use and kept.
    std::shared_ptr<NSURLSession> session();
    // Entries in the order they were made.
    const std::vector<std::shared_ptr<Entry>>& tasks() const { return tasks_; }

    // An upload task for the request on the session, registered but not resumed.
    std::shared_ptr<NSURLSessionUploadTask> request(NSURLRequest request, bool noti, URLCompletion handler) override;
    bool isActive(const std::string& url) const;
    // 0 to 1; 0 without an entry.
    float queryPercent(const std::string& url) const;
    // Cancels the newest upload to the URL; its completion gets the cancel error.
    void cancel(const std::string& url);
    // Delivers the task's entry once and forgets it.
    void complete(const NSURLSessionTask& task);
    // Called after a noted upload ended, with whether it succeeded; nothing here.
    virtual void noti(bool /*success*/) {}

    void URLSessionTaskDidSendBodyData(NSURLSession&, NSURLSessionTask& task, std::int64_t bytesSent,
                                       std::int64_t totalBytesSent, std::int64_t totalBytesExpectedToSend) override;
    void URLSessionDataTaskDidReceiveData(NSURLSession&, NSURLSessionTask& task, const Bytes& data) override;
    void URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                            std::shared_ptr<NSError> error) override;
    void URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) override;

    std::string className() const override { return "UploadHost"; }

protected:
    UploadHost() = default;

private:
    std::shared_ptr<Entry> entryFor(const NSURLSessionTask& task) const;
    std::shared_ptr<Entry> newestFor(const std::string& url) const;

    std::shared_ptr<NSURLSession> session_;
    std::vector<std::shared_ptr<Entry>> tasks_;
};
