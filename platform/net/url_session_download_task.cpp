// Download tasks: the reply streamed into a file, resumed with a range request, cancelled into
// resume data.
#include "platform/net/url_session_download_task.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <utility>

#include "platform/dispatch/queue.h"
#include "platform/net/url_error.h"
#include "platform/net/url_stream_transfer.h"
#include "platform/storage/file_manager.h"

namespace {

constexpr std::int64_t kCannotCreateFile = -3000;
constexpr std::int64_t kCannotWriteToFile = -3003;

std::shared_ptr<NSError> fileError(std::int64_t code, const std::string& path) {
    return NSError::withDescription(NSURLErrorDomain, code,
                                    (code == kCannotCreateFile ? "The download file could not be created: "
                                                               : "The download file could not be written: ") +
                                        path);
}

// The first and last byte of a partial reply ("bytes 100-199/200"); none when the range is not
// sound: its end before its start or past the total, or a body length that disagrees with it.
std::optional<std::pair<std::int64_t, std::int64_t>> partRange(const NSHTTPURLResponse& response,
                                                               std::int64_t bodyLength) {
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
    return std::make_pair(*first, *last);
}

// The download file's descriptor, closed on every road out.
struct DownloadDescriptor {
    int fd = -1;
    ~DownloadDescriptor() { close(); }
    // False when closing reported an error (the last bytes may not have been written).
    bool close() {
        if (fd < 0) return true;
        bool closed = ::close(fd) == 0;
        fd = -1;
        return closed;
    }
};

// The body's length as it will be written: unknown when the reply is compressed, since the
// announced length counts the compressed bytes.
std::int64_t writtenLength(const NSHTTPURLResponse& response) {
    auto coding = response.valueForHTTPHeaderField("Content-Encoding");
    if (coding && strcasecmp(coding->c_str(), "identity") != 0) return NSURLSessionTransferSizeUnknown;
    return response.expectedContentLength();
}

}  // namespace

// Writes the body into the download file, through the descriptor it was opened with at the
// task's start, and reports each piece.
class DownloadStreamObserver : public URLTransferObserver {
public:
    DownloadStreamObserver(NSURLSessionDownloadTask& task, std::string path, int fd, std::optional<std::size_t> cap)
        : task_(task), path_(std::move(path)), fd_(fd), cap_(cap) {}

