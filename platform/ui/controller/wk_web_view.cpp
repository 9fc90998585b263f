// The web view's text form: navigation decisions, loading through the URL session, history, and
// the page's text drawn in a scroll view. The engine form lives in wk_web_view_engine.cpp.
#include "platform/ui/controller/wk_web_view.h"

#include <algorithm>

#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/net/url_session.h"
#include "platform/ui/controller/web_body.h"
#include "platform/ui/controller/wk_engine_surface.h"
#include "platform/ui/controller/wk_page_view.h"

namespace {
bool servedOverHTTP(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}
}  // namespace

void WKWebView::init() {
    UIView::init();
    setBackgroundColor(UIColor::whiteColor());
    scroll_ = UIScrollView::make(bounds());
    addSubview(scroll_);
    pageView_ = WKPageView::make(bounds());
    pageView_->setBackgroundColor(UIColor::whiteColor());
    std::weak_ptr<WKWebView> weak = self<WKWebView>();
    pageView_->onLink = [weak](std::size_t link) {
        if (auto me = weak.lock()) me->followLink(link);
    };
    scroll_->addSubview(pageView_);
    startEngine();
}

WKWebView::~WKWebView() {
    if (task_) task_->cancel();
    if (timeout_) timeout_->invalidate();
    if (surface_) surface_->setEngine(nullptr);
}

void WKWebView::layoutSubviews() {
    UIView::layoutSubviews();
    if (engine_) {
        layoutEngine();
        return;
    }
    CGRect b = bounds();
    scroll_->setFrame(b);
    CGFloat h = std::max(b.size.height, pageView_->heightForWidth(b.size.width));
    pageView_->setFrame(CGRectMake(0, 0, b.size.width, h));
    scroll_->setContentSize(CGSize{b.size.width, h});
}

std::shared_ptr<WKNavigation> WKWebView::loadRequest(const NSURLRequest& request) {
    if (engine_) {
        if (!request.URL()) return nullptr;
        auto nav = engineNavigate([url = request.URL()->absoluteString()](WKWebEngine& e) { e.loadURL(url); });
        std::weak_ptr<WKWebView> weak = self<WKWebView>();
        timeout_ = RunLoop::main().performAfterDelay(request.timeoutInterval(), [weak, nav] {
            if (auto me = weak.lock()) me->engineTimedOut(nav);
        });
        return nav;
    }
    return navigate(request, WKNavigationType::Other, -1);
}

std::shared_ptr<WKNavigation> WKWebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    auto url = NSURL::URLWithString(baseURL.empty() ? "about:blank" : baseURL);
    if (!url) url = NSURL::URLWithString("about:blank");
    if (engine_) {
        return engineNavigate([html, base = url->absoluteString()](WKWebEngine& e) { e.loadHTML(html, base); });
    }
    return navigate(NSURLRequest::requestWithURL(url), WKNavigationType::Other, -1, html);
}

std::shared_ptr<WKNavigation> WKWebView::reload() {
    if (engine_) {
        if (url_.empty()) return nullptr;
        return engineNavigate([](WKWebEngine& e) { e.reload(); });
    }
    if (url_.empty() || index_ < 0) return nullptr;
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(url_)), WKNavigationType::Reload, index_);
}

bool WKWebView::canGoBack() const {
    return engine_ ? engineBack_ : index_ > 0;
}

bool WKWebView::canGoForward() const {
    return engine_ ? engineForward_ : index_ + 1 < static_cast<long>(history_.size());
}

std::shared_ptr<WKNavigation> WKWebView::goBack() {
    if (!canGoBack()) return nullptr;
    if (engine_) return engineNavigate([](WKWebEngine& e) { e.goBack(); });
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(history_[index_ - 1])),
                    WKNavigationType::BackForward, index_ - 1);
}

std::shared_ptr<WKNavigation> WKWebView::goForward() {
    if (!canGoForward()) return nullptr;
    if (engine_) return engineNavigate([](WKWebEngine& e) { e.goForward(); });
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(history_[index_ + 1])),
                    WKNavigationType::BackForward, index_ + 1);
}

std::shared_ptr<WKNavigation> WKWebView::followLink(std::size_t index) {
    if (index >= page_.links.size()) return nullptr;
    auto url = NSURL::URLWithString(page_.links[index]);
    if (!url) return nullptr;
    return navigate(NSURLRequest::requestWithURL(url), WKNavigationType::LinkActivated, -1);
}

std::optional<CGRect> WKWebView::linkFrame(std::size_t index) const {
    auto frame = pageView_->linkFrame(index);
    if (!frame) return std::nullopt;
    return pageView_->convertRectToView(*frame, std::const_pointer_cast<WKWebView>(self<WKWebView>()));
}

void WKWebView::stopLoading() {
    if (engine_) engine_->stop();
    if (timeout_) timeout_->invalidate();
    timeout_.reset();
    if (task_) task_->cancel();
    task_.reset();
    current_.reset();
    awaitingStart_ = false;
    loading_ = false;
}

