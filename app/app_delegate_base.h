// The generic application delegate: forwards the life cycle to the local-notification service,
// resets the locale strings in the background, drops the shared services on a memory warning and
// keeps the background URL sessions' completion handler. Main thread only, except the handler,
// which is guarded.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "foundation/background_session_completion.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"

class AppDelegateBase : public UIApplicationDelegate, public UIResponder, public BackgroundSessionCompletion {
public:
    KORVA_MAKE(AppDelegateBase)

    std::shared_ptr<UIWindow> window() const override { return window_; }
    void setWindow(std::shared_ptr<UIWindow> window) override { window_ = std::move(window); }

    // The completion handler of the background URL sessions, empty until one is handed over. The
    // transfer services take it (leaving it empty) and call it.
    std::function<void()> backgroundSessionCompletionHandler() const override;
    void setBackgroundSessionCompletionHandler(std::function<void()> handler) override;
    std::function<void()> takeBackgroundSessionCompletionHandler();

    bool didFinishLaunchingWithOptions(UIApplication& application, const Value& options) override;
    void willEnterForeground(UIApplication& application) override;
    void didBecomeActive(UIApplication& application) override;
    void didEnterBackground(UIApplication& application) override;
    void willTerminate(UIApplication& application) override;
    void didReceiveMemoryWarning(UIApplication& application) override;
    void didReceiveLocalNotification(UIApplication& application, const Value& notification) override;
    bool continueUserActivity(UIApplication&, const Value&, std::function<void(const Value&)>) override { return true; }
    void handleEventsForBackgroundURLSession(UIApplication&, const std::string& identifier,
                                             std::function<void()> completionHandler) override;

    // The controller on top: the newest presented one, else the window's root; the last child of
    // a navigation controller.
    std::shared_ptr<UIViewController> getTopVC() const;
    std::shared_ptr<UIViewController> vcOpener() const { return getTopVC(); }
    // Dismisses every tracked alert, then every tracked presented controller.
    void removeAllModals();
    void readyOpen();

    std::string className() const override { return "AppDelegateBase"; }

protected:
    AppDelegateBase() = default;

private:
    std::shared_ptr<UIWindow> window_;
    mutable std::mutex handlerMutex_;
    std::function<void()> backgroundHandler_;
};
