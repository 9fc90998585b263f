// Download tasks: the reply streamed into a file, resumed with a range request, cancelled into
// resume data.
#include "platform/net/url_session_download_task.h"

#include <strings.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>

#include "platform/dispatch/queue.h"
#include "platform/net/url_error.h"
#include "platform/net/url_stream_transfer.h"

namespace {

constexpr std::int64_t kCannotCreateFile = -3000;
constexpr std::int64_t kCannotWriteToFile = -3003;

std::shared_ptr<NSError> fileError(std::int64_t code, const std::string& path) {
    return NSError::withDescription(NSURLErrorDomain, code,
                                    (code == kCannotCreateFile ? "The download file could not be created: "
                                                               : "The download file could not be written: ") +
                                        path);
}

// The first byte a partial reply starts at ("bytes 100-199/200"); none when the range is not
// sound: its end before its start or past the total, or a body length that disagrees with it.
std::optional<std::int64_t> rangeStart(const NSHTTPURLResponse& response, std::int64_t bodyLength) {
    auto range = response.valueForHTTPHeaderField("Content-Range");
    if (!range || range->rfind("bytes ", 0) != 0) return std::nullopt;
    const char* p = range->data() + 6;
    const char* stop = range->data() + range->size();
    auto number = [&p, stop](char after) -> std::optional<std::int64_t> {
        std::int64_t value = 0;
        auto [end, status] = std::from_chars(p, stop, value);
        if (status != std::errc() || value < 0 || (after ? end == stop || *end != after : end != stop))
            return std::nullopt;
        p = after ? end + 1 : end;
        return value;
    };
    auto first = number('-');
    auto last = first ? number('/') : std::nullopt;
    if (!first || !last || *last < *first) return std::nullopt;
    if (std::string_view(p, static_cast<std::size_t>(stop - p)) != "*") {
        auto total = number('\0');
        if (!total || *last >= *total) return std::nullopt;
    }
    if (bodyLength >= 0 && bodyLength != *last - *first + 1) return std::nullopt;
    return first;
}

// The body's length as it will be written: unknown when the reply is compressed, since the
// announced length counts the compressed bytes.
std::int64_t writtenLength(const NSHTTPURLResponse& response) {
    auto coding = response.valueForHTTPHeaderField("Content-Encoding");
    if (coding && strcasecmp(coding->c_str(), "identity") != 0) return NSURLSessionTransferSizeUnknown;
    return response.expectedContentLength();
}

}  // namespace

// Writes the body into the download file and reports each piece.
class DownloadStreamObserver : public URLTransferObserver {
public:
    DownloadStreamObserver(NSURLSessionDownloadTask& task, std::string path) : task_(task), path_(std::move(path)) {}
    ~DownloadStreamObserver() override { close(); }

    bool transferDidReceiveResponse(const std::shared_ptr<NSURLResponse>& response) override {
        auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
        if (!http) return false;
        status_ = http->statusCode();
        validator_ =
            http->valueForHTTPHeaderField("ETag").value_or(http->valueForHTTPHeaderField("Last-Modified").value_or(""));
        std::int64_t length = writtenLength(*http);
        const auto& resume = task_.resume_;
        if (status_ == 206 && (!resume || rangeStart(*http, length) != resume->offset)) {
            // A part that does not continue the file would corrupt it.
            refusal =
                makeURLError(NSURLErrorBadServerResponse, http->URL() ? http->URL()->absoluteString() : std::string());
            return false;
        }
        if (resume && status_ == 206) {
            // The server continues where the partial file ends.
            file_ = std::fopen(path_.c_str(), "r+b");
            if (file_ && (::ftruncate(::fileno(file_), resume->offset) != 0 || std::fseek(file_, 0, SEEK_END) != 0))
                close();
            written_ = resume->offset;
            expected_ = length >= 0 ? resume->offset + length : NSURLSessionTransferSizeUnknown;
        } else {
            // A fresh download, or a server that answered with the whole body: start from zero.
            file_ = std::fopen(path_.c_str(), "wb");
            written_ = 0;
            expected_ = length;
        }
        if (!file_) {
            refusal = fileError(kCannotCreateFile, path_);
            return false;
        }
        task_.setResponse(response);
        task_.bytesExpectedToReceive_ = expected_;
        task_.bytesReceived_ = written_;
        if (resume) {
            auto* task = &task_;
            task_.post(
                [task, offset = written_, expected = expected_](NSURLSession& session, NSURLSessionDelegate& delegate) {
                    delegate.URLSessionDownloadTaskDidResumeAtOffset(session, *task, offset, expected);
                });
        }
        return true;
    }

