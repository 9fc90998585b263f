// The web screen on the page engine: its bar follows the page, a tapped link is handled by the
// screen's rules (a new screen pushed, the own address cancelled), a script's answers read back
// through the probes, and a server that sends its page on to a file fails the screen at once.
#include <algorithm>
#include <atomic>
#include <optional>

#include "app/base/my_navigation_controller.h"
#include "app/web/web_view_probes.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "tests/app/web_test_support.h"
#include "tests/platform/webengine/engine_test_support.h"

namespace {

struct EngineWebTest : WebTest {
    std::atomic<int> heads{0}, gets{0};

    void SetUp() override {
        // A server that shows its page to a HEAD request and sends a GET on to a file here.
        server.routes().Get("/two-faced", [this](const httplib::Request& q, httplib::Response& r) {
            ++(q.method == "HEAD" ? heads : gets);
            if (q.method == "HEAD")
                r.set_content("<title>Harmless</title>", "text/html");
            else
                r.set_redirect("file:///etc/passwd");
        });
        WebTest::SetUp();
        if (auto why = pageEngineMissing()) GTEST_SKIP() << *why;
    }
    // Taps the middle of the page's link with the given index.
    void tapLink(WKWebView& web, int index) {
        CGRect r =
            probeRect(runScript(web, "(function(){var r=document.getElementsByTagName('a')[" + std::to_string(index) +
                                         "].getBoundingClientRect();return '{{'+r.left+','+r.top+'},{'+"
                                         "r.width+','+r.height+'}}';})()"));
        ASSERT_GT(r.size.width, 0);
        tap(web.convertPointToView(CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r)), window));
    }
};

TEST_F(EngineWebTest, ATappedLinkPushesTheNextScreenAndTheOwnAddressStaysPut) {
    auto web = makeWeb(url("/page"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    auto nav = show(MyNavigationController::withRoot(web));
    waitForPage(*web);
    ASSERT_TRUE(web->webView()->runsEngine());
    EXPECT_EQ(web->navigationItem()->title(), "First");
    std::optional<Value> address;
    currentURL(*web->webView(), [&](const Value& v) { address = v; });
    ASSERT_TRUE(pumpMainUntil([&] { return address.has_value(); }));
    EXPECT_EQ(*address, Value(url("/page")));

    // The link to the screen's own address is cancelled.
    tapLink(*web->webView(), 1);
    ASSERT_TRUE(pumpMainUntil([&] { return !events->log.empty() && events->log.back() == "will 0 " + url("/page"); }));
    settle();
    EXPECT_FALSE(web->loading());
    EXPECT_EQ(nav->viewControllers().size(), 1u);

    tapLink(*web->webView(), 0);
    ASSERT_TRUE(pumpMainUntil([&] { return nav->viewControllers().size() == 2u; }));
    auto pushed = std::dynamic_pointer_cast<MyWebController>(nav->viewControllers().back());
    ASSERT_TRUE(pushed);
    EXPECT_EQ(pushed->url(), url("/next"));
    EXPECT_EQ(web->webView()->URL(), url("/page"));  // the first page stays as it was
    advance(1);
    waitForPage(*pushed);
    EXPECT_EQ(pushed->navigationItem()->title(), "Next");
}

TEST_F(EngineWebTest, AServerThatSendsItsPageOnToAFileFailsTheScreenAtOnceWithTheReason) {
    auto web = makeWeb(url("/two-faced"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    show(MyNavigationController::withRoot(web));
    const double began = Clock::now();
    waitForPage(*web);
    // Without the clock moving: the load does not wait for its time-out.
    EXPECT_EQ(Clock::now(), began);
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log.back(), "fail");
    auto& view = *web->webView();
    EXPECT_EQ(view.failureReason(),
              "The server sent this page on to an address that is not a web page, which cannot be opened here.");
    EXPECT_FALSE(view.scrollView()->isHidden()) << "the reason is shown in the page area";
    // The engine found the redirect in its own load: the server was asked once.
    EXPECT_EQ(gets.load(), 1);
    EXPECT_EQ(heads.load(), 0);

    // Nothing of the file reached the page: no page was shown, and none that a script finds holds it.
    EXPECT_EQ(std::count(events->log.begin(), events->log.end(), "finish " + url("/two-faced")), 0);
    EXPECT_EQ(view.URL(), "");
    Value shown = runScript(view, "location.href + ' ' + document.documentElement.outerHTML");
    if (shown.isString()) {
        EXPECT_EQ(shown.stringValue().find("file:"), std::string::npos) << shown.stringValue();
        EXPECT_EQ(shown.stringValue().find("root:"), std::string::npos) << shown.stringValue();
    }
}

}  // namespace
