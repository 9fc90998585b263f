// The in-app web screen.
#include "app/web/my_web_controller.h"

#include "app/web/web_view_probes.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/links.h"
#include "platform/runtime/log.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/layout/view_custom_constraints.h"

void MyWebController::viewDidLoad() {
    MyViewController::viewDidLoad();
    auto me = self<MyWebController>();
    btnDone_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Done, weakBind(me, &MyWebController::onDone));
    btnReload_ =
        initWithBarButtonSystemItem1(UIBarButtonSystemItem::Refresh, weakBind(me, &MyWebController::onRefresh));
    btnAction_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Action, weakBind(me, &MyWebController::onAction));

    actLoading_ = UIActivityIndicatorView::withStyle(Global::shared()->device()->isDarkMode()
                                                         ? UIActivityIndicatorViewStyle::White
                                                         : UIActivityIndicatorViewStyle::Gray);
    bbLoading_ = UIBarButtonItem::withCustomView(actLoading_);

    webView_ = WKWebView::make();
    view()->addSubview(webView_);
    // Full screen the page keeps to the safe area; inside the web pop-up's panel, which lies
    // within the screen already, it fills the panel.
    if (hostedInPopup_)
        addConstraintsFull(webView_, view(), 0, 0, 0, 0);
    else
        addConstraintsVCFull(webView_, self<UIViewController>(), 0, 0, 0, 0);
    webView_->setNavigationDelegate(std::dynamic_pointer_cast<WKNavigationDelegate>(self<MyWebController>()));

    updateData();
    updateNav();
}

void MyWebController::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    updateNav();
}

void MyWebController::updateData() {
    if (!webView_) return;
    auto address = NSURL::URLWithString(url_);
    // An empty or malformed address loads nothing; the screen stays as it is.
    if (!address) {
        Log::warning("web", "not a web address: \"" + url_ + "\"");
        return;
    }
    webView_->loadRequest(NSURLRequest::requestWithURL(address));
}

std::string MyWebController::currentURL() const {
    return webView_ ? webView_->URL() : std::string();
}

void MyWebController::updateNav() {
    if (!btnAction_) return;
    if (loading_)
        actLoading_->startAnimating();
    else
        actLoading_->stopAnimating();
    if (hostedInPopup_) return;
    if (delegate()) ::setNavLeft(self<UIViewController>(), {btnDone_});
    if (loading_)
        setNavRight({btnAction_, bbLoading_});
    else
        setNavRight({btnAction_});
}

void MyWebController::onDone() {
    if (auto d = delegate()) d->onMyWebControllerDone(*this);
}

void MyWebController::onRefresh() {
    if (webView_) webView_->reload();
}

void MyWebController::onAction() {
    if (webView_ && !webView_->URL().empty()) ::openURL(webView_->URL());
}

void MyWebController::decidePolicyForNavigationAction(WKWebView&, const WKNavigationAction& action,
                                                      std::function<void(WKNavigationActionPolicy)> decisionHandler) {
    auto keep = self<MyWebController>();
    if (auto d = delegate()) d->onMyWebControllerWillNavigate(*this, action.request, action.navigationType);
    if (action.navigationType != WKNavigationType::LinkActivated || !action.request.URL()) {
        decisionHandler(WKNavigationActionPolicy::Allow);
        return;
    }
    std::string target = action.request.URL()->absoluteString();
    if (target == url_) {
        decisionHandler(WKNavigationActionPolicy::Cancel);
        return;
    }
    // A file link from a served page is left to the web view, which refuses it in place.
    bool servedPage = webView_ && webView_->URL().rfind("http", 0) == 0;
    if (navigationController() && !(servedPage && action.request.URL()->isFileURL())) {
        auto next = std::dynamic_pointer_cast<MyWebController>(::storyboard(self<UIViewController>(), kStoryboardID));
        if (next) {
            next->setUrl(target);
            ::push(self<UIViewController>(), next, true);
            decisionHandler(WKNavigationActionPolicy::Cancel);
            return;
        }
        Log::warning("web", "no web screen in the storyboard; the link loads in place");
    }
    decisionHandler(WKNavigationActionPolicy::Allow);
}

void MyWebController::didStartProvisionalNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>&) {
    auto keep = self<MyWebController>();
    loading_ = true;
    updateNav();
    if (auto d = delegate()) d->onMyWebControllerDidStartLoad(*this, web.URL());
}

void MyWebController::didFinishNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>&) {
    auto keep = self<MyWebController>();
    if (Global::shared()->device()->isMac()) setNoSelectable(web);
    loading_ = false;
    updateNav();
    navigationItem()->setTitle(web.title());
    if (auto d = delegate()) d->onMyWebControllerDidFinishLoad(*this, web.URL());
}

void MyWebController::endLoading(const std::string& reason) {
    auto keep = self<MyWebController>();
    loading_ = false;
    updateNav();
    if (auto d = delegate()) d->onMyWebControllerDidFailLoad(*this, reason);
}

void MyWebController::didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&,
                                                   const std::string& reason) {
    endLoading(reason);
}

void MyWebController::didFailNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&, const std::string& reason) {
    endLoading(reason);
}
