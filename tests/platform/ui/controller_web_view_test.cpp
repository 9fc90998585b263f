// The web view stand-in: page text and title from HTML, loads through the URL session from a
// file, the navigation delegate's events and decisions, history, failures.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "controller_test_support.h"
#include "platform/net/url.h"
#include "platform/ui/controller/html_text.h"
#include "platform/ui/controller/wk_web_view.h"

namespace {

struct Navigator : WKNavigationDelegate {
    std::vector<std::string> events;
    bool block = false;
    void decidePolicyForNavigationAction(WKWebView&, const WKNavigationAction& a,
                                         std::function<void(WKNavigationActionPolicy)> decide) override {
        events.push_back("decide " + std::to_string(static_cast<int>(a.navigationType)));
        decide(block ? WKNavigationActionPolicy::Cancel : WKNavigationActionPolicy::Allow);
    }
    void didStartProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) override {
        events.push_back("start");
    }
    void didCommitNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) override { events.push_back("commit"); }
    void didFinishNavigation(WKWebView& w, const std::shared_ptr<WKNavigation>&) override {
        events.push_back("finish " + w.title());
    }
    void didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&, const std::string&) override {
        events.push_back("fail");
    }
};

struct WebViewTest : UIHarness {
    std::filesystem::path dir;
    void SetUp() override {
        UIHarness::SetUp();
        dir = std::filesystem::temp_directory_path() / ("korva-web-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        UIHarness::TearDown();
    }
    std::string page(const std::string& name, const std::string& html) {
        std::ofstream(dir / name) << html;
        return NSURL::fileURLWithPath((dir / name).string())->absoluteString();
    }
    // Lets the transfer on the background queue finish and its result reach the main queue.
    void waitFor(WKWebView& web) {
        for (int i = 0; i < 20 && web.isLoading(); ++i) RunLoop::main().drainAll();
        RunLoop::main().runUntilIdle();
    }
};

TEST(HTMLText, ReadsTitleTextAndLinksAndSkipsScripts) {
    auto p = parseHTMLPage(
        "<html><head><title>Hi &amp; bye</title><style>p{}</style></head><body><p>One&nbsp;two</p>"
        "<script>var x = '<p>no</p>';</script><a href=\"/b.html\">B</a> <a href='c.html'>C</a><a href=\"#top\">T</a>"
        "&#x263A; &#0; &bogus;</body></html>",
        "http://example.test/dir/a.html");
    EXPECT_EQ(p.title, "Hi & bye");
    EXPECT_EQ(p.text, "One two\nB C T \u263A &#0; &bogus;");
    EXPECT_EQ(p.links, (std::vector<std::string>{"http://example.test/b.html", "http://example.test/dir/c.html"}));
    EXPECT_EQ(resolveURL("x", "not a url"), "");
}

TEST_F(WebViewTest, LoadsAFileWithTheDelegatesEventsAndKeepsHistory) {
    auto web = WKWebView::make(CGRectMake(0, 0, 375, 600));
    window->addSubview(web);
    auto nav = std::make_shared<Navigator>();
    web->setNavigationDelegate(nav);
    std::string second = page("second.html", "<title>Second</title><p>Two</p>");
    std::string first = page("first.html", "<title>First</title><p>Hello</p><a href=\"second.html\">next</a>");
    ASSERT_NE(web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(first))), nullptr);
    EXPECT_TRUE(web->isLoading());
    waitFor(*web);
    EXPECT_EQ(nav->events, (std::vector<std::string>{"decide -1", "start", "commit", "finish First"}));
    EXPECT_EQ(web->URL(), first);
    EXPECT_EQ(web->pageText(), "Hello\nnext");
    EXPECT_EQ(web->estimatedProgress(), 1.0);
    ASSERT_EQ(web->links().size(), 1u);
    EXPECT_EQ(web->links()[0], second);

    ASSERT_NE(web->followLink(0), nullptr);
    waitFor(*web);
    EXPECT_EQ(web->title(), "Second");
    EXPECT_TRUE(web->canGoBack());
    ASSERT_NE(web->goBack(), nullptr);
    waitFor(*web);
    EXPECT_EQ(web->title(), "First");
    EXPECT_TRUE(web->canGoForward());
    EXPECT_EQ(nav->events[4], "decide 0");  // the followed link
}

TEST_F(WebViewTest, CancelledMissingAndEmptyLoadsLeaveThePageAlone) {
    auto web = WKWebView::make(CGRectMake(0, 0, 375, 600));
    auto nav = std::make_shared<Navigator>();
    web->setNavigationDelegate(nav);
    ASSERT_NE(web->loadHTMLString("<title>Inline</title>text", "http://example.test/"), nullptr);
    waitFor(*web);
    EXPECT_EQ(web->title(), "Inline");
    nav->block = true;
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(page("x.html", "<title>X</title>"))));
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(web->title(), "Inline");
    nav->block = false;
    nav->events.clear();
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::fileURLWithPath((dir / "missing.html").string())));
    waitFor(*web);
    EXPECT_EQ(nav->events.back(), "fail");
    EXPECT_EQ(web->title(), "Inline");
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(web->loadRequest(NSURLRequest::requestWithURL(nullptr)), nullptr);
    std::string scriptError;
    web->evaluateJavaScript("1+1", [&](const Value&, const std::string& e) { scriptError = e; });
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(scriptError.empty());
}

}  // namespace
