// The notification service: permission, remote registration with the remembered device token,
// the notification centre's delegate answers and one-off local notifications in the category
// "general". Noti is the application's class. Main thread.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/value.h"
#include "platform/usernotify/user_notification_center.h"

class LastInfo;
class UIApplication;

class NotiBase : public NSObject, public UNUserNotificationCenterDelegate {
public:
    KORVA_MAKE(NotiBase)

    // Life-cycle events forwarded by the application delegate.
    void didFinishLaunching(UIApplication& application, const Value& launchOptions);
    void willEnterForeground(UIApplication& application);
    void didBecomeActive(UIApplication& application);
    void willTerminate(UIApplication& application);

    // Asks for badge, sound and alert; when granted becomes the centre's delegate, sets the
    // "general" category and registers for remote notifications on the main queue.
    void auth(UIApplication& application);
    void addDelegate();
    void removeDelegate();

    // Keeps the token's description under "TOKEN_CURRENT" of "Noti.1".
    void didRegister(UIApplication& application, const Bytes& deviceToken);
    std::optional<std::string> token();
    std::shared_ptr<LastInfo> lastInfo();

    void willPresentNotification(UNUserNotificationCenter&, const UNNotification&,
                                 std::function<void(unsigned)> completion) override;
    void didReceiveNotificationResponse(UNUserNotificationCenter&, const UNNotification&,
                                        std::function<void()> completion) override;
    // Answers "no new data" (1).
    void didReceiveRemote(UIApplication& application, const Value& userInfo, std::function<void(unsigned)> completion);
    void didReceiveLocal(UIApplication&, const Value&) {}
    // The key window's root view controller; none without one.
    std::shared_ptr<NSObject> viewController() const;

    // A notification 2 s from now.
    void localGeneral(const std::string& body, const Value& userInfo) { localGeneral0(body, userInfo, 2.0); }
    // A non-repeating calendar trigger at the whole second `delay` seconds from now, identifier
    // "general-" and 10 random characters.
    void localGeneral0(const std::string& body, const Value& userInfo, double delay);

    bool tokenSynced() const { return tokenSynced_; }
    std::string className() const override { return "NotiBase"; }

protected:
    NotiBase() = default;

private:
    std::shared_ptr<LastInfo> lastInfo_;
    bool tokenSynced_ = false;
};

class Noti : public NotiBase {
public:
    KORVA_MAKE(Noti)
    std::string className() const override { return "Noti"; }

protected:
    Noti() = default;
};
