// UNUserNotificationCenter: a stand-in for the system's local notification service. It keeps the
// authorisation answer, categories, the badge count, pending calendar-triggered requests (fired
// on the main run loop at their date on the Clock) and the delivered ones.
//
// Thread-safe; the delegate is called on the main thread.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/dispatch/timer.h"
#include "platform/runtime/error.h"
#include "platform/usernotify/notification_request.h"

class UNUserNotificationCenter;

struct UNNotification {
    UNNotificationRequest request;
    double date = 0;  // when it was delivered
};

// Every method is optional; the defaults present nothing and answer at once.
class UNUserNotificationCenterDelegate {
public:
    virtual ~UNUserNotificationCenterDelegate() = default;
    virtual void willPresentNotification(UNUserNotificationCenter&, const UNNotification&,
                                         std::function<void(unsigned)> completion) {
        completion(0);
    }
    virtual void didReceiveNotificationResponse(UNUserNotificationCenter&, const UNNotification&,
                                                std::function<void()> completion) {
        completion();
    }
};

class UNUserNotificationCenter : public NSObject {
public:
    KORVA_MAKE(UNUserNotificationCenter)

    static std::shared_ptr<UNUserNotificationCenter> currentNotificationCenter();
    // A fresh center (tests).
    static void resetCurrentNotificationCenter();

    // The user's answer to the permission question, given by the host (granted by default).
    void setUserAnswer(bool grants);
    // The completion runs later, off the main thread, with the answer.
    void requestAuthorizationWithOptions(unsigned options,
                                         std::function<void(bool granted, std::shared_ptr<NSError>)> completion);
    std::optional<unsigned> authorizedOptions() const;

    void setDelegate(std::weak_ptr<UNUserNotificationCenterDelegate> delegate);
    std::shared_ptr<UNUserNotificationCenterDelegate> delegate() const;

    void setNotificationCategories(std::set<std::string> identifiers);
    std::set<std::string> notificationCategories() const;

    // Schedules the request (replacing a pending one with the same identifier). Without
    // authorisation, or with a trigger naming no future date, the completion gets an error.
    void addNotificationRequest(UNNotificationRequest request,
                                std::function<void(std::shared_ptr<NSError>)> completion = nullptr);
    std::vector<UNNotificationRequest> pendingNotificationRequests() const;
    void removeAllPendingNotificationRequests();
    std::vector<UNNotification> deliveredNotifications() const;
    // The presentation options the delegate chose for each delivered notification, in order.
    std::vector<unsigned> presentationOptions() const;

    void setBadgeCount(std::int64_t count);
    std::int64_t badgeCount() const;

    // Registration for remote notifications (the host hands out no token).
    void registerForRemoteNotifications();
    bool isRegisteredForRemoteNotifications() const;

    std::string className() const override { return "UNUserNotificationCenter"; }

protected:
    UNUserNotificationCenter() = default;

private:
    struct Pending {
        UNNotificationRequest request;
        std::shared_ptr<NSTimer> timer;
    };
    void schedule(const std::string& identifier, double date);
    void fire(const std::string& identifier);

    mutable std::mutex mutex_;
    bool grants_ = true;
    std::optional<unsigned> authorized_;
    std::weak_ptr<UNUserNotificationCenterDelegate> delegate_;
    std::set<std::string> categories_;
    std::vector<Pending> pending_;
    std::vector<UNNotification> delivered_;
    std::vector<unsigned> presented_;
    std::int64_t badge_ = 0;
    bool registeredRemote_ = false;
};