std::shared_ptr<WKNavigation> WKWebView::navigate(NSURLRequest request, WKNavigationType type, long historyIndex,
                                                  std::optional<std::string> html) {
    if (!request.URL()) return nullptr;
    auto nav = WKNavigation::make();
    // A newer navigation supersedes one still waiting or loading.
    if (task_) task_->cancel();
    task_.reset();
    current_ = nav;
    auto d = navigationDelegate();
    if (!d) {
        start(nav, std::move(request), historyIndex, std::move(html));
        return nav;
    }
    std::weak_ptr<WKWebView> weak = self<WKWebView>();
    WKNavigationAction action{request, type};
    d->decidePolicyForNavigationAction(*this, action,
                                       [weak, nav, request, historyIndex, html](WKNavigationActionPolicy p) {
                                           auto me = weak.lock();
                                           if (!me || me->current_ != nav) return;
                                           if (p == WKNavigationActionPolicy::Cancel) {
                                               me->current_.reset();
                                               return;
                                           }
                                           me->start(nav, request, historyIndex, html);
                                       });
    return nav;
}

void WKWebView::start(const std::shared_ptr<WKNavigation>& nav, NSURLRequest request, long historyIndex,
                      std::optional<std::string> html) {
    loading_ = true;
    progress_ = 0.1;
    auto keep = self<WKWebView>();
    if (auto d = navigationDelegate()) d->didStartProvisionalNavigation(*this, nav);
    if (current_ != nav) return;
    std::weak_ptr<WKWebView> weak = keep;
    std::string url = request.URL()->absoluteString();
    if (request.URL()->isFileURL() && servedOverHTTP(url_) && !html) {
        RunLoop::main().perform([weak, nav] {
            auto me = weak.lock();
            if (me && me->current_ == nav) me->fail(nav, "A page on the web cannot open a file on this device.");
        });
        return;
    }
    if (html) {
        RunLoop::main().perform([weak, nav, url, html, historyIndex] {
            auto me = weak.lock();
            if (me && me->current_ == nav) me->commit(nav, url, parseHTMLPage(*html, url), historyIndex);
        });
        return;
    }
    task_ = NSURLSession::sharedSession()->dataTaskWithRequest(
        request, [weak, nav, url, historyIndex](std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response,
                                                std::shared_ptr<NSError> error) {
            dispatch_async(dispatch_get_main_queue(), [weak, nav, url, historyIndex, data, response, error] {
                auto me = weak.lock();
                if (!me || me->current_ != nav) return;
                me->task_.reset();
                if (error || !data) {
                    me->fail(nav, error ? error->localizedDescription() : "The server sent no data.");
                    return;
                }
                std::string mime = response ? response->MIMEType() : "";
                auto charset = response ? response->textEncodingName() : std::nullopt;
                std::string finalURL = response && response->URL() ? response->URL()->absoluteString() : url;
                me->commit(nav, finalURL, readPageBody(*data, mime, charset, finalURL), historyIndex);
            });
        });
    task_->resume();
}

void WKWebView::fail(const std::shared_ptr<WKNavigation>& nav, const std::string& reason) {
    auto keep = self<WKWebView>();
    loading_ = false;
    progress_ = 0;
    current_.reset();
    failure_ = reason;
    pageView_->setFailure(reason);
    setNeedsLayout();
    if (auto d = navigationDelegate()) d->didFailProvisionalNavigation(*this, nav, reason);
}

void WKWebView::commit(const std::shared_ptr<WKNavigation>& nav, const std::string& url, HTMLPage page,
                       long historyIndex) {
    auto keep = self<WKWebView>();
    url_ = url;
    if (historyIndex >= 0 && historyIndex < static_cast<long>(history_.size())) {
        index_ = historyIndex;
        history_[index_] = url;
    } else {
        history_.resize(static_cast<std::size_t>(index_ + 1));
        history_.push_back(url);
        index_ = static_cast<long>(history_.size()) - 1;
    }
    progress_ = 0.5;
    if (auto d = navigationDelegate()) d->didCommitNavigation(*this, nav);
    if (current_ != nav) return;
    page_ = std::move(page);
    failure_.clear();
    pageView_->setPage(page_);
    setNeedsLayout();
    loading_ = false;
    progress_ = 1.0;
    current_.reset();
    if (auto d = navigationDelegate()) d->didFinishNavigation(*this, nav);
}

void WKWebView::evaluateJavaScript(const std::string& script,
                                   std::function<void(const Value&, const std::string&)> completion) {
    if (engine_) {
        engine_->evaluateJavaScript(script, std::move(completion));
        return;
    }
    if (!completion) return;
    RunLoop::main().perform([completion] { completion(Value(), "scripts are not run by this web view"); });
}
