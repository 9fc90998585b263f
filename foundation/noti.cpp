// The notification service over the platform's notification centre.
#include "foundation/noti.h"

#include <cmath>
#include <ctime>

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

namespace {

constexpr unsigned kBadgeSoundAlert =
    UNAuthorizationOptionBadge | UNAuthorizationOptionSound | UNAuthorizationOptionAlert;

std::shared_ptr<UNUserNotificationCenter> center() {
    return UNUserNotificationCenter::currentNotificationCenter();
}

}  // namespace

void NotiBase::didFinishLaunching(UIApplication& application, const Value& launchOptions) {
    auth(application);
    addDelegate();
    if (!launchOptions["UIApplicationLaunchOptionsLocalNotificationKey"].isNull()) center()->setBadgeCount(0);
}

void NotiBase::willEnterForeground(UIApplication& application) {
    auth(application);
}

void NotiBase::didBecomeActive(UIApplication& application) {
    auth(application);
    center()->setBadgeCount(0);
}

void NotiBase::willTerminate(UIApplication&) {
    removeDelegate();
}

void NotiBase::auth(UIApplication&) {
    std::weak_ptr<NotiBase> weak = self<NotiBase>();
    center()->requestAuthorizationWithOptions(kBadgeSoundAlert, [weak](bool granted, std::shared_ptr<NSError>) {
        if (!granted) return;
        // The answer comes off the main thread; the service itself is main-thread only.
        dispatch_async(dispatch_get_main_queue(), [weak] {
            auto self = weak.lock();
            if (!self) return;
            self->addDelegate();
            center()->setNotificationCategories({"general"});
            center()->registerForRemoteNotifications();
        });
    });
}

void NotiBase::addDelegate() {
    std::shared_ptr<NotiBase> me = self<NotiBase>();
    center()->setDelegate(std::shared_ptr<UNUserNotificationCenterDelegate>(me, me.get()));
}

void NotiBase::removeDelegate() {
    center()->setDelegate({});
}

std::shared_ptr<LastInfo> NotiBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("Noti.1"));
    return lastInfo_;
}

void NotiBase::didRegister(UIApplication&, const Bytes& deviceToken) {
    lastInfo()->set(Value(Value::data(deviceToken).description()), "TOKEN_CURRENT");
    lastInfo()->save();
}

std::optional<std::string> NotiBase::token() {
    Value stored = lastInfo()->get("TOKEN_CURRENT");
    if (!stored.isString()) return std::nullopt;
    return *stored.string();
}

void NotiBase::willPresentNotification(UNUserNotificationCenter&, const UNNotification&,
                                       std::function<void(unsigned)> completion) {
    if (completion) completion(kBadgeSoundAlert);
}

void NotiBase::didReceiveNotificationResponse(UNUserNotificationCenter&, const UNNotification&,
                                              std::function<void()> completion) {
    if (completion) completion();
}

void NotiBase::didReceiveRemote(UIApplication&, const Value&, std::function<void(unsigned)> completion) {
    if (completion) completion(1);
}

void NotiBase::localGeneral0(const std::string& body, const Value& userInfo, double delay) {
    double when = Clock::absoluteTime() + delay;
    std::time_t t = static_cast<std::time_t>(std::floor(when + 978307200.0));
    std::tm p{};
    localtime_r(&t, &p);
    UNNotificationRequest request;
    request.identifier = "general-" + generateRandomString(10);
    request.content.body = body;
    request.content.defaultSound = true;
    request.content.categoryIdentifier = "general";
    request.content.userInfo = userInfo.isNull() ? Value::dictionary() : userInfo;
    request.trigger = UNCalendarNotificationTrigger{
        NSDateComponents{p.tm_year + 1900, p.tm_mon + 1, p.tm_mday, p.tm_hour, p.tm_min, p.tm_sec}, false};
    center()->addNotificationRequest(std::move(request));
}

std::shared_ptr<NSObject> NotiBase::viewController() const {
    auto window = UIApplication::sharedApplication()->keyWindow();
    return window ? window->rootViewController() : nullptr;
}
