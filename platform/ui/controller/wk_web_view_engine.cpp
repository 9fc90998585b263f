// The web view on a page engine: the engine's events become the navigation delegate's, in the
// same order as the text form's, and its pictures are shown by the engine surface.
#include <algorithm>
#include <utility>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/controller/wk_engine_surface.h"
#include "platform/ui/controller/wk_page_view.h"
#include "platform/ui/controller/wk_web_view.h"

namespace {

WKWebEngineFactory& factorySlot() {
    static WKWebEngineFactory factory;
    return factory;
}

bool servedOverHTTP(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

constexpr const char* kFileFromWebPage = "A page on the web cannot open a file on this device.";
constexpr const char* kTimedOut = "The request timed out.";

}  // namespace

void WKWebView::setEngineFactory(WKWebEngineFactory factory) {
    factorySlot() = std::move(factory);
}

bool WKWebView::hasEngineFactory() {
    return static_cast<bool>(factorySlot());
}

void WKWebView::startEngine() {
    if (!factorySlot()) return;
    engine_ = factorySlot()(engineEvents());
    if (!engine_) return;
    surface_ = WKEngineSurface::make(bounds());
    surface_->setEngine(engine_.get());
    insertSubviewBelow(surface_, scroll_);
    // The text page shows only a failure's reason, over the engine's last picture.
    scroll_->setHidden(true);
}

WKWebEngineEvents WKWebView::engineEvents() {
    std::weak_ptr<WKWebView> weak = self<WKWebView>();
    auto call = [weak](void (WKWebView::*what)()) {
        return [weak, what] {
            if (auto me = weak.lock()) ((*me).*what)();
        };
    };
    WKWebEngineEvents events;
    events.decide = [weak](const std::string& url, WKNavigationType type,
                           std::function<void(WKNavigationActionPolicy)> decision) {
        auto me = weak.lock();
        if (!me) return decision(WKNavigationActionPolicy::Cancel);
        me->engineDecide(url, type, std::move(decision));
    };
    events.started = call(&WKWebView::engineStarted);
    events.committed = call(&WKWebView::engineCommitted);
    events.finished = call(&WKWebView::engineFinished);
    events.changed = call(&WKWebView::engineChanged);
    events.failed = [weak](const std::string& reason, bool provisional) {
        if (auto me = weak.lock()) me->engineFailed(reason, provisional);
    };
    events.focused = [weak](bool takesText) {
        if (auto me = weak.lock(); me && me->surface_) me->surface_->followFocus(takesText);
    };
    events.painted = [weak](std::shared_ptr<CGImage> picture) {
        if (auto me = weak.lock(); me && me->surface_) me->surface_->showPicture(std::move(picture));
    };
    return events;
}

void WKWebView::layoutEngine() {
    CGRect b = bounds();
    surface_->setFrame(b);
    surface_->updateViewport();
    scroll_->setFrame(b);
    CGFloat h = std::max(b.size.height, pageView_->heightForWidth(b.size.width));
    pageView_->setFrame(CGRectMake(0, 0, b.size.width, h));
    scroll_->setContentSize(CGSize{b.size.width, h});
}

std::shared_ptr<WKNavigation> WKWebView::engineNavigate(std::function<void(WKWebEngine&)> go) {
    auto nav = WKNavigation::make();
    if (timeout_) timeout_->invalidate();
    timeout_.reset();
    current_ = nav;
    loading_ = true;
    awaitingStart_ = true;
    go(*engine_);
    return nav;
}

// The engine asks about every navigation, a frame's inside the page too; only the view's own load
// still waiting to start is its page's, the rest change nothing here until one starts.
void WKWebView::engineDecide(const std::string& url, WKNavigationType type,
                             std::function<void(WKNavigationActionPolicy)> decision) {
    auto address = NSURL::URLWithString(url);
    if (!address) return decision(WKNavigationActionPolicy::Cancel);
    auto nav = awaitingStart_ ? current_ : nullptr;
    std::weak_ptr<WKWebView> weak = self<WKWebView>();
    auto answer = [weak, nav, type, decision = std::move(decision),
                   file = address->isFileURL()](WKNavigationActionPolicy p) {
        auto me = weak.lock();
        if (!me || (nav && me->current_ != nav)) return decision(WKNavigationActionPolicy::Cancel);
        bool own = nav && me->awaitingStart_;
        if (p == WKNavigationActionPolicy::Allow && file && servedOverHTTP(me->url_)) {
            decision(WKNavigationActionPolicy::Cancel);
            if (own || type == WKNavigationType::LinkActivated) me->engineFailed(kFileFromWebPage, true);
            return;
        }
        if (p == WKNavigationActionPolicy::Cancel && own) {
            me->current_.reset();
            me->awaitingStart_ = false;
            me->loading_ = false;
            if (me->timeout_) me->timeout_->invalidate();
        }
        decision(p);
    };
    auto d = navigationDelegate();
    if (!d) return answer(WKNavigationActionPolicy::Allow);
    d->decidePolicyForNavigationAction(*this, WKNavigationAction{NSURLRequest::requestWithURL(address), type},
                                       std::move(answer));
}

void WKWebView::engineStarted() {
    auto keep = self<WKWebView>();
    // Navigations the page starts itself (a followed link, a form) count from here.
    if (!current_) current_ = WKNavigation::make();
    awaitingStart_ = false;
    loading_ = true;
    engineChanged();
    auto nav = current_;
    if (auto d = navigationDelegate()) d->didStartProvisionalNavigation(*this, nav);
}

void WKWebView::engineCommitted() {
    auto keep = self<WKWebView>();
    if (timeout_) timeout_->invalidate();
    timeout_.reset();
    failure_.clear();
    scroll_->setHidden(true);
    url_ = engine_->URL();
    engineChanged();
    if (!current_) current_ = WKNavigation::make();
    if (auto d = navigationDelegate()) d->didCommitNavigation(*this, current_);
}

void WKWebView::engineFinished() {
    auto keep = self<WKWebView>();
    auto nav = current_ ? current_ : WKNavigation::make();
    current_.reset();
    awaitingStart_ = false;
    loading_ = false;
    url_ = engine_->URL();
    engineChanged();
    progress_ = 1.0;
    if (auto d = navigationDelegate()) d->didFinishNavigation(*this, nav);
}

void WKWebView::engineFailed(const std::string& reason, bool provisional) {
    auto keep = self<WKWebView>();
    auto nav = current_ ? current_ : WKNavigation::make();
    current_.reset();
    awaitingStart_ = false;
    loading_ = false;
    if (timeout_) timeout_->invalidate();
    timeout_.reset();
    engineChanged();
    progress_ = 0;
    failure_ = reason;
    pageView_->setFailure(reason);
    scroll_->setHidden(false);
    setNeedsLayout();
    if (auto d = navigationDelegate()) {
        if (provisional)
            d->didFailProvisionalNavigation(*this, nav, reason);
        else
            d->didFailNavigation(*this, nav, reason);
    }
}

void WKWebView::engineTimedOut(const std::shared_ptr<WKNavigation>& nav) {
    timeout_.reset();
    if (!engine_ || current_ != nav) return;
    engine_->stop();
    if (current_ == nav) engineFailed(kTimedOut, true);
}

// The address is the shown page's: it changes when a load commits, not while one is on its way.
void WKWebView::engineChanged() {
    page_.title = engine_->title();
    progress_ = loading_ ? engine_->progress() : progress_;
    engineBack_ = engine_->canGoBack();
    engineForward_ = engine_->canGoForward();
}
