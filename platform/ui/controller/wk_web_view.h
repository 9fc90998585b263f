// The web view. Made while a page engine is installed (WKWebView::setEngineFactory), it runs on
// that engine: pages load, run their scripts and paint themselves, taps and drags reach the page
// as pointer input and the keyboard types into its focused field. Without one it shows a page's
// text (no scripts, no styling) fetched through the networking layer, its links drawn where they
// stand and followed when tapped; a body that is not text shows a one-line notice of its type.
// Either way title, address, loading state, progress, back/forward history and the navigation
// delegate's events follow the platform's order, a failed load shows its reason in the page
// area, and a page served over http or https never opens a file URL. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/url_request.h"
#include "platform/runtime/value.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/html_text.h"
#include "platform/ui/controller/wk_web_engine.h"

enum class WKNavigationType {
    LinkActivated = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = -1
};
enum class WKNavigationActionPolicy { Cancel = 0, Allow = 1 };

class WKNavigation : public NSObject {
public:
    KORVA_MAKE(WKNavigation)
    std::string className() const override { return "WKNavigation"; }

protected:
    WKNavigation() = default;
};

struct WKNavigationAction {
    NSURLRequest request;
    WKNavigationType navigationType = WKNavigationType::Other;
};

class WKWebView;
class WKPageView;
class WKEngineSurface;
class NSTimer;
class NSURLSessionDataTask;

class WKNavigationDelegate {
public:
    virtual ~WKNavigationDelegate() = default;
    // The handler may be called later; a navigation waits for it. Not calling it leaves the
    // navigation pending (a later load replaces it).
    virtual void decidePolicyForNavigationAction(WKWebView&, const WKNavigationAction&,
                                                 std::function<void(WKNavigationActionPolicy)> decisionHandler) {
        decisionHandler(WKNavigationActionPolicy::Allow);
    }
    virtual void didStartProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) {}
    virtual void didCommitNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) {}
    virtual void didFinishNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) {}
    virtual void didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&, const std::string&) {}
    virtual void didFailNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&, const std::string&) {}
};

class WKWebView : public UIView {
public:
    KORVA_MAKE(WKWebView)
    // The engine web views made from now on run on; none brings back the text view.
    static void setEngineFactory(WKWebEngineFactory factory);
    static bool hasEngineFactory();

    void init() override;
    ~WKWebView() override;

    std::shared_ptr<WKNavigationDelegate> navigationDelegate() const { return delegate_.lock(); }
    void setNavigationDelegate(const std::shared_ptr<WKNavigationDelegate>& d) { delegate_ = d; }

    // None (and nothing happens) for a request without a URL.
    std::shared_ptr<WKNavigation> loadRequest(const NSURLRequest& request);
    std::shared_ptr<WKNavigation> loadHTMLString(const std::string& html, const std::string& baseURL);
    std::shared_ptr<WKNavigation> reload();
    std::shared_ptr<WKNavigation> goBack();
    std::shared_ptr<WKNavigation> goForward();
    void stopLoading();
    // Whether this view runs on a page engine (then pageText, links and linkFrame have nothing).
    bool runsEngine() const { return engine_ != nullptr; }
    // Follows the page's link at an index as if tapped.
    std::shared_ptr<WKNavigation> followLink(std::size_t index);
    // Where the words of the link at an index stand (their first line, in this view's
    // coordinates, scrolling included); none when the page shows none.
    std::optional<CGRect> linkFrame(std::size_t index) const;
    // The reason the last load failed, shown in the page area; empty once a page is shown.
    const std::string& failureReason() const { return failure_; }

    // The committed page's address (empty before any), its title and text, its links.
    const std::string& URL() const { return url_; }
    const std::string& title() const { return page_.title; }
    const std::string& pageText() const { return page_.text; }
    const std::vector<std::string>& links() const { return page_.links; }
    bool isLoading() const { return loading_; }
    double estimatedProgress() const { return progress_; }
    bool canGoBack() const;
    bool canGoForward() const;
    const std::shared_ptr<UIScrollView>& scrollView() const { return scroll_; }

    // The completion gets the script's answer on the main thread; without an engine scripts do
    // not run, and it gets a null value and an error.
    void evaluateJavaScript(const std::string& script,
                            std::function<void(const Value&, const std::string&)> completion);

    void layoutSubviews() override;
    std::string className() const override { return "WKWebView"; }

protected:
    explicit WKWebView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::shared_ptr<WKNavigation> navigate(NSURLRequest request, WKNavigationType type, long historyIndex,
                                           std::optional<std::string> html = std::nullopt);
    void start(const std::shared_ptr<WKNavigation>& nav, NSURLRequest request, long historyIndex,
               std::optional<std::string> html);
    void commit(const std::shared_ptr<WKNavigation>& nav, const std::string& url, HTMLPage page, long historyIndex);
    void fail(const std::shared_ptr<WKNavigation>& nav, const std::string& reason);

    // The engine's side (wk_web_view_engine.cpp).
    void startEngine();
    WKWebEngineEvents engineEvents();
    std::shared_ptr<WKNavigation> engineNavigate(std::function<void(WKWebEngine&)> go);
    void engineDecide(const std::string& url, WKNavigationType type,
                      std::function<void(WKNavigationActionPolicy)> decision);
    void engineStarted();
    void engineCommitted();
    void engineFinished();
    void engineFailed(const std::string& reason, bool provisional);
    void engineChanged();
    void engineTimedOut(const std::shared_ptr<WKNavigation>& nav);
    void layoutEngine();

    std::weak_ptr<WKNavigationDelegate> delegate_;
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<WKPageView> pageView_;
    std::string failure_;
    std::string url_;
    HTMLPage page_;
    bool loading_ = false;
    double progress_ = 0;
    std::vector<std::string> history_;
    long index_ = -1;
    std::shared_ptr<WKNavigation> current_;
    std::shared_ptr<NSURLSessionDataTask> task_;
    std::unique_ptr<WKWebEngine> engine_;
    std::shared_ptr<WKEngineSurface> surface_;
    std::shared_ptr<NSTimer> timeout_;
    bool engineBack_ = false, engineForward_ = false;
    // The view's own load has been asked for and has not started yet.
    bool awaitingStart_ = false;
};
