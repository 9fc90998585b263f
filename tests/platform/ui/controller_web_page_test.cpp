// The web view's pages from a local server: links drawn in place and followed by a tap through
// the policy decision, charsets, bodies that are not text, file URLs refused from served pages,
// and failures shown in the page area.
#include "controller_test_support.h"
#include "draw_test_support.h"
#include "platform/net/url.h"
#include "platform/ui/controller/web_body.h"
#include "platform/ui/controller/wk_web_view.h"
#include "platform/ui/layer/layer_renderer.h"
#include "tests/support/junk_server.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"

namespace {

struct Events : WKNavigationDelegate {
    std::vector<std::string> log;
    void decidePolicyForNavigationAction(WKWebView&, const WKNavigationAction& a,
                                         std::function<void(WKNavigationActionPolicy)> decide) override {
        log.push_back("decide " + std::to_string(static_cast<int>(a.navigationType)) + " " +
                      a.request.URL()->absoluteString());
        decide(WKNavigationActionPolicy::Allow);
    }
    void didFinishNavigation(WKWebView& w, const std::shared_ptr<WKNavigation>&) override {
        log.push_back("finish " + w.title());
    }
    void didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&,
                                      const std::string& why) override {
        log.push_back("fail " + why);
    }
};

struct WebPageTest : UIHarness {
    LocalServer server;
    std::shared_ptr<WKWebView> web;
    std::shared_ptr<Events> events = std::make_shared<Events>();

    void SetUp() override {
        UIHarness::SetUp();
        server.routes().Get("/links", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<title>Links</title><h1>Heading</h1><p>Read the <a href=\"/second\">second page</a> "
                "or <a href=\"file:///etc/hostname\">a local file</a>.</p>",
                "text/html");
        });
        server.routes().Get("/second", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<title>Second</title>two", "text/html");
        });
        server.routes().Get("/latin", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<title>Caf\xE9</title>Gr\xFC\xDF"
                "e",
                "text/html; charset=ISO-8859-1");
        });
        server.routes().Get("/meta", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<meta charset=\"iso-8859-1\"><title>Na\xEFve</title>x", "text/html");
        });
        server.routes().Get("/broken", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<title>Bad \xC3</title>ok \xFF end", "text/html; charset=utf-8");
        });
        server.routes().Get("/picture", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "image/png");
        });
        server.routes().Get("/missing", [](const httplib::Request&, httplib::Response& r) {
            r.status = 404;
            r.set_content("<title>Not here</title>No such page", "text/html");
        });
        server.start();
        web = WKWebView::make(CGRectMake(0, 0, 375, 600));
        window->addSubview(web);
        web->setNavigationDelegate(events);
    }
    void load(const std::string& url) {
        web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url)));
        ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
        window->layoutIfNeeded();
    }
};

TEST_F(WebPageTest, ALinkIsDrawnWhereItStandsAndATapOnItFollowsItThroughThePolicy) {
    load(server.url("/links"));
    EXPECT_EQ(web->pageText(), "Heading\n\nRead the second page or a local file.");
    EXPECT_EQ(web->links().size(), 2u);
    auto frame = web->linkFrame(0);
    ASSERT_TRUE(frame);
    EXPECT_GT(frame->size.width, 40);
    EXPECT_GT(frame->origin.y, 30);  // below the title

    // The words are drawn in the link colour.
    auto picture = LayerRenderer::snapshot(*web->layer(), 1);
    ASSERT_TRUE(picture);
    int blue = 0;
    for (int x = static_cast<int>(frame->origin.x); x < static_cast<int>(CGRectGetMaxX(*frame)); ++x) {
        for (int y = static_cast<int>(frame->origin.y); y < static_cast<int>(CGRectGetMaxY(*frame)); ++y) {
            auto px = pixelAt(*picture, x, y);
            if (px.b > 200 && px.r < 80) ++blue;
        }
    }
    EXPECT_GT(blue, 20);

    events->log.clear();
    tap(CGPointMake(CGRectGetMidX(*frame), CGRectGetMidY(*frame)));
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
    EXPECT_EQ(events->log, (std::vector<std::string>{"decide 0 " + server.url("/second"), "finish Second"}));
    // A tap beside the words follows nothing.
    events->log.clear();
    tap(CGPointMake(300, 500));
    EXPECT_TRUE(events->log.empty());
}

TEST(HTMLSpans, HeadingsAndLinksAreFoundInTheFinalText) {
    auto page = parseHTMLPage("<h1>Top</h1><p>see <a href='/x'>this \xF0\x9F\x93\xB7</a></p><a href='/y'></a>",
                              "http://example.test/");
    EXPECT_EQ(page.text, "Top\n\nsee this \xF0\x9F\x93\xB7");
    EXPECT_EQ(page.headings, (std::vector<NSRange>{{0, 3}}));
    // The picture character counts two units; a link without words has no span.
    EXPECT_EQ(page.spans, (std::vector<HTMLLinkSpan>{{{9, 7}, 0}}));
    EXPECT_EQ(page.links.size(), 2u);
}

TEST_F(WebPageTest, AServedPageNeverOpensAFile) {
    load(server.url("/links"));
    events->log.clear();
    ASSERT_NE(web->followLink(1), nullptr);
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
    ASSERT_EQ(events->log.size(), 2u);
    EXPECT_EQ(events->log[1].rfind("fail ", 0), 0u);
    EXPECT_FALSE(web->failureReason().empty());
    EXPECT_EQ(web->URL(), server.url("/links"));
    EXPECT_FALSE(web->linkFrame(0));  // the reason stands in the page area now
}

TEST_F(WebPageTest, BodiesAreReadByTheirCharsetAndIllFormedBytesAreReplaced) {
    load(server.url("/latin"));
    EXPECT_EQ(web->title(), "Caf\u00E9");
    EXPECT_EQ(web->pageText(), "Gr\u00FC\u00DFe");
    load(server.url("/meta"));
    EXPECT_EQ(web->title(), "Na\u00EFve");
    load(server.url("/broken"));
    EXPECT_EQ(web->title(), "Bad \uFFFD");
    EXPECT_EQ(web->pageText(), "ok \uFFFD end");
}

TEST_F(WebPageTest, ABodyThatIsNotTextShowsItsTypeAndAnErrorPageIsStillAPage) {
    load(server.url("/picture"));
    EXPECT_EQ(web->pageText(), "This page is image/png content, which cannot be shown here.");
    EXPECT_EQ(readPageBody(Bytes{'%', 'P', 'D', 'F', '-', '1'}, "", std::nullopt, "").text,
              "This page is application/pdf content, which cannot be shown here.");
    EXPECT_FALSE(isShowableText("", Bytes{'a', 0, 'b'}));
    load(server.url("/missing"));
    EXPECT_EQ(web->title(), "Not here");
    EXPECT_TRUE(web->failureReason().empty());
}

TEST_F(WebPageTest, FailedLoadsShowTheirReasonAndEndLoading) {
    JunkServer junk;
    load(junk.url("/"));
    EXPECT_FALSE(web->failureReason().empty());
    std::string junkReason = web->failureReason();
    load("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/");
    EXPECT_FALSE(web->failureReason().empty());
    EXPECT_NE(events->log.back().find("fail"), std::string::npos);
    // A page that loads afterwards replaces the reason.
    load(server.url("/second"));
    EXPECT_TRUE(web->failureReason().empty());
    EXPECT_EQ(web->title(), "Second");
}

}  // namespace
