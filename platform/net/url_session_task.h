// NSURLSessionTask: one transfer of a delegate session: its identity, request, reply head,
// state and byte counts; NSURLSessionUploadTask sends a body and hears the reply piece by piece.
//
// States: Suspended --resume--> Running --end--> Completed; cancel from Suspended or Running
// goes through Canceling to Completed with a cancel error. Every task ends with exactly one
// URLSessionTaskDidCompleteWithError, its last event. Public methods are thread-safe; events
// arrive on the session's delegate queue.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/net/url_session.h"
#include "platform/net/url_session_delegate.h"

class NSURLSessionTask : public NSObject {
public:
    // Unique within its session.
    std::uint64_t taskIdentifier() const { return identifier_; }
    const NSURLRequest& originalRequest() const { return request_; }
    // The final reply's head; none until it arrived.
    std::shared_ptr<NSURLResponse> response() const;
    NSURLSessionTaskState state() const;
    // The error the task ended with; none while running and after a success.
    std::shared_ptr<NSError> error() const;

    std::int64_t countOfBytesSent() const { return bytesSent_.load(); }
    std::int64_t countOfBytesExpectedToSend() const { return bytesExpectedToSend_.load(); }
    std::int64_t countOfBytesReceived() const { return bytesReceived_.load(); }
    std::int64_t countOfBytesExpectedToReceive() const { return bytesExpectedToReceive_.load(); }

    // Starts the transfer; later calls do nothing.
    void resume();
    // Ends the transfer with NSURLErrorCancelled (at once when it never started).
    void cancel();

    std::string className() const override { return "NSURLSessionTask"; }

protected:
    NSURLSessionTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier, NSURLRequest request);

    // The exchange, on a thread of the task's own; ends by calling finish().
    virtual void run() = 0;
    // Called once when a task that never started is cancelled (before its completion).
    virtual void cancelledBeforeStart() {}

    // Hands an event to the delegate on the delegate queue, in order with the task's others.
    using Event = std::function<void(NSURLSession&, NSURLSessionDelegate&)>;
    void post(Event event);
    // Records the outcome and sends the completion event; the task then lets go of its session.
    void finish(std::shared_ptr<NSError> error);
    void setResponse(std::shared_ptr<NSURLResponse> response);
    // Seconds without traffic before the exchange times out: the shorter of the request's and
    // the session configuration's.
    double quietLimit() const;
    const std::shared_ptr<DispatchQueue>& delegateQueue() const;

    std::atomic<bool> cancelled_{false};
    std::atomic<std::int64_t> bytesSent_{0};
    std::atomic<std::int64_t> bytesExpectedToSend_{0};
    std::atomic<std::int64_t> bytesReceived_{0};
    std::atomic<std::int64_t> bytesExpectedToReceive_{NSURLSessionTransferSizeUnknown};

private:
    std::uint64_t identifier_;
    NSURLRequest request_;
    mutable std::mutex mutex_;
    std::shared_ptr<NSURLSession> session_;
    std::shared_ptr<URLSessionState> state_;
    std::shared_ptr<NSURLResponse> response_;
    std::shared_ptr<NSError> error_;
    NSURLSessionTaskState taskState_ = NSURLSessionTaskState::Suspended;
};

// The request body goes out piece by piece (reported by URLSessionTaskDidSendBodyData); the
// reply comes back through URLSessionDataTaskDidReceiveData, bounded like any reply held in
// memory (the request's maximum body length) and by the request's total time-out.
class NSURLSessionUploadTask : public NSURLSessionTask {
public:
    KORVA_MAKE(NSURLSessionUploadTask)
    std::string className() const override { return "NSURLSessionUploadTask"; }

protected:
    NSURLSessionUploadTask(std::shared_ptr<NSURLSession> session, std::uint64_t identifier, NSURLRequest request,
                           Bytes body, bool lengthKnown);
    void run() override;

private:
    Bytes body_;
    bool lengthKnown_;
};
