// The application's life-cycle state machine, windows, the status bar and URL opening.
#include "platform/ui/app/ui_application.h"

#include <algorithm>
#include <mutex>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/net/url_session_background.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_view_controller.h"

namespace {
std::shared_ptr<UIApplication>& shared() {
    static std::shared_ptr<UIApplication> app;
    return app;
}

// Background URL sessions ask the shared application whether it is in the background and hand
// their finished events to its delegate.
void installURLSessionHooks() {
    static std::once_flag once;
    std::call_once(once, [] {
        setURLSessionApplicationHooks(
            {[] { return shared() && shared()->applicationState() == UIApplicationState::Background; },
             [](const std::string& identifier, std::function<void()> completionHandler) {
                 std::shared_ptr<UIApplication> app = shared();
                 if (!app || !app->delegate()) return;
                 app->delegate()->handleEventsForBackgroundURLSession(*app, identifier, std::move(completionHandler));
             }});
    });
}
}  // namespace

std::shared_ptr<UIApplication> UIApplication::sharedApplication() {
    installURLSessionHooks();
    if (!shared()) shared() = UIApplication::make();
    return shared();
}

void UIApplication::resetSharedApplication() {
    installURLSessionHooks();
    shared() = UIApplication::make();
}

void UIApplication::setKeyWindow(const std::shared_ptr<UIWindow>& window) {
    keyWindow_ = window;
    if (!window) return;
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const auto& w) { return w.expired() || w.lock() == window; }),
                   windows_.end());
    windows_.push_back(window);
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
    std::vector<std::shared_ptr<UIWindow>> out;
    for (const auto& w : windows_)
        if (auto s = w.lock()) out.push_back(s);
    return out;
}

void UIApplication::post(const char* name) {
    NSNotificationCenter::defaultCenter()->post(name, self<UIApplication>());
}

bool UIApplication::finishLaunching(const Value& options) {
    if (launched_) return false;
    launched_ = true;
    state_ = UIApplicationState::Inactive;
    if (delegate_) delegate_->didFinishLaunchingWithOptions(*this, options);
    post(UIApplicationDidFinishLaunchingNotification);
    becomeActive();
    return true;
}

bool UIApplication::resignActive() {
    if (!launched_ || state_ != UIApplicationState::Active) return false;
    if (delegate_) delegate_->willResignActive(*this);
    post(UIApplicationWillResignActiveNotification);
    state_ = UIApplicationState::Inactive;
    return true;
}

bool UIApplication::enterBackground() {
    if (!launched_ || state_ != UIApplicationState::Inactive) return false;
    state_ = UIApplicationState::Background;
    if (delegate_) delegate_->didEnterBackground(*this);
    post(UIApplicationDidEnterBackgroundNotification);
    return true;
}

bool UIApplication::enterForeground() {
    if (!launched_ || state_ != UIApplicationState::Background) return false;
    if (delegate_) delegate_->willEnterForeground(*this);
    post(UIApplicationWillEnterForegroundNotification);
    state_ = UIApplicationState::Inactive;
    return true;
}

bool UIApplication::becomeActive() {
    if (!launched_ || state_ != UIApplicationState::Inactive) return false;
    state_ = UIApplicationState::Active;
    if (delegate_) delegate_->didBecomeActive(*this);
    post(UIApplicationDidBecomeActiveNotification);
    return true;
}

void UIApplication::toggleBackground() {
    if (state_ == UIApplicationState::Background) {
        enterForeground();
        becomeActive();
    } else {
        resignActive();
        enterBackground();
    }
}

void UIApplication::receiveMemoryWarning() {
    if (delegate_) delegate_->didReceiveMemoryWarning(*this);
    post(UIApplicationDidReceiveMemoryWarningNotification);
}

void UIApplication::terminate() {
    if (!launched_) return;
    if (delegate_) delegate_->willTerminate(*this);
    post(UIApplicationWillTerminateNotification);
}

bool UIApplication::canOpenURL(const std::string& url) const {
    if (url == UIApplicationOpenSettingsURLString) return false;
    auto colon = url.find(':');
    return opener_ && colon != std::string::npos && colon > 0;
}

void UIApplication::openURL(const std::string& url, const Value&, std::function<void(bool)> completion) {
    openedURLs_.push_back(url);
    bool ok = canOpenURL(url) && opener_(url);
    if (completion) {
        auto done = std::move(completion);
        done(ok);
    }
}

void UIApplication::setStatusBarHidden(bool hidden, UIStatusBarAnimation animation) {
    statusBar_.setHidden(hidden, animation, Clock::now());
}

void UIApplication::setStatusBarStyle(UIStatusBarStyle style, bool animated) {
    statusBar_.setStyle(style, animated, Clock::now());
}

StatusBarPresentation UIApplication::statusBarPresentation() const {
    return statusBar_.presentationAt(Clock::now());
}

CGRect UIApplication::statusBarFrame() const {
    if (statusBar_.isHidden()) return CGRectZero;
    auto screen = UIScreen::mainScreen();
    return {{0, 0}, {screen->bounds().size.width, screen->model().statusBarHeight}};
}

void UIApplication::statusBarTapped() {
    auto window = keyWindow();
    if (statusBar_.isHidden() || !window) return;
    if (auto scroll = UIScrollView::frontmostScrollingToTop(*window)) scroll->scrollToTopForStatusBarTap();
}

bool UIApplication::continueUserActivity(const Value& activity, std::function<void(const Value&)> restorationHandler) {
    return delegate_ && delegate_->continueUserActivity(*this, activity, std::move(restorationHandler));
}

void UIApplication::handleEventsForBackgroundURLSession(const std::string& identifier,
                                                        std::function<void()> completionHandler) {
    if (delegate_) delegate_->handleEventsForBackgroundURLSession(*this, identifier, std::move(completionHandler));
}

bool UIApplication::openURLFromSource(const std::string& url, const std::string& sourceApplication,
                                      const Value& annotation) {
    return delegate_ && delegate_->openURL(*this, url, sourceApplication, annotation);
}

void UIApplication::receiveLocalNotification(const Value& notification) {
    if (delegate_) delegate_->didReceiveLocalNotification(*this, notification);
}