    bool transferDidReceiveData(const char* data, std::size_t size) override {
        if (std::fwrite(data, 1, size, file_) != size) {
            refusal = fileError(kCannotWriteToFile, path_);
            return false;
        }
        written_ += static_cast<std::int64_t>(size);
        task_.bytesReceived_ = written_;
        auto* task = &task_;
        task_.post([task, piece = static_cast<std::int64_t>(size), total = written_, expected = expected_](
                       NSURLSession& session, NSURLSessionDelegate& delegate) {
            delegate.URLSessionDownloadTaskDidWriteData(session, *task, piece, total, expected);
        });
        return true;
    }

    // False when the last bytes could not be written out.
    bool close() {
        if (!file_) return true;
        bool flushed = std::fclose(file_) == 0;
        file_ = nullptr;
        return flushed;
    }

    // Resume data for what was written, when the reply can be continued later.
    std::optional<URLResumeRecord> resumeRecord() const {
        if (validator_.empty() || written_ <= 0 || (status_ != 200 && status_ != 206)) return std::nullopt;
        return URLResumeRecord{task_.originalRequest().URL()->absoluteString(), path_, written_, validator_};
    }

private:
    NSURLSessionDownloadTask& task_;
    std::string path_;
    std::FILE* file_ = nullptr;
    std::int64_t status_ = 0;
    std::string validator_;
    std::int64_t written_ = 0;
    std::int64_t expected_ = NSURLSessionTransferSizeUnknown;
};

NSURLSessionDownloadTask::NSURLSessionDownloadTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier,
                                                   NSURLRequest request, std::optional<URLResumeRecord> resume)
    : NSURLSessionTask(std::move(session), identifier, std::move(request)), resume_(std::move(resume)) {}

void NSURLSessionDownloadTask::cancelByProducingResumeData(
    std::function<void(std::optional<Bytes>)> completionHandler) {
    {
        std::lock_guard lock(resumeMutex_);
        if (!ended_) {
            resumeDataHandler_ = std::move(completionHandler);
            completionHandler = nullptr;
        }
    }
    // A task that has already ended has nothing to give.
    if (completionHandler) delegateQueue()->async([handler = std::move(completionHandler)] { handler(std::nullopt); });
    cancel();
}

void NSURLSessionDownloadTask::cancelledBeforeStart() {
    // A task made from resume data that never ran can give the same data back.
    answerResumeData(resume_ ? std::optional<Bytes>(encodeResumeData(*resume_)) : std::nullopt);
}

void NSURLSessionDownloadTask::answerResumeData(std::optional<Bytes> data) {
    std::function<void(std::optional<Bytes>)> handler;
    {
        std::lock_guard lock(resumeMutex_);
        ended_ = true;
        handler = std::move(resumeDataHandler_);
        resumeDataHandler_ = nullptr;
    }
    if (!handler) {
        // Nobody asked for it: the partial file would only be left behind.
        if (data) {
            if (auto record = decodeResumeData(*data)) std::remove(record->partialFile.c_str());
        }
        return;
    }
    delegateQueue()->async([handler = std::move(handler), data = std::move(data)] { handler(data); });
}

void NSURLSessionDownloadTask::run() {
    std::optional<std::string> path = resume_ ? std::optional<std::string>(resume_->partialFile) : makeDownloadFile();
    // Checked again: the partial file may have been swapped for something else since the task was made.
    if (path && resume_ && !isDownloadFile(*path)) path.reset();
    if (!path) {
        answerResumeData(std::nullopt);
        finish(fileError(kCannotCreateFile, "temporary folder"));
        return;
    }
    NSURLRequest request = originalRequest();
    if (resume_) {
        request.setValue("bytes=" + std::to_string(resume_->offset) + "-", "Range");
        request.setValue(resume_->validator, "If-Range");
    }
    DownloadStreamObserver observer(*this, *path);
    URLTransferLimits limits = transferLimitsFor(request, quietLimit(), URLReplyDestination::File);
    URLStreamResult result = performStreamingRequest(request, limits, observer, &cancelled_);
    bool flushed = observer.close();
    if (!result.error && !flushed) result.error = fileError(kCannotWriteToFile, *path);
    if (result.response) setResponse(result.response);

    if (result.error) {
        std::optional<URLResumeRecord> record = cancelled_.load() ? observer.resumeRecord() : std::nullopt;
        if (!record) std::remove(path->c_str());
        answerResumeData(record ? std::optional<Bytes>(encodeResumeData(*record)) : std::nullopt);
        finish(std::move(result.error));
        return;
    }
    answerResumeData(std::nullopt);
    auto location = NSURL::fileURLWithPath(*path);
    post([this, location](NSURLSession& session, NSURLSessionDelegate& delegate) {
        delegate.URLSessionDownloadTaskDidFinishDownloadingToURL(session, *this, location);
    });
    // Removed once the event has returned, whatever the delegate did with it.
    delegateQueue()->async([file = *path] { std::remove(file.c_str()); });
    finish(nullptr);
}