    bool transferDidReceiveResponse(const std::shared_ptr<NSURLResponse>& response) override {
        auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
        if (!http) return false;
        status_ = http->statusCode();
        validator_ =
            http->valueForHTTPHeaderField("ETag").value_or(http->valueForHTTPHeaderField("Last-Modified").value_or(""));
        std::int64_t length = writtenLength(*http);
        const auto& resume = task_.resume_;
        auto range = status_ == 206 ? partRange(*http, length) : std::nullopt;
        if (status_ == 206 && (!resume || !range || range->first != resume->offset)) {
            // A part that does not continue the file would corrupt it.
            refusal = badReply();
            return false;
        }
        std::int64_t start = 0;
        if (resume && status_ == 206) {
            // The server continues where the partial file ends, and the part ends where its
            // range says, whether or not a length was declared.
            start = resume->offset;
            partEnd_ = range->second + 1;
            expected_ = length >= 0 ? resume->offset + length : NSURLSessionTransferSizeUnknown;
        } else {
            // A fresh download, or a server that answered with the whole body: start from zero.
            expected_ = length;
        }
        written_ = start;
        if (::ftruncate(fd_, start) != 0 || ::lseek(fd_, start, SEEK_SET) != start) {
            refusal = fileError(kCannotWriteToFile, path_);
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
        const auto piece = static_cast<std::int64_t>(size);
        if (partEnd_ && written_ + piece > *partEnd_) {
            refusal = badReply();
            return false;
        }
        // The cap bounds the whole file, including the part written before a pause.
        if (cap_ && static_cast<std::uint64_t>(written_ + piece) > *cap_) {
            refusal = makeURLError(NSURLErrorDataLengthExceedsMaximum, requestAddress(),
                                   "the reply is larger than " + std::to_string(*cap_) + " bytes");
            return false;
        }
        if (!writeAllToDescriptor(fd_, data, size)) {
            refusal = fileError(kCannotWriteToFile, path_);
            return false;
        }
        written_ += piece;
        task_.bytesReceived_ = written_;
        auto* task = &task_;
        task_.post([task, piece, total = written_, expected = expected_](NSURLSession& session,
                                                                         NSURLSessionDelegate& delegate) {
            delegate.URLSessionDownloadTaskDidWriteData(session, *task, piece, total, expected);
        });
        return true;
    }

    // Resume data for what was written, when the reply can be continued later.
    std::optional<URLResumeRecord> resumeRecord() const {
        if (validator_.empty() || written_ <= 0 || (status_ != 200 && status_ != 206)) return std::nullopt;
        const NSURLRequest& request = task_.originalRequest();
        std::optional<std::size_t> cap;
        if (request.setsMaximumBodyLength()) cap = request.maximumBodyLength();
        return URLResumeRecord{request.URL()->absoluteString(), path_, written_, validator_, cap};
    }

private:
    std::string requestAddress() const {
        const auto& url = task_.originalRequest().URL();
        return url ? url->absoluteString() : std::string();
    }
    std::shared_ptr<NSError> badReply() const { return makeURLError(NSURLErrorBadServerResponse, requestAddress()); }

    NSURLSessionDownloadTask& task_;
    std::string path_;
    int fd_;
    // The most bytes the file may hold.
    std::optional<std::size_t> cap_;
    // Where the file must end once a partial reply has been written: the end of its range.
    std::optional<std::int64_t> partEnd_;
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
    // The file is opened once, here, and written only through this descriptor: a name checked
    // now and opened later could lead anywhere by then.
    DownloadDescriptor file;
    std::string path;
    if (resume_) {
        file.fd = openDownloadFile(resume_->partialFile);
        path = resume_->partialFile;
        struct stat facts {};
        // Shortened since the resume data was read: what the offset counts is gone.
        if (file.fd >= 0 && (::fstat(file.fd, &facts) != 0 || facts.st_size < resume_->offset)) file.close();
    } else if (auto made = createDownloadFile()) {
        file.fd = made->fd;
        path = made->path;
    }
    if (file.fd < 0) {
        answerResumeData(std::nullopt);
        finish(fileError(kCannotCreateFile, "temporary folder"));
        return;
    }
    NSURLRequest request = originalRequest();
    if (resume_) {
        request.setValue("bytes=" + std::to_string(resume_->offset) + "-", "Range");
        request.setValue(resume_->validator, "If-Range");
    }
    URLTransferLimits limits = transferLimitsFor(request, quietLimit(), URLReplyDestination::File);
    DownloadStreamObserver observer(*this, path, file.fd, limits.maximumBody);
    URLStreamResult result = performStreamingRequest(request, limits, observer, &cancelled_);
    // Something else put under the name meanwhile is neither handed over nor removed.
    const bool ours = namesOpenFile(path, file.fd);
    bool flushed = file.close();
    if (!result.error && !flushed) result.error = fileError(kCannotWriteToFile, path);
    if (!result.error && !ours) result.error = fileError(kCannotWriteToFile, path + " (replaced while it was written)");
    if (result.response) setResponse(result.response);

    if (result.error) {
        std::optional<URLResumeRecord> record = cancelled_.load() && ours ? observer.resumeRecord() : std::nullopt;
        if (!record && ours) std::remove(path.c_str());
        answerResumeData(record ? std::optional<Bytes>(encodeResumeData(*record)) : std::nullopt);
        finish(std::move(result.error));
        return;
    }
    answerResumeData(std::nullopt);
    auto location = NSURL::fileURLWithPath(path);
    post([this, location](NSURLSession& session, NSURLSessionDelegate& delegate) {
        delegate.URLSessionDownloadTaskDidFinishDownloadingToURL(session, *this, location);
    });
    // Removed once the event has returned, whatever the delegate did with it.
    delegateQueue()->async([path] { std::remove(path.c_str()); });
    finish(nullptr);
}
