// The local notification stand-in: requests wait as run-loop timers on the Clock.
#include "platform/usernotify/user_notification_center.h"

#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"

namespace {

constexpr const char* kDomain = "UNErrorDomain";

std::shared_ptr<UNUserNotificationCenter>& currentSlot() {
    static std::shared_ptr<UNUserNotificationCenter> center = UNUserNotificationCenter::make();
    return center;
}

std::mutex& slotMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

std::shared_ptr<UNUserNotificationCenter> UNUserNotificationCenter::currentNotificationCenter() {
    std::lock_guard lock(slotMutex());
    return currentSlot();
}

void UNUserNotificationCenter::resetCurrentNotificationCenter() {
    std::shared_ptr<UNUserNotificationCenter> old;
    {
        std::lock_guard lock(slotMutex());
        old = currentSlot();
        currentSlot() = UNUserNotificationCenter::make();
    }
    old->removeAllPendingNotificationRequests();
}

void UNUserNotificationCenter::setUserAnswer(bool grants) {
    std::lock_guard lock(mutex_);
    grants_ = grants;
}

void UNUserNotificationCenter::requestAuthorizationWithOptions(
    unsigned options, std::function<void(bool, std::shared_ptr<NSError>)> completion) {
    bool granted;
    {
        std::lock_guard lock(mutex_);
        granted = grants_;
        authorized_ = granted ? std::optional<unsigned>(options) : std::nullopt;
    }
    if (!completion) return;
    dispatch_async(dispatch_get_global_queue(),
                   [completion = std::move(completion), granted] { completion(granted, nullptr); });
}

std::optional<unsigned> UNUserNotificationCenter::authorizedOptions() const {
    std::lock_guard lock(mutex_);
    return authorized_;
}

void UNUserNotificationCenter::setDelegate(std::weak_ptr<UNUserNotificationCenterDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::shared_ptr<UNUserNotificationCenterDelegate> UNUserNotificationCenter::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void UNUserNotificationCenter::setNotificationCategories(std::set<std::string> identifiers) {
    std::lock_guard lock(mutex_);
    categories_ = std::move(identifiers);
}

std::set<std::string> UNUserNotificationCenter::notificationCategories() const {
    std::lock_guard lock(mutex_);
    return categories_;
}

void UNUserNotificationCenter::addNotificationRequest(UNNotificationRequest request,
                                                      std::function<void(std::shared_ptr<NSError>)> completion) {
    std::shared_ptr<NSError> error;
    std::optional<double> date = request.trigger.nextTriggerDate(Clock::absoluteTime());
    std::string identifier = request.identifier;
    {
        std::lock_guard lock(mutex_);
        if (!authorized_) {
            error = NSError::withDescription(kDomain, 1, "Notifications are not allowed for this application");
        } else if (!date) {
            error = NSError::withDescription(kDomain, 6, "The trigger names no date in the future");
        } else {
            auto same = std::find_if(pending_.begin(), pending_.end(),
                                     [&](const Pending& p) { return p.request.identifier == identifier; });
            if (same != pending_.end()) {
                if (same->timer) same->timer->invalidate();
                pending_.erase(same);
            }
            pending_.push_back(Pending{std::move(request), nullptr});
        }
    }
    if (!error) {
        auto self = this->self<UNUserNotificationCenter>();
        RunLoop::main().perform([self, identifier, when = *date] { self->schedule(identifier, when); });
    }
    if (completion)
        dispatch_async(dispatch_get_global_queue(), [completion = std::move(completion), error] { completion(error); });
}

void UNUserNotificationCenter::schedule(const std::string& identifier, double date) {
    std::weak_ptr<UNUserNotificationCenter> weak = self<UNUserNotificationCenter>();
    double delay = std::max(0.0, date - Clock::absoluteTime());
    auto timer = RunLoop::main().performAfterDelay(delay, [weak, identifier] {
        if (auto self = weak.lock()) self->fire(identifier);
    });
    std::lock_guard lock(mutex_);
    for (Pending& p : pending_) {
        if (p.request.identifier == identifier && !p.timer) {
            p.timer = timer;
            return;
        }
    }
    timer->invalidate();  // removed before it was scheduled
}

void UNUserNotificationCenter::fire(const std::string& identifier) {
    UNNotification notification;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(pending_.begin(), pending_.end(),
                               [&](const Pending& p) { return p.request.identifier == identifier; });
        if (it == pending_.end()) return;
        notification = UNNotification{it->request, Clock::absoluteTime()};
        pending_.erase(it);
        delivered_.push_back(notification);
    }
    if (notification.request.trigger.repeats) {
        UNNotificationRequest again = notification.request;
        if (auto next = again.trigger.nextTriggerDate(notification.date + 1.0)) {
            std::lock_guard lock(mutex_);
            pending_.push_back(Pending{again, nullptr});
            auto self = this->self<UNUserNotificationCenter>();
            RunLoop::main().perform([self, identifier, when = *next] { self->schedule(identifier, when); });
        }
    }
    auto target = delegate();
    if (!target) return;
    std::weak_ptr<UNUserNotificationCenter> weak = self<UNUserNotificationCenter>();
    target->willPresentNotification(*this, notification, [weak](unsigned options) {
        if (auto self = weak.lock()) {
            std::lock_guard lock(self->mutex_);
            self->presented_.push_back(options);
        }
    });
}

std::vector<UNNotificationRequest> UNUserNotificationCenter::pendingNotificationRequests() const {
    std::lock_guard lock(mutex_);
    std::vector<UNNotificationRequest> out;
    for (const Pending& p : pending_) out.push_back(p.request);
    return out;
}

void UNUserNotificationCenter::removeAllPendingNotificationRequests() {
    std::vector<Pending> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(pending_);
    }
    for (Pending& p : dropped) {
        if (p.timer) p.timer->invalidate();
    }
}

std::vector<UNNotification> UNUserNotificationCenter::deliveredNotifications() const {
    std::lock_guard lock(mutex_);
    return delivered_;
}

std::vector<unsigned> UNUserNotificationCenter::presentationOptions() const {
    std::lock_guard lock(mutex_);
    return presented_;
}

void UNUserNotificationCenter::setBadgeCount(std::int64_t count) {
    std::lock_guard lock(mutex_);
    badge_ = count;
}

std::int64_t UNUserNotificationCenter::badgeCount() const {
    std::lock_guard lock(mutex_);
    return badge_;
}

void UNUserNotificationCenter::registerForRemoteNotifications() {
    std::lock_guard lock(mutex_);
    registeredRemote_ = true;
}

bool UNUserNotificationCenter::isRegisteredForRemoteNotifications() const {
    std::lock_guard lock(mutex_);
    return registeredRemote_;
}
