// The web screen on the page engine: its bar follows the page, a tapped link is handled by the
// screen's rules (a new screen pushed, the own address cancelled), and a script's answers read
// back through the probes.
#include <optional>

#include "app/base/my_navigation_controller.h"
#include "app/web/web_view_probes.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "tests/app/web_test_support.h"
#include "tests/platform/webengine/engine_test_support.h"

namespace {

struct EngineWebTest : WebTest {
    void SetUp() override {
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

}  // namespace
