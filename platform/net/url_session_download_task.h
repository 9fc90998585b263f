// NSURLSessionDownloadTask: the reply body streamed into a temporary file, handed over by
// URLSessionDownloadTaskDidFinishDownloadingToURL and removed when that event returns. A running
// download can be cancelled into resume data, from which a new task continues with a range request.
// The file is bounded only by a maximum body length the request sets; the total time-out holds.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/net/url_resume_data.h"
#include "platform/net/url_session_task.h"

class NSURLSessionDownloadTask : public NSURLSessionTask {
public:
    KORVA_MAKE(NSURLSessionDownloadTask)

    // Cancels the task; the handler gets, on the delegate queue before the completion event,
    // resume data when the reply named a validator (ETag or Last-Modified) and some of its body
    // was written, none otherwise (the partial file is then removed).
    void cancelByProducingResumeData(std::function<void(std::optional<Bytes>)> completionHandler);

    std::string className() const override { return "NSURLSessionDownloadTask"; }

protected:
    NSURLSessionDownloadTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier, NSURLRequest request,
                             std::optional<URLResumeRecord> resume = std::nullopt);
    void run() override;
    void cancelledBeforeStart() override;

private:
    friend class DownloadStreamObserver;
    // Hands the resume data (or none) to the waiting handler, if any.
    void answerResumeData(std::optional<Bytes> data);

    std::optional<URLResumeRecord> resume_;
    std::mutex resumeMutex_;
    std::function<void(std::optional<Bytes>)> resumeDataHandler_;
    bool ended_ = false;
};
