// The in-app web screen against pages from a local server: bar items while loading and after,
// the title, links (cancelled, pushed or loaded in place), the delegate's events, failures,
// charsets, bodies that are not text, the action item, and servers that misbehave.
#include <gtest/gtest.h>

#include "app/base/my_navigation_controller.h"
#include "platform/runtime/log.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "tests/app/web_test_support.h"
#include "tests/support/junk_server.h"

namespace {

using Items = std::vector<std::shared_ptr<UIBarButtonItem>>;

TEST_F(WebTest, TheBarShowsTheSpinnerWhileLoadingAndThenTheLastPagesTitle) {
    pageHeld = true;
    auto web = makeWeb(url("/page"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    auto nav = show(MyNavigationController::withRoot(web));
    EXPECT_TRUE(web->loading());
    EXPECT_TRUE(web->actLoading()->isAnimating());
    EXPECT_EQ(web->navigationItem()->rightBarButtonItems(), (Items{web->btnAction(), web->bbLoading()}));
    EXPECT_EQ(web->navigationItem()->leftBarButtonItems(), (Items{web->btnDone()}));

    pageHeld = false;
    waitForPage(*web);
    EXPECT_FALSE(web->loading());
    EXPECT_FALSE(web->actLoading()->isAnimating());
    EXPECT_EQ(web->navigationItem()->rightBarButtonItems(), (Items{web->btnAction()}));
    EXPECT_EQ(web->navigationItem()->title(), "First");
    EXPECT_EQ(events->log, (std::vector<std::string>{"will -1 " + url("/page"), "start", "finish " + url("/page")}));

    // A reload runs through the same road; Refresh itself is never on the bar.
    web->onRefresh();
    waitForPage(*web);
    EXPECT_EQ(web->navigationItem()->title(), "First");
    for (const auto& item : web->navigationItem()->rightBarButtonItems()) EXPECT_NE(item, web->btnReload());
    web->onDone();
    EXPECT_EQ(events->log.back(), "done");
}

TEST_F(WebTest, ALinkToTheOwnAddressIsCancelledAndOthersArePushedWithoutDoneOrEvents) {
    auto web = makeWeb(url("/page"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    auto nav = show(MyNavigationController::withRoot(web));
    waitForPage(*web);

    ASSERT_EQ(web->webView()->links()[1], url("/page"));
    web->webView()->followLink(1);
    settle();
    EXPECT_FALSE(web->loading());
    EXPECT_EQ(nav->viewControllers().size(), 1u);

    events->log.clear();
    web->webView()->followLink(0);
    settle();
    ASSERT_EQ(nav->viewControllers().size(), 2u);
    auto pushed = std::dynamic_pointer_cast<MyWebController>(nav->viewControllers().back());
    ASSERT_TRUE(pushed);
    EXPECT_EQ(pushed->url(), url("/next"));
    EXPECT_EQ(pushed->delegate(), nullptr);
    EXPECT_EQ(web->webView()->URL(), url("/page"));  // the first page stays as it was
    EXPECT_EQ(events->log, (std::vector<std::string>{"will 0 " + url("/next")}));
    waitForPage(*pushed);
    EXPECT_EQ(pushed->navigationItem()->title(), "Next");
    EXPECT_TRUE(pushed->navigationItem()->leftBarButtonItems().empty());
    EXPECT_EQ(events->log.size(), 1u);
    advance(1);  // the push's slide ends before the screens go
}

TEST_F(WebTest, WithoutANavigationControllerOrAWebScreenInTheStoryboardALinkLoadsInPlace) {
    auto web = show(makeWeb(url("/page")));
    waitForPage(*web);
    web->webView()->followLink(0);
    waitForPage(*web);
    EXPECT_EQ(web->webView()->URL(), url("/next"));

    // A storyboard that cannot make the web screen leaves the link to load in place.
    auto other = makeWeb(url("/page"));
    auto nav = show(MyNavigationController::withRoot(other));
    waitForPage(*other);
    UIStoryboard::resetMainStoryboard();
    LogCapture log;
    other->webView()->followLink(0);
    waitForPage(*other);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(other->webView()->URL(), url("/next"));
    EXPECT_TRUE(log.contains("loads in place"));
}

TEST_F(WebTest, AFileLinkFromAServedPageIsRefusedInPlace) {
    auto web = makeWeb(url("/page"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    auto nav = show(MyNavigationController::withRoot(web));
    waitForPage(*web);
    web->webView()->followLink(2);
    waitForPage(*web);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(web->webView()->URL(), url("/page"));
    EXPECT_FALSE(web->webView()->failureReason().empty());
    EXPECT_EQ(events->log.back(), "fail");
}

TEST_F(WebTest, PagesAreReadAsServed) {
    server.stop();
    LocalServer pages;
    pages.routes().Get("/missing", [](const httplib::Request&, httplib::Response& r) {
        r.status = 404;
        r.set_content("<title>Not found</title>Nothing here", "text/html");
    });
    pages.routes().Get("/latin", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<title>K\xE4ytt\xF6</title>\xC5land", "text/html; charset=ISO-8859-1");
    });
    pages.routes().Get("/photo", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), "image/jpeg");
    });
    pages.start();
    auto web = show(makeWeb(pages.url("/missing")));
    waitForPage(*web);
    EXPECT_EQ(web->navigationItem()->title(), "Not found");
    web->setUrl(pages.url("/latin"));
    web->updateData();
    waitForPage(*web);
    EXPECT_EQ(web->navigationItem()->title(), "K\u00E4ytt\u00F6");
    EXPECT_EQ(web->webView()->pageText(), "\u00C5land");
    web->setUrl(pages.url("/photo"));
    web->updateData();
    waitForPage(*web);
    EXPECT_EQ(web->webView()->pageText(), "This page is image/jpeg content, which cannot be shown here.");
}

TEST_F(WebTest, FailuresEndLoadingWithTheReasonShownAndTheSpinnerStopped) {
    LocalServer broken;
    broken.routes().Get("/half", [](const httplib::Request&, httplib::Response& r) {
        r.set_content_provider(100000, "text/html", [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset > 0) return false;  // hangs up after the first piece
            sink.write("<title>Half</title>", 19);
            return true;
        });
    });
    broken.routes().Get("/loop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/loop"); });
    broken.routes().Get("/huge", [](const httplib::Request&, httplib::Response& r) {
        const std::size_t size = std::size_t{50} << 20;
        r.set_content_provider(size, "text/html", [size](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            static const std::string chunk(64 * 1024, 'x');
            sink.write(chunk.data(), std::min(chunk.size(), size - offset));
            return true;
        });
    });
    broken.start();
    JunkServer junk;
    std::vector<std::string> addresses = {"http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/",
                                          broken.url("/half"), broken.url("/loop"), broken.url("/huge"), junk.url("/")};

