// NSURLSessionDelegate: the events a delegate session sends, on its delegate queue, in the order
// they happen. Every method is optional; the defaults do nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/net/url.h"
#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

class NSURLSession;
class NSURLSessionTask;
class NSURLSessionDownloadTask;

// The expected total when the other side did not announce one.
inline constexpr std::int64_t NSURLSessionTransferSizeUnknown = -1;

class NSURLSessionDelegate {
public:
    virtual ~NSURLSessionDelegate() = default;

    // Session events.
    virtual void URLSessionDidBecomeInvalidWithError(NSURLSession&, std::shared_ptr<NSError>) {}
    // A background session delivered every event that arrived while the application was in the
    // background; sent after the application delegate got the completion handler.
    virtual void URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) {}

    // Task events: body progress (this piece, total so far, expected total or unknown) and the end.
    virtual void URLSessionTaskDidSendBodyData(NSURLSession&, NSURLSessionTask&, std::int64_t /*bytesSent*/,
                                               std::int64_t /*totalBytesSent*/,
                                               std::int64_t /*totalBytesExpectedToSend*/) {}
    // Always the last event of a task; none on success.
    virtual void URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask&, std::shared_ptr<NSError>) {}

    // Reply pieces of data and upload tasks, in order.
    virtual void URLSessionDataTaskDidReceiveData(NSURLSession&, NSURLSessionTask&, const Bytes&) {}

    // Download events: bytes written to the file (this piece, total, expected or unknown); the
    // finished file, which is removed once this call returns; a resumed transfer's start.
    virtual void URLSessionDownloadTaskDidWriteData(NSURLSession&, NSURLSessionDownloadTask&,
                                                    std::int64_t /*bytesWritten*/, std::int64_t /*totalBytesWritten*/,
                                                    std::int64_t /*totalBytesExpectedToWrite*/) {}
    virtual void URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask&,
                                                                 const std::shared_ptr<NSURL>& /*location*/) {}
    virtual void URLSessionDownloadTaskDidResumeAtOffset(NSURLSession&, NSURLSessionDownloadTask&,
                                                         std::int64_t /*fileOffset*/,
                                                         std::int64_t /*expectedTotalBytes*/) {}
};
