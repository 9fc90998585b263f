// What a delegate session keeps: its configuration, delegate and queue, and the tasks not yet
// completed. Internal to the net module.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/net/url_session_configuration.h"
#include "platform/net/url_session_delegate.h"

struct URLSessionState {
    std::shared_ptr<NSURLSessionConfiguration> configuration;
    std::weak_ptr<NSURLSessionDelegate> delegate;
    std::shared_ptr<DispatchQueue> delegateQueue;

    // Guards the fields below; taken by any thread that makes, starts or ends a task.
    std::mutex mutex;
    // Weak: a task lives while its caller or its running transfer holds it, so that a task made
    // and dropped unstarted does not keep its session (and itself) alive.
    std::vector<std::weak_ptr<NSURLSessionTask>> tasks;
    std::uint64_t nextIdentifier = 1;
    bool invalidated = false;
    bool invalidationSent = false;

    // Delegate queue only: an event was delivered while the application was in the background
    // and the hand-back to the application has not happened yet.
    bool deliveredInBackground = false;
};

// Delegate queue: called before each event is delivered.
void noteDeliveredEvent(URLSessionState& state);
// Delegate queue: after a task's completion event. Forgets the task; a background session that
// has delivered everything while the application was in the background hands back to it; an
// invalidated session with no task left tells its delegate.
void sessionTaskDidEnd(NSURLSession& session, URLSessionState& state, const NSURLSessionTask& task);
