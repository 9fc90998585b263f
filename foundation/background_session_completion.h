// BackgroundSessionCompletion: what the background transfer services ask of the application
// delegate: the completion handler the platform handed over with a background session's events,
// stored as it arrives. The application delegate implements it beside UIApplicationDelegate.
#pragma once

#include <functional>
#include <memory>

class BackgroundSessionCompletion {
public:
    virtual ~BackgroundSessionCompletion() = default;
    // Empty until the platform hands one over.
    virtual std::function<void()> backgroundSessionCompletionHandler() const = 0;
    virtual void setBackgroundSessionCompletionHandler(std::function<void()> handler) = 0;
};

// The shared application's delegate, when it keeps the handler; none otherwise. Main thread.
std::shared_ptr<BackgroundSessionCompletion> applicationBackgroundSessionCompletion();
// Takes the stored handler, clears it and then calls it; nothing when none is stored.
void callBackgroundSessionCompletionHandler();
