// The application's life-cycle state machine, windows and URL opening.
#include "platform/ui/app/ui_application.h"

#include <algorithm>

#include "platform/dispatch/notification_center.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller.h"

namespace {
std::shared_ptr<UIApplication>& shared() {
    static std::shared_ptr<UIApplication> app;
    return app;
}
}  // namespace

std::shared_ptr<UIApplication> UIApplication::sharedApplication() {
    if (!shared()) shared() = UIApplication::make();
    return shared();
}

void UIApplication::resetSharedApplication() { shared() = UIApplication::make(); }

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

CGRect UIApplication::statusBarFrame() const {
    if (statusBarHidden_) return CGRectZero;
    auto screen = UIScreen::mainScreen();
    return {{0, 0}, {screen->bounds().size.width, screen->model().statusBarHeight}};
}
