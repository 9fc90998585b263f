// Web view stand-in: navigation decisions, loading through the URL session, history, and the
// page's text drawn in a scroll view.
#include "platform/ui/controller/wk_web_view.h"

#include <algorithm>

#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/net/url_session.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/text/string_drawing.h"

namespace {
bool looksLikeHTML(const std::string& mime, const std::string& body) {
    if (mime.find("html") != std::string::npos) return true;
    if (!mime.empty()) return false;
    auto start = body.find_first_not_of(" \t\r\n");
    return start != std::string::npos && body[start] == '<';
}
}  // namespace

// The page: its title and text, wrapped to the width.
class WKWebView::PageView : public UIView {
public:
    KORVA_MAKE(PageView)
    HTMLPage page;
    CGFloat heightForWidth(CGFloat w) const {
        std::string all = page.title.empty() ? page.text : page.title + "\n\n" + page.text;
        if (all.empty()) return 0;
        return std::ceil(boundingRectWithSize(all, CGSize{std::max<CGFloat>(1, w - 24), 1e7},
                                              NSStringDrawingUsesLineFragmentOrigin,
                                              labelAttributes(UIFont::systemFontOfSize(15), nullptr))
                             .size.height) +
               24;
    }
    void drawRect(CGRect) override {
        CGRect b = CGRectInset(bounds(), 12, 12);
        CGFloat y = b.origin.y;
        if (!page.title.empty()) {
            drawLabel(page.title, CGRectMake(b.origin.x, y, b.size.width, 24), UIFont::boldSystemFontOfSize(17),
                      UIColor::labelColor(), LabelAlignment::Left);
            y += 34;
        }
        drawWrapped(page.text, CGRectMake(b.origin.x, y, b.size.width, CGRectGetMaxY(b) - y),
                    UIFont::systemFontOfSize(15), UIColor::labelColor(), LabelAlignment::Left);
    }

protected:
    explicit PageView(CGRect f) : UIView(f) {}
};

void WKWebView::init() {
    UIView::init();
    setBackgroundColor(UIColor::whiteColor());
    scroll_ = UIScrollView::make(bounds());
    addSubview(scroll_);
    pageView_ = PageView::make(bounds());
    pageView_->setBackgroundColor(UIColor::whiteColor());
    scroll_->addSubview(pageView_);
}

WKWebView::~WKWebView() {
    if (task_) task_->cancel();
}

void WKWebView::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    scroll_->setFrame(b);
    CGFloat h = std::max(b.size.height, pageView_->heightForWidth(b.size.width));
    pageView_->setFrame(CGRectMake(0, 0, b.size.width, h));
    scroll_->setContentSize(CGSize{b.size.width, h});
}

std::shared_ptr<WKNavigation> WKWebView::loadRequest(const NSURLRequest& request) {
    return navigate(request, WKNavigationType::Other, -1);
}

std::shared_ptr<WKNavigation> WKWebView::loadHTMLString(const std::string& html, const std::string& baseURL) {
    auto url = NSURL::URLWithString(baseURL.empty() ? "about:blank" : baseURL);
    if (!url) url = NSURL::URLWithString("about:blank");
    return navigate(NSURLRequest::requestWithURL(url), WKNavigationType::Other, -1, html);
}

std::shared_ptr<WKNavigation> WKWebView::reload() {
    if (url_.empty() || index_ < 0) return nullptr;
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(url_)), WKNavigationType::Reload, index_);
}

std::shared_ptr<WKNavigation> WKWebView::goBack() {
    if (!canGoBack()) return nullptr;
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(history_[index_ - 1])),
                    WKNavigationType::BackForward, index_ - 1);
}

std::shared_ptr<WKNavigation> WKWebView::goForward() {
    if (!canGoForward()) return nullptr;
    return navigate(NSURLRequest::requestWithURL(NSURL::URLWithString(history_[index_ + 1])),
                    WKNavigationType::BackForward, index_ + 1);
}

std::shared_ptr<WKNavigation> WKWebView::followLink(std::size_t index) {
    if (index >= page_.links.size()) return nullptr;
    auto url = NSURL::URLWithString(page_.links[index]);
    if (!url) return nullptr;
    return navigate(NSURLRequest::requestWithURL(url), WKNavigationType::LinkActivated, -1);
}

void WKWebView::stopLoading() {
    if (task_) task_->cancel();
    task_.reset();
    current_.reset();
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
    d->decidePolicyForNavigationAction(*this, action, [weak, nav, request, historyIndex, html](WKNavigationActionPolicy p) {
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
    if (html) {
        RunLoop::main().perform([weak, nav, url, html, historyIndex] {
            auto me = weak.lock();
            if (me && me->current_ == nav) me->commit(nav, url, *html, true, historyIndex);
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
                    me->loading_ = false;
                    me->progress_ = 0;
                    me->current_.reset();
                    std::string why = error ? error->localizedDescription() : "no data";
                    if (auto d = me->navigationDelegate()) d->didFailProvisionalNavigation(*me, nav, why);
                    return;
                }
                std::string body(data->begin(), data->end());
                std::string mime = response ? response->MIMEType() : "";
                std::string finalURL = response && response->URL() ? response->URL()->absoluteString() : url;
                me->commit(nav, finalURL, body, looksLikeHTML(mime, body), historyIndex);
            });
        });
    task_->resume();
}

void WKWebView::commit(const std::shared_ptr<WKNavigation>& nav, const std::string& url, const std::string& body,
                       bool isHTML, long historyIndex) {
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
    page_ = isHTML ? parseHTMLPage(body, url) : HTMLPage{"", body, {}};
    pageView_->page = page_;
    pageView_->setNeedsDisplay();
    setNeedsLayout();
    loading_ = false;
    progress_ = 1.0;
    current_.reset();
    if (auto d = navigationDelegate()) d->didFinishNavigation(*this, nav);
}

void WKWebView::evaluateJavaScript(const std::string&, std::function<void(const Value&, const std::string&)> completion) {
    if (!completion) return;
    RunLoop::main().perform([completion] { completion(Value(), "scripts are not run by this web view"); });
}
