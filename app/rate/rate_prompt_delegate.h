// What the rating prompt tells its delegate, beside the notification of the same name. Every
// event is optional; the two questions answer none when the delegate leaves them unanswered,
// which counts as yes.
#pragma once

#include <memory>
#include <optional>

class NSError;

class RatePromptDelegate {
public:
    virtual ~RatePromptDelegate() = default;
    virtual void RatePromptCouldNotConnectToAppStore(const std::shared_ptr<NSError>& /*error*/) {}
    virtual void RatePromptDidDetectAppUpdate() {}
    virtual std::optional<bool> RatePromptShouldPromptForRating() { return std::nullopt; }
    virtual void RatePromptDidPromptForRating() {}
    virtual void RatePromptUserDidAttemptToRateApp() {}
    virtual void RatePromptUserDidDeclineToRateApp() {}
    virtual void RatePromptUserDidRequestReminderToRateApp() {}
    virtual std::optional<bool> RatePromptShouldOpenAppStore() { return std::nullopt; }
    virtual void RatePromptDidOpenAppStore() {}
};