    auto web = makeWeb(url("/page"));
    auto events = std::make_shared<WebEvents>();
    web->setDelegate(events);
    auto nav = show(MyNavigationController::withRoot(web));
    waitForPage(*web);
    for (const auto& address : addresses) {
        SCOPED_TRACE(address);
        events->log.clear();
        web->setUrl(address);
        web->updateData();
        EXPECT_TRUE(web->loading());
        waitForPage(*web);
        EXPECT_FALSE(web->loading());
        EXPECT_FALSE(web->actLoading()->isAnimating());
        EXPECT_EQ(web->navigationItem()->rightBarButtonItems(), (Items{web->btnAction()}));
        EXPECT_FALSE(web->webView()->failureReason().empty());
        EXPECT_EQ(events->log.back(), "fail");
    }
    // The screen still works.
    web->setUrl(url("/next"));
    web->updateData();
    waitForPage(*web);
    EXPECT_EQ(web->navigationItem()->title(), "Next");
}

TEST_F(WebTest, AnEmptyOrMalformedAddressLoadsNothingAndSaysSo) {
    for (std::string address : {"", "::not a url::"}) {
        LogCapture log;
        auto web = show(makeWeb(address));
        settle();
        EXPECT_FALSE(web->loading());
        EXPECT_EQ(web->currentURL(), "");
        EXPECT_TRUE(log.contains("not a web address"));
    }
}

TEST_F(WebTest, TheActionItemHandsTheAddressToTheSystem) {
    auto app = UIApplication::sharedApplication();
    app->setURLOpener([](const std::string&) { return true; });
    auto web = show(makeWeb(url("/page")));
    waitForPage(*web);
    web->btnAction()->performAction();
    ASSERT_FALSE(app->openedURLs().empty());
    EXPECT_EQ(app->openedURLs().back(), url("/page"));
    app->setURLOpener(nullptr);
}

}  // namespace
