// SystemServices: recorded device services and clock-driven background grants.
#include "foundation/system_services.h"

#include <sys/utsname.h>

#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/app/ui_pasteboard.h"

namespace {

std::shared_ptr<SystemServices>& sharedSlot() {
    static std::shared_ptr<SystemServices> services;
    return services;
}

const char* feedbackName(FeedbackKind kind) {
    switch (kind) {
        case FeedbackKind::Impact: return "impact";
        case FeedbackKind::Selection: return "selection";
        case FeedbackKind::NotificationSuccess: return "notification success";
    }
    return "feedback";
}

}  // namespace

SystemServices::SystemServices() {
    utsname system{};
    if (uname(&system) == 0) {
        systemName_ = system.sysname;
        systemVersion_ = system.release;
    }
}

std::shared_ptr<SystemServices> SystemServices::shared() {
    if (!sharedSlot()) sharedSlot() = SystemServices::make();
    return sharedSlot();
}

void SystemServices::setShared(std::shared_ptr<SystemServices> services) {
    sharedSlot() = std::move(services);
}

void SystemServices::setSystem(std::string name, std::string version) {
    systemName_ = std::move(name);
    systemVersion_ = std::move(version);
}

std::optional<std::string> SystemServices::pasteboardString() const {
    return UIPasteboard::generalPasteboard()->string();
}

void SystemServices::setPasteboardString(std::string text) {
    UIPasteboard::generalPasteboard()->setString(std::move(text));
}

bool SystemServices::canOpenScheme(const std::string& scheme) const {
    return std::find(schemes_.begin(), schemes_.end(), scheme) != schemes_.end();
}

void SystemServices::prepareFeedback(FeedbackKind kind) {
    requests_.push_back(std::string("prepare ") + feedbackName(kind));
}
void SystemServices::playFeedback(FeedbackKind kind) {
    requests_.emplace_back(feedbackName(kind));
}
void SystemServices::playSystemSound(std::uint32_t soundID) {
    requests_.push_back("sound " + std::to_string(soundID));
}

void SystemServices::setMusicVolume(float volume) {
    musicVolume_ = volume != volume ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
}

UIBackgroundTaskIdentifier SystemServices::beginBackgroundTask(std::function<void()> expiration) {
    const UIBackgroundTaskIdentifier identifier = nextGrant_++;
    std::weak_ptr<SystemServices> weakSelf = self<SystemServices>();
    Grant grant;
    grant.deadline = Clock::now() + allowance_;
    grant.timer = NSTimer::scheduledTimer(allowance_, false,
                                          [weakSelf, identifier, expiration = std::move(expiration)](const auto&) {
                                              if (auto strong = weakSelf.lock()) strong->expire(identifier, expiration);
                                          });
    grants_[identifier] = std::move(grant);
    return identifier;
}

void SystemServices::expire(UIBackgroundTaskIdentifier identifier, std::function<void()> expiration) {
    if (!grants_.count(identifier)) return;
    // The handler is expected to end the grant; the grant ends either way.
    if (expiration) expiration();
    grants_.erase(identifier);
}

void SystemServices::endBackgroundTask(UIBackgroundTaskIdentifier identifier) {
    auto it = grants_.find(identifier);
    if (it == grants_.end()) return;
    if (it->second.timer) it->second.timer->invalidate();
    grants_.erase(it);
}

double SystemServices::backgroundTimeRemaining() const {
    if (grants_.empty()) return 0;
    double earliest = grants_.begin()->second.deadline;
    for (const auto& [id, grant] : grants_) earliest = std::min(earliest, grant.deadline);
    return std::max(0.0, earliest - Clock::now());
}
