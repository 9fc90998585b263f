// The application object: its delegate, windows and key window, the life-cycle state with its
// notifications, the idle-timer flag and URL opening. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"
#include "platform/ui/app/status_bar_state.h"
#include "platform/ui/view/ui_responder.h"

class UIApplication;
class UIWindow;

inline constexpr const char* UIApplicationDidFinishLaunchingNotification =
    "UIApplicationDidFinishLaunchingNotification";
inline constexpr const char* UIApplicationWillResignActiveNotification = "UIApplicationWillResignActiveNotification";
inline constexpr const char* UIApplicationDidEnterBackgroundNotification =
    "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* UIApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
inline constexpr const char* UIApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* UIApplicationDidReceiveMemoryWarningNotification =
    "UIApplicationDidReceiveMemoryWarningNotification";
inline constexpr const char* UIApplicationWillTerminateNotification = "UIApplicationWillTerminateNotification";
inline constexpr const char* UIApplicationSignificantTimeChangeNotification =
    "UIApplicationSignificantTimeChangeNotification";

// The address of the application's own page in the system settings. This host has no settings
// application: no opener can open it.
inline constexpr const char* UIApplicationOpenSettingsURLString = "app-settings:";

enum class UIApplicationState { Active = 0, Inactive = 1, Background = 2 };

// Every method is optional; the defaults do nothing.
class UIApplicationDelegate {
public:
    virtual ~UIApplicationDelegate() = default;
    virtual bool didFinishLaunchingWithOptions(UIApplication&, const Value& /*options*/) { return true; }
    virtual void willResignActive(UIApplication&) {}
    virtual void didEnterBackground(UIApplication&) {}
    virtual void willEnterForeground(UIApplication&) {}
    virtual void didBecomeActive(UIApplication&) {}
    virtual void didReceiveMemoryWarning(UIApplication&) {}
    virtual void willTerminate(UIApplication&) {}
    // Answers whether the activity was handled; the restoration handler may be kept for later.
    virtual bool continueUserActivity(UIApplication&, const Value& /*activity*/,
                                      std::function<void(const Value&)> /*restorationHandler*/) {
        return false;
    }
    // A background URL session has events waiting; the handler is called once they are handled.
    virtual void handleEventsForBackgroundURLSession(UIApplication&, const std::string& /*identifier*/,
                                                     std::function<void()> /*completionHandler*/) {}
    virtual bool openURL(UIApplication&, const std::string& /*url*/, const std::string& /*sourceApplication*/,
                         const Value& /*annotation*/) {
        return false;
    }
    virtual void didReceiveLocalNotification(UIApplication&, const Value& /*notification*/) {}
    // The window the application main puts the initial controller into (held by the delegate).
    virtual std::shared_ptr<UIWindow> window() const { return nullptr; }
    virtual void setWindow(std::shared_ptr<UIWindow> /*window*/) {}
};

class UIApplication : public UIResponder {
public:
    KORVA_MAKE(UIApplication)
    static std::shared_ptr<UIApplication> sharedApplication();
    // Replaces the shared application with a fresh one (tests).
    static void resetSharedApplication();

    std::shared_ptr<UIApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<UIApplicationDelegate> d) { delegate_ = std::move(d); }

    std::shared_ptr<UIWindow> keyWindow() const { return keyWindow_.lock(); }
    void setKeyWindow(const std::shared_ptr<UIWindow>& window);
    // Windows that have been made key, oldest first (those still alive).
    std::vector<std::shared_ptr<UIWindow>> windows() const;

    // Life cycle, driven by the host. Each step is taken only from the state it belongs to:
    // launching from not-launched, resign from active, background from inactive, foreground from
    // background, become-active from inactive. Others are ignored and answer false.
    UIApplicationState applicationState() const { return state_; }
    bool isLaunched() const { return launched_; }
    bool finishLaunching(const Value& options = {});
    bool resignActive();
    bool enterBackground();
    bool enterForeground();
    bool becomeActive();
    // Inactive -> background (resigning first when active), or background -> active.
    void toggleBackground();
    void receiveMemoryWarning();
    void terminate();

    // The status bar: across the main screen's width, as high as the device model's status bar;
    // a zero rectangle while hidden. The flags change at once; a fade or slide of the bar and a
    // cross-fade of its style run on the clock (statusBarPresentation says where they are).
    CGRect statusBarFrame() const;
    bool isStatusBarHidden() const { return statusBar_.isHidden(); }
    void setStatusBarHidden(bool hidden, UIStatusBarAnimation animation = UIStatusBarAnimation::None);
    UIStatusBarStyle statusBarStyle() const { return statusBar_.style(); }
    void setStatusBarStyle(UIStatusBarStyle style, bool animated = false);
    StatusBarPresentation statusBarPresentation() const;
    // The host's tap on the status bar: the key window's frontmost scroll view whose scrollsToTop
    // is on goes to its top, unless its delegate says no. Nothing while the bar is hidden.
    void statusBarTapped();

    // Events the host or a service hands to the delegate; without a delegate they answer false.
    bool continueUserActivity(const Value& activity, std::function<void(const Value&)> restorationHandler);
    void handleEventsForBackgroundURLSession(const std::string& identifier, std::function<void()> completionHandler);
    bool openURLFromSource(const std::string& url, const std::string& sourceApplication, const Value& annotation = {});
    void receiveLocalNotification(const Value& notification);

    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool d) { idleTimerDisabled_ = d; }

    // URLs are recorded and handed to the opener the host installs (none: nothing opens, the
    // completion says false).
    using URLOpener = std::function<bool(const std::string& url)>;
    void setURLOpener(URLOpener opener) { opener_ = std::move(opener); }
    bool canOpenURL(const std::string& url) const;
    void openURL(const std::string& url, const Value& options = {}, std::function<void(bool)> completion = nullptr);
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }

    std::string className() const override { return "UIApplication"; }

protected:
    UIApplication() = default;

private:
    void post(const char* name);

    std::shared_ptr<UIApplicationDelegate> delegate_;
    std::weak_ptr<UIWindow> keyWindow_;
    std::vector<std::weak_ptr<UIWindow>> windows_;
    UIApplicationState state_ = UIApplicationState::Inactive;
    bool launched_ = false;
    bool idleTimerDisabled_ = false;
    StatusBarState statusBar_;
    URLOpener opener_;
    std::vector<std::string> openedURLs_;
};
