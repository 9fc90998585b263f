// The generic application delegate.
#include "app/app_delegate_base.h"

#include "app/rate/rate_prompt.h"
#include "foundation/global.h"
#include "foundation/lang.h"
#include "foundation/noti.h"
#include "platform/ui/controller/ui_navigation_controller.h"

std::function<void()> AppDelegateBase::backgroundSessionCompletionHandler() const {
    std::lock_guard lock(handlerMutex_);
    return backgroundHandler_;
}

void AppDelegateBase::setBackgroundSessionCompletionHandler(std::function<void()> handler) {
    std::lock_guard lock(handlerMutex_);
    backgroundHandler_ = std::move(handler);
}

std::function<void()> AppDelegateBase::takeBackgroundSessionCompletionHandler() {
    std::lock_guard lock(handlerMutex_);
    return std::exchange(backgroundHandler_, nullptr);
}

bool AppDelegateBase::didFinishLaunchingWithOptions(UIApplication& application, const Value& options) {
    if (auto noti = Global::shared()->noti()) noti->didFinishLaunching(application, options);
    configureRatePromptAtLaunch();
    return true;
}

void AppDelegateBase::willEnterForeground(UIApplication& application) {
    if (auto noti = Global::shared()->noti()) noti->willEnterForeground(application);
}

void AppDelegateBase::didBecomeActive(UIApplication& application) {
    if (auto noti = Global::shared()->noti()) noti->didBecomeActive(application);
}

void AppDelegateBase::didEnterBackground(UIApplication&) {
    Global::shared()->lang()->resetLocaleStrings();
}

void AppDelegateBase::willTerminate(UIApplication& application) {
    if (auto noti = Global::shared()->noti()) noti->willTerminate(application);
}

void AppDelegateBase::didReceiveMemoryWarning(UIApplication&) {
    Global::shared()->reset();
}

void AppDelegateBase::didReceiveLocalNotification(UIApplication& application, const Value& notification) {
    if (auto noti = Global::shared()->noti()) noti->didReceiveLocal(application, notification);
}

void AppDelegateBase::handleEventsForBackgroundURLSession(UIApplication&, const std::string&,
                                                          std::function<void()> completionHandler) {
    setBackgroundSessionCompletionHandler(std::move(completionHandler));
}

std::shared_ptr<UIViewController> AppDelegateBase::getTopVC() const {
    std::shared_ptr<UIViewController> top;
    if (window_) top = std::dynamic_pointer_cast<UIViewController>(window_->rootViewController());
    auto& presented = Global::shared()->lastViewControllers();
    if (!presented.empty()) top = std::dynamic_pointer_cast<UIViewController>(presented.back());
    if (auto nav = std::dynamic_pointer_cast<UINavigationController>(top)) {
        const auto& stack = nav->viewControllers();
        if (!stack.empty()) top = stack.back();
    }
    return top;
}

void AppDelegateBase::removeAllModals() {
    Global::shared()->removeAllAlertControllers([] { Global::shared()->removeAllViewControllers([] {}); });
}

void AppDelegateBase::readyOpen() {
    Global::shared()->removeAllAlertControllers([] {});
}
