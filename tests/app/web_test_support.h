// Pages for the web screen tests, served on 127.0.0.1, and a delegate that records what a web
// screen or web pop-up tells it.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "app/web/my_web_controller.h"
#include "app/web/pop_web_view.h"
#include "tests/app/app_test_support.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"

struct WebEvents : PopWebViewDelegate {
    std::vector<std::string> log;
    void onMyWebControllerDone(MyWebController&) override { log.push_back("done"); }
    void onMyWebControllerWillNavigate(MyWebController&, const NSURLRequest& r, WKNavigationType t) override {
        log.push_back("will " + std::to_string(static_cast<int>(t)) + " " + r.URL()->absoluteString());
    }
    void onMyWebControllerDidStartLoad(MyWebController&, const std::string&) override { log.push_back("start"); }
    void onMyWebControllerDidFinishLoad(MyWebController&, const std::string& url) override {
        log.push_back("finish " + url);
    }
    void onMyWebControllerDidFailLoad(MyWebController&, const std::string&) override { log.push_back("fail"); }
    void onPopWebViewWillHide(PopWebView&) override { log.push_back("willHide"); }
};

struct WebTest : AppTest {
    LocalServer server;
    // While set, "/page" waits (up to 10 s) before it answers, so a test can see a load under way.
    std::atomic<bool> pageHeld{false};

    void SetUp() override {
        AppTest::SetUp();
        // One answer per connection: the page engine keeps connections open, which would hold the
        // server's stop at the end of a test.
        server.routes().set_keep_alive_max_count(1);
        server.routes().Get("/page", [this](const httplib::Request&, httplib::Response& r) {
            for (int i = 0; pageHeld && i < 1000; ++i) server.pause(0.01);
            r.set_content(
                "<title>First</title><h1>Welcome</h1><p>Go to the <a href=\"/next\">next page</a>, "
                "stay <a href=\"" +
                    url("/page") +
                    "\">here</a> or open "
                    "<a href=\"file:///etc/hostname\">a file</a>.</p>",
                "text/html");
        });
        server.routes().Get("/next", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<title>Next</title><p>The second page.</p>", "text/html");
        });
        server.start();
    }
    std::string url(const std::string& path) const { return server.url(path); }
    static std::shared_ptr<MyWebController> makeWeb(const std::string& address) {
        auto web = std::dynamic_pointer_cast<MyWebController>(
            UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(MyWebController::kStoryboardID));
        web->setUrl(address);
        return web;
    }
    // Until the web screen's page has finished or failed.
    void waitForPage(MyWebController& web) {
        ASSERT_TRUE(pumpMainUntil([&] { return web.webView() && !web.webView()->isLoading(); }));
        settle();
    }
};
