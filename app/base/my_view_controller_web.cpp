// Web pages from a screen: the web pop-up at a control, the full-screen web screen, the web
// translation of a text, and the pop-up's share in the screen's life cycle.
#include "app/base/my_navigation_controller.h"
#include "app/base/my_view_controller.h"
#include "app/web/my_web_controller.h"
#include "foundation/links.h"
#include "platform/runtime/log.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controller/view_controller_presentation.h"

const std::shared_ptr<PopWebView>& MyViewController::popWeb() {
    if (!popWeb_) {
        popWeb_ = PopWebView::make(self<UIViewController>());
        popWeb_->setDelegate(std::dynamic_pointer_cast<PopWebViewDelegate>(self<MyViewController>()));
    }
    return popWeb_;
}

void MyViewController::openURL0(const std::string& url, const std::shared_ptr<NSObject>& sender) {
    if (sender) {
        popWeb()->show(sender, url, [] {});
        return;
    }
    auto web = std::dynamic_pointer_cast<MyWebController>(
        ::storyboard(self<UIViewController>(), MyWebController::kStoryboardID));
    if (!web) {
        Log::warning("web", "no web screen in the storyboard");
        return;
    }
    web->setDelegate(std::dynamic_pointer_cast<MyWebControllerDelegate>(self<MyViewController>()));
    web->setUrl(url);
    ::presentFull(
        self<UIViewController>(), MyNavigationController::withRoot(web), [] {}, true);
}

void MyViewController::openURL(const std::string& url, const std::shared_ptr<NSObject>& sender) {
    webNavigationType_ = WebNavigationType::Page;
    openURL0(url, sender);
}

void MyViewController::googleTranslate(const std::string& text, const std::shared_ptr<NSObject>& sender) {
    std::string url = ::googleTranslate(text, std::nullopt);
    webNavigationType_ = WebNavigationType::Translation;
    openURL0(url, sender);
}

void MyViewController::hideGoogleTranslateIfShown() {
    hidePopWeb();
}

void MyViewController::onPopWebViewWillHide(PopWebView&) {
    if (webNavigationType_ == WebNavigationType::Translation) onGoogleTranslateWillHide();
}

void MyViewController::onMyWebControllerDone(MyWebController&) {
    ::dismiss(
        self<UIViewController>(), [] {}, true);
}

void MyViewController::hidePopWeb() {
    if (popWeb_ && !popWeb_->hidden()) popWeb_->hide([] {});
}

void MyViewController::popWebDarkMode() {
    if (popWeb_) popWeb_->updateDarkMode();
}

void MyViewController::popWebRotated() {
    if (popWeb_) popWeb_->scheduledLayout();
}
