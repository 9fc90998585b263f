// The in-app web screen: one web view filling the safe area, the page title in the bar, a spinner
// while a page loads and an action item that hands the page to the system. A followed link opens
// a new web screen pushed on the navigation stack (or loads in place without one).
//
// States: Idle (right items [Action]) -> a navigation starts -> Loading (right items [Action,
// spinner]) -> it finishes (title set) or fails, before or after committing -> Idle.
// Inside the web pop-up the screen puts no items on any bar. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "app/base/my_view_controller.h"
#include "app/web/my_web_controller_delegate.h"
#include "platform/ui/controller/wk_web_view.h"

class UIActivityIndicatorView;
class UIBarButtonItem;

class MyWebController : public MyViewController, public WKNavigationDelegate {
public:
    KORVA_MAKE(MyWebController)
    static constexpr const char* kStoryboardID = "MyWebController";

    bool loading() const { return loading_; }
    std::shared_ptr<MyWebControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MyWebControllerDelegate>& d) { delegate_ = d; }
    const std::string& url() const { return url_; }
    void setUrl(std::string url) { url_ = std::move(url); }
    // Inside the web pop-up (set before the view loads): no Done, no items on the owner's bar, and
    // the page fills the view.
    bool hostedInPopup() const { return hostedInPopup_; }
    void setHostedInPopup(bool hosted) { hostedInPopup_ = hosted; }

    // Loads `url`; nothing before the view has loaded.
    void updateData();
    std::string currentURL() const;
    void updateNav();
    void onDone();
    void onRefresh();
    void onAction();

    const std::shared_ptr<WKWebView>& webView() const { return webView_; }
    const std::shared_ptr<UIBarButtonItem>& btnDone() const { return btnDone_; }
    const std::shared_ptr<UIBarButtonItem>& btnReload() const { return btnReload_; }
    const std::shared_ptr<UIBarButtonItem>& btnAction() const { return btnAction_; }
    const std::shared_ptr<UIBarButtonItem>& bbLoading() const { return bbLoading_; }
    const std::shared_ptr<UIActivityIndicatorView>& actLoading() const { return actLoading_; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void updateView() override {}
    bool shouldAutorotate() const override { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override { return UIInterfaceOrientationMaskAll; }

    // Navigation delegate.
    void decidePolicyForNavigationAction(WKWebView& web, const WKNavigationAction& action,
                                         std::function<void(WKNavigationActionPolicy)> decisionHandler) override;
    void didStartProvisionalNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>& nav) override;
    void didFinishNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>& nav) override;
    void didFailProvisionalNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>& nav,
                                      const std::string& reason) override;
    void didFailNavigation(WKWebView& web, const std::shared_ptr<WKNavigation>& nav,
                           const std::string& reason) override;

    std::string className() const override { return "MyWebController"; }

protected:
    MyWebController() = default;

private:
    void endLoading(const std::string& reason);

    bool loading_ = false;
    bool hostedInPopup_ = false;
    std::weak_ptr<MyWebControllerDelegate> delegate_;
    std::string url_;
    std::shared_ptr<UIBarButtonItem> btnDone_, bbLoading_, btnReload_, btnAction_;
    std::shared_ptr<WKWebView> webView_;
    std::shared_ptr<UIActivityIndicatorView> actLoading_;
};
