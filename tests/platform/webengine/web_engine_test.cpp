// The web view on the page engine, with pages from a local server: scripts that change the page
// read back through the probes, text selection turned off, a tapped link reaching the delegate's
// decision, a served page refused a file, typed text reaching a focused field, pictures painted
// into the view's layer, back and forward, and failures with their reasons (a server's redirect to
// a file among them, and a page process that ends under a load).
#include <cairo.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/web/web_view_probes.h"
#include "platform/image/cg_image.h"
#include "platform/net/url.h"
#include "platform/ui/controller/wk_web_view.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/webengine/gtk_web_engine.h"
#include "tests/platform/ui/controller_test_support.h"
#include "tests/platform/webengine/engine_test_support.h"
#include "tests/support/local_server.h"

// Last: the X headers define plain names as macros.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

const std::string kRedirectRefused =
    "The server sent this page on to an address that is not a web page, which cannot be opened here.";
const std::string kProcessEnded = "The page's process ended before the page finished loading.";
const std::string kProcessKeptEnding = "The page's process kept ending before the page could load.";

// Ends this program's page processes as a crash would; how many there were.
int crashPageProcesses() {
    const std::string parent = std::to_string(::getpid());
    int ended = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::string line;
        std::getline(std::ifstream(entry.path() / "stat"), line);
        // "pid (command) state ppid ...", the command cut to 15 characters.
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state, ppid;
        rest >> state >> ppid;
        if (ppid != parent || line.substr(open + 1, close - open - 1) != "WebKitWebProces") continue;
        if (::kill(static_cast<pid_t>(std::stol(entry.path().filename().string())), SIGKILL) == 0) ++ended;
    }
    return ended;
}

// A square of one colour as PNG bytes.
std::string squarePNG(int side, double r, double g, double b) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_paint(cr);
    cairo_destroy(cr);
    std::string out;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &out);
    cairo_surface_destroy(s);
    return out;
}

struct Events : WKNavigationDelegate {
    std::vector<std::string> log;
    // Asked about this address, the page's processes end as a crash would, this many times more.
    std::string crashAt;
    int crashesLeft = 0;
    void decidePolicyForNavigationAction(WKWebView&, const WKNavigationAction& a,
                                         std::function<void(WKNavigationActionPolicy)> decide) override {
        log.push_back("decide " + std::to_string(static_cast<int>(a.navigationType)) + " " +
                      a.request.URL()->absoluteString());
        if (crashesLeft > 0 && a.request.URL()->absoluteString() == crashAt && crashPageProcesses() > 0) --crashesLeft;
        decide(WKNavigationActionPolicy::Allow);
    }
    void didStartProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&) override {
        log.push_back("start");
    }
    void didFinishNavigation(WKWebView& w, const std::shared_ptr<WKNavigation>&) override {
        log.push_back("finish " + w.title());
    }
    void didFailProvisionalNavigation(WKWebView&, const std::shared_ptr<WKNavigation>&,
                                      const std::string& why) override {
        log.push_back("fail " + why);
    }
};

// The application puts the engine's start off until a web view needs it; the first one runs on it.
// The toolkit's start leaves the handler of a lost display connection as the host set it, and the
// host's protocol-error handler takes every connection's errors but the toolkit's.
struct WebEngineStartTest : UIHarness {};

int hostsConnectionHandler(Display*) {
    return 0;
}

int hostsRefusals = 0;
int hostsProtocolHandler(Display*, XErrorEvent*) {
    ++hostsRefusals;
    return 0;
}

TEST_F(WebEngineStartTest, TheEngineStartsWithTheFirstWebViewThatNeedsIt) {
    useOwnEngineFolders();
    if (auto why = testsupport::VirtualDisplay::ensure()) GTEST_SKIP() << *why;
    const bool startedEarlier = webengine::installed();  // by a test that ran before
    EXPECT_FALSE(webengine::installOnFirstUse().has_value());
    if (!startedEarlier) {
        EXPECT_FALSE(webengine::installed()) << "nothing of the engine runs before a web view";
    }
    XIOErrorHandler before = XSetIOErrorHandler(hostsConnectionHandler);
    XErrorHandler refusalsBefore = XSetErrorHandler(hostsProtocolHandler);
    auto web = WKWebView::make(CGRectMake(0, 0, 320, 480));
    EXPECT_TRUE(webengine::installed());
    EXPECT_EQ(XSetIOErrorHandler(before), &hostsConnectionHandler);
    if (!startedEarlier) {
        // The toolkit's refusals stay its own (here one its trap asked to be ignored, read after
        // the trap); every other connection's go to the host's handler.
        GdkDisplay* toolkits = gdk_display_get_default();
        ASSERT_TRUE(toolkits && GDK_IS_X11_DISPLAY(toolkits));
        gdk_x11_display_error_trap_push(toolkits);
        XFreePixmap(gdk_x11_display_get_xdisplay(toolkits), 0x3fffffff);
        gdk_x11_display_error_trap_pop_ignored(toolkits);
        XSync(gdk_x11_display_get_xdisplay(toolkits), False);
        EXPECT_EQ(hostsRefusals, 0);
        Display* another = XOpenDisplay(nullptr);
        ASSERT_TRUE(another);
        XFreePixmap(another, 0x3fffffff);
        XSync(another, False);
        XCloseDisplay(another);
        EXPECT_EQ(hostsRefusals, 1);
    }
    // The engine's routing stays in force.
    if (startedEarlier) XSetErrorHandler(refusalsBefore);
    EXPECT_TRUE(web->runsEngine());
    auto second = WKWebView::make(CGRectMake(0, 0, 320, 480));
    EXPECT_TRUE(second->runsEngine());
}

struct WebEngineTest : UIHarness {
    LocalServer server;
    std::atomic<bool> release{false};
    // Requests the server saw, by address.
    std::atomic<int> toFileAsked{0};
    std::atomic<int> silentAsked{0};
    std::shared_ptr<WKWebView> web;
    std::shared_ptr<Events> events = std::make_shared<Events>();

    void SetUp() override {
        UIHarness::SetUp();
        if (auto why = pageEngineMissing()) GTEST_SKIP() << *why;
        // The engine keeps connections open; the server closes each after its answer, so that it
        // stops at once at the end of a test.
        server.routes().set_keep_alive_max_count(1);
        server.routes().Get("/script", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<html><head><title>Before</title></head><body style='margin:0'>"
                "<input id='field' style='position:absolute;left:20px;top:40px;width:200px;height:30px'>"
                "<script>document.title='After';document.getElementById('field').value='filled';</script>"
                "</body></html>",
                "text/html");
        });
        server.routes().Get("/links", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<title>Links</title><body style='margin:0'>"
                "<a href='/second' style='display:block;height:100px;background:#00f'>second</a>"
                "<a href='file:///etc/hostname' style='display:block;height:100px'>file</a>"
                "<div style='height:3000px'></div></body>",
                "text/html");
        });
        server.routes().Get("/elsewhere", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<title>Elsewhere</title><body style='margin:0'><a href='/second' target='_blank' "
                "style='display:block;height:100px'>second</a></body>",
                "text/html");
        });
        server.routes().Get("/archive", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(std::string("PK\x03\x04", 4), "application/zip");
        });
        server.routes().Get("/to-file", [this](const httplib::Request&, httplib::Response& r) {
            ++toFileAsked;
            r.set_redirect("file:///etc/hostname");
        });
        // Shows its page to a HEAD request and sends a GET on to a file, reached through a redirect
        // between web pages.
        server.routes().Get("/hop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/sly"); });
        server.routes().Get("/sly", [](const httplib::Request& q, httplib::Response& r) {
            if (q.method == "HEAD")
                r.set_content("<title>Harmless</title>", "text/html");
            else
                r.set_redirect("file:///etc/passwd");
        });
        // Shows its start at once and holds the rest back until the test is over (sent with its
        // length, which the server never compresses: compression would hold the start back too).
        server.routes().Get("/unfinished", [this](const httplib::Request&, httplib::Response& r) {
            const std::string start = "<title>Unfinished</title><p>" + std::string(4096, 'x') + "</p>";
            const std::string rest = "<p>end</p>";
            r.set_content_provider(start.size() + rest.size(), "text/html",
                                   [this, start, rest](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                       if (offset == 0) return sink.write(start.data(), start.size());
                                       for (int i = 0; i < 2000 && !release; ++i)
                                           std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                       return sink.write(rest.data(), rest.size());
                                   });
        });
        server.routes().Get("/second", [](const httplib::Request&, httplib::Response& r) {
            r.set_content("<title>Second</title>two", "text/html");
        });
        server.routes().Get("/picture", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(
                "<title>Picture</title><body style='margin:0;background:#fff'>"
                "<img src='/red.png' style='position:absolute;left:40px;top:60px'></body>",
                "text/html");
        });
        std::string red = squarePNG(80, 1, 0, 0);
        server.routes().Get("/red.png",
                            [red](const httplib::Request&, httplib::Response& r) { r.set_content(red, "image/png"); });
        server.routes().Get("/silent", [this](const httplib::Request&, httplib::Response& r) {
            ++silentAsked;
            // Holds the answer back until the test is over.
            for (int i = 0; i < 2000 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            r.set_content("late", "text/plain");
        });
        server.start();
        web = WKWebView::make(CGRectMake(0, 0, 320, 480));
        window->addSubview(web);
        web->setNavigationDelegate(events);
        window->layoutIfNeeded();
    }
    void TearDown() override {
        GtkWebEngine::holdProcessEnds(GtkWebEngine::ProcessEndHold::Off);
        release = true;
        web.reset();
        UIHarness::TearDown();
    }
    void load(const std::string& url) {
        web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url)));
        ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); })) << url;
        window->layoutIfNeeded();
    }
    // The answer lives apart from the stack, for one that comes after the wait gave up.
    Value run(const std::string& script) { return runScript(*web, script); }
    template <class T, class Probe>
    T probe(Probe p) {
        auto answer = std::make_shared<std::optional<T>>();
        p([answer](T v) { *answer = v; });
        EXPECT_TRUE(pumpMainUntil([&] { return answer->has_value(); }));
        return answer->value_or(T{});
    }
    // Pumps until the picture in the view's layer has the colour at a point (in points).
    bool paintsAt(CGPoint p, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return pumpMainUntil([&] {
            window->layoutIfNeeded();
            auto picture = LayerRenderer::snapshot(*web->layer(), 1);
            if (!picture) return false;
            const std::uint8_t* px = picture->row(static_cast<int>(p.y)) + 4 * static_cast<int>(p.x);
            bool bgra = picture->layout() == CGImagePixelLayout::BGRA8Premultiplied;
            int pr = bgra ? px[2] : px[0], pb = bgra ? px[0] : px[2];
            return std::abs(pr - r) < 24 && std::abs(px[1] - g) < 24 && std::abs(pb - b) < 24;
        });
    }
};

TEST_F(WebEngineTest, APagesScriptsRunAndTheProbesAnswerFromThePage) {
    ASSERT_TRUE(web->runsEngine());
    load(server.url("/script"));
    EXPECT_EQ(web->title(), "After");
    EXPECT_EQ(web->URL(), server.url("/script"));
    EXPECT_EQ(run("document.getElementById('field').value"), Value("filled"));
    EXPECT_EQ(run("6*7"), Value(42.0));
    EXPECT_TRUE(run("null").isNull());

    EXPECT_EQ(probe<CGSize>([&](auto f) { windowSize(*web, f); }), (CGSize{320, 480}));
    EXPECT_EQ(probe<CGRect>([&](auto f) { positionOfElementWithId(*web, "field", f); }), CGRectMake(20, 40, 200, 30));
    EXPECT_EQ(probe<CGRect>([&](auto f) { rectAtPosition(*web, 30, 50, f); }), CGRectMake(20, 40, 200, 30));
    EXPECT_EQ(probe<CGPoint>([&](auto f) { scrollOffset(*web, f); }), CGPointZero);
    EXPECT_EQ(probe<Value>([&](auto f) { tagsAtPosition(*web, 30, 50, f); }), Value(",INPUT,BODY,HTML,"));
    EXPECT_EQ(probe<Value>([&](auto f) { currentURL(*web, f); }), Value(server.url("/script")));
    EXPECT_TRUE(probe<Value>([&](auto f) { linkAtPosition(*web, 30, 50, f); }).isNull());

    // A frame the page loads later is asked about, but the page does not count as loading.
    events->log.clear();
    run("var f=document.createElement('iframe');f.src='data:text/html,inner';document.body.appendChild(f);1");
    ASSERT_TRUE(pumpMainUntil([&] { return !events->log.empty(); }));
    EXPECT_EQ(events->log[0], "decide -1 data:text/html,inner");
    run("1");
    EXPECT_FALSE(web->isLoading());

    // A script that throws answers with the engine's error text.
    auto error = std::make_shared<std::optional<std::string>>();
    web->evaluateJavaScript("no.such.thing", [error](const Value&, const std::string& e) { *error = e; });
    ASSERT_TRUE(pumpMainUntil([&] { return error->has_value(); }));
    EXPECT_NE(**error, "");
}

TEST_F(WebEngineTest, TextSelectionCanBeTurnedOffAndTypedTextReachesTheFocusedField) {
    load(server.url("/script"));
    const std::string userSelect = "getComputedStyle(document.body).getPropertyValue('-webkit-user-select')";
    EXPECT_NE(run(userSelect), Value("none"));
    setNoSelectable(*web);
    EXPECT_EQ(run(userSelect), Value("none"));

    // A tap in the field gives it the focus and brings up the keyboard; keys type into it.
    ASSERT_TRUE(paintsAt(CGPointMake(5, 5), 255, 255, 255));
    tap(CGPointMake(120, 55));
    ASSERT_TRUE(pumpMainUntil([&] { return UIKeyboard::shared().isVisible(); }));
    EXPECT_EQ(run("document.activeElement.id"), Value("field"));
    run("document.getElementById('field').value=''");
    EXPECT_TRUE(UIKeyboard::shared().type("héllo"));
    EXPECT_TRUE(UIKeyboard::shared().backspace());
    EXPECT_EQ(run("document.getElementById('field').value"), Value("héll"));
    // A tap beside the field takes the keyboard down again.
    tap(CGPointMake(160, 300));
    EXPECT_TRUE(pumpMainUntil([&] { return !FirstResponder::current(); }));
}

TEST_F(WebEngineTest, ATappedLinkReachesTheDelegatesDecisionAndAServedPageNeverOpensAFile) {
    load(server.url("/links"));
    ASSERT_TRUE(paintsAt(CGPointMake(10, 50), 0, 0, 255));
    events->log.clear();
    tap(CGPointMake(100, 50));
    ASSERT_TRUE(pumpMainUntil([&] { return !events->log.empty() && events->log.back() == "finish Second"; }));
    EXPECT_EQ(events->log[0], "decide 0 " + server.url("/second"));
    EXPECT_FALSE(web->isLoading());
    EXPECT_TRUE(web->canGoBack());

    ASSERT_NE(web->goBack(), nullptr);
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading() && web->title() == "Links"; }));
    EXPECT_TRUE(web->canGoForward());
    ASSERT_TRUE(paintsAt(CGPointMake(10, 50), 0, 0, 255));
    events->log.clear();
    ASSERT_NE(web->reload(), nullptr);
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
    EXPECT_EQ(events->log.front(), "decide 3 " + server.url("/links"));
    EXPECT_EQ(events->log.back(), "finish Links");

    // The page's file link goes nowhere; asked for a file all the same, the view refuses it in
    // place, with the reason in the page area.
    events->log.clear();
    tap(CGPointMake(100, 150));
    EXPECT_EQ(run("location.href"), Value(server.url("/links")));
    EXPECT_TRUE(events->log.empty());
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::fileURLWithPath("/etc/hostname")));
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
    EXPECT_EQ(events->log.back(), "fail A page on the web cannot open a file on this device.");
    EXPECT_EQ(web->failureReason(), "A page on the web cannot open a file on this device.");
    EXPECT_EQ(web->URL(), server.url("/links"));
}

TEST_F(WebEngineTest, ALinkMeantForANewWindowAsksTheDelegateAndOpensInPlace) {
    load(server.url("/elsewhere"));
    events->log.clear();
    tap(CGPointMake(100, 50));
    ASSERT_TRUE(pumpMainUntil([&] { return web->title() == "Second" && !web->isLoading(); }));
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log[0], "decide 0 " + server.url("/second"));
    EXPECT_EQ(web->URL(), server.url("/second"));
}

TEST_F(WebEngineTest, APicturedPageIsPaintedIntoTheLayerAndADragScrollsIt) {
    load(server.url("/picture"));
    EXPECT_TRUE(paintsAt(CGPointMake(80, 100), 255, 0, 0));
    EXPECT_TRUE(paintsAt(CGPointMake(20, 20), 255, 255, 255));

    load(server.url("/links"));
    ASSERT_TRUE(paintsAt(CGPointMake(10, 50), 0, 0, 255));
    // A finger dragged up by 150 points moves the page up with it.
    double t = Clock::now();
    UITouchDispatcher::shared()->touchEvent({t, {{77, CGPointMake(160, 400), UITouchPhase::Began}}});
    for (int i = 1; i <= 10; ++i) {
        RunLoop::main().advance(0.02);
        UITouchDispatcher::shared()->touchEvent(
            {t + 0.02 * i, {{77, CGPointMake(160, 400 - 15 * i), UITouchPhase::Moved}}});
    }
    UITouchDispatcher::shared()->touchEvent({t + 0.25, {{77, CGPointMake(160, 250), UITouchPhase::Ended}}});
    settle();
    EXPECT_TRUE(pumpMainUntil([&] { return probe<CGPoint>([&](auto f) { scrollOffset(*web, f); }).y > 100; }));
}

TEST_F(WebEngineTest, FailuresEndInTheirReasonAndAPageThatNeverAnswersTimesOut) {
    load("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/");
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log.back().rfind("fail ", 0), 0u);
    EXPECT_FALSE(web->failureReason().empty());
    EXPECT_FALSE(web->isLoading());

    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/silent")));
    request.setTimeoutInterval(5);
    events->log.clear();
    web->loadRequest(request);
    ASSERT_TRUE(pumpMainUntil([&] { return !events->log.empty() && events->log.back() == "start"; }));
    advance(4);
    EXPECT_TRUE(web->isLoading());
    advance(1.5);
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(events->log.back(), "fail The request timed out.");
    EXPECT_EQ(web->failureReason(), "The request timed out.");

    // A reply the engine cannot show is not saved anywhere: the load fails with its type.
    load(server.url("/archive"));
    EXPECT_EQ(web->failureReason(), "This page is application/zip content, which cannot be shown here.");
    EXPECT_NE(web->URL(), server.url("/archive"));

    // A server that sends the page on to a file ends the load at once, with the reason, rather
    // than leaving it blank and loading until it times out.
    events->log.clear();
    load(server.url("/to-file"));
    EXPECT_EQ(web->failureReason(),
              "The server sent this page on to an address that is not a web page, which cannot be opened here.");
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log.back().rfind("fail ", 0), 0u);

    // A page that loads afterwards replaces the reason.
    load(server.url("/second"));
    EXPECT_TRUE(web->failureReason().empty());
    EXPECT_EQ(web->title(), "Second");
}

// The engine gives a load sent on to a file up by ending the page's process, and the main thread
// may hear of that only once the next page was asked for, taken up by the engine or started, in the
// process the end cut off. That page still loads and shows its title, and nothing fails with the
// earlier load's reason. The hook holds the end back until each of those points.
TEST_F(WebEngineTest, APageAskedForAsTheEngineGivesUpARedirectedOneStillLoads) {
    using Hold = GtkWebEngine::ProcessEndHold;
    for (Hold until : {Hold::UntilAsked, Hold::UntilTakenUp, Hold::UntilStarted}) {
        SCOPED_TRACE("held until " + std::to_string(static_cast<int>(until)));
        GtkWebEngine::holdProcessEnds(until);
        const int heard = GtkWebEngine::processEndsHeard();
        web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/to-file"))));
        ASSERT_TRUE(pumpMainUntil([&] { return GtkWebEngine::processEndsHeard() > heard; }));
        EXPECT_TRUE(web->isLoading());
        events->log.clear();
        load(server.url("/second"));
        GtkWebEngine::holdProcessEnds(Hold::Off);
        EXPECT_EQ(web->title(), "Second");
        EXPECT_EQ(web->URL(), server.url("/second"));
        EXPECT_TRUE(web->failureReason().empty());
        ASSERT_FALSE(events->log.empty());
        EXPECT_EQ(events->log.back(), "finish Second");
        EXPECT_EQ(std::count_if(events->log.begin(), events->log.end(),
                                [](const std::string& e) { return e.rfind("fail", 0) == 0; }),
                  0);
    }
    // Heard at once, the end fails the refused load with its reason.
    load(server.url("/to-file"));
    EXPECT_EQ(web->failureReason(), kRedirectRefused);
}

// A page whose process ends each time before its load starts is asked for again a few times, not
// for ever: then it fails with a reason of its own. The next page is asked for afresh and loads.
TEST_F(WebEngineTest, APageWhoseProcessKeepsEndingBeforeItStartsFailsAfterAFewTries) {
    load(server.url("/script"));
    events->crashAt = server.url("/second");
    events->crashesLeft = 10;
    const int heard = GtkWebEngine::processEndsHeard();
    events->log.clear();
    load(server.url("/second"));
    EXPECT_EQ(web->failureReason(), kProcessKeptEnding);
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log.back(), "fail " + kProcessKeptEnding);
    EXPECT_GE(GtkWebEngine::processEndsHeard() - heard, 2);
    EXPECT_LE(GtkWebEngine::processEndsHeard() - heard, 4);
    EXPECT_GE(events->crashesLeft, 6);

    events->crashesLeft = 0;
    load(server.url("/second"));
    EXPECT_TRUE(web->failureReason().empty());
    EXPECT_EQ(web->title(), "Second");
}

// A page sent on to a file that starts while an earlier page still waits for its server's first
// answer is refused in its own process: it reaches the server once and fails with the refusal's
// reason, the process ending once.
TEST_F(WebEngineTest, ARefusedPageThatStartsOverASilentOneReachesTheServerOnce) {
    events->log.clear();
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/silent"))));
    ASSERT_TRUE(
        pumpMainUntil([&] { return silentAsked > 0 && !events->log.empty() && events->log.back() == "start"; }));
    const int heard = GtkWebEngine::processEndsHeard();
    load(server.url("/to-file"));
    EXPECT_EQ(web->failureReason(), kRedirectRefused);
    EXPECT_EQ(toFileAsked, 1);
    EXPECT_EQ(GtkWebEngine::processEndsHeard() - heard, 1);

    load(server.url("/second"));
    EXPECT_EQ(web->title(), "Second");
    EXPECT_EQ(toFileAsked, 1);
}

// A shown page whose process ends (crashes) while the rest of the page loads fails with that
// reason instead of loading for ever; the next page loads as usual.
TEST_F(WebEngineTest, AShownPageWhoseProcessEndsWhileItLoadsFailsWithThatReason) {
    web->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/unfinished"))));
    ASSERT_TRUE(pumpMainUntil([&] { return web->URL() == server.url("/unfinished"); }));
    ASSERT_TRUE(web->isLoading());
    ASSERT_GT(crashPageProcesses(), 0);
    ASSERT_TRUE(pumpMainUntil([&] { return !web->isLoading(); }));
    EXPECT_EQ(web->failureReason(), kProcessEnded);

    load(server.url("/second"));
    EXPECT_TRUE(web->failureReason().empty());
    EXPECT_EQ(web->title(), "Second");
}

// The engine gives a load sent on to a file up without a word, after any number of redirects
// between web pages and whatever the server answers to other requests. The view ends it at once,
// with the reason, and keeps the address of the page it showed.
TEST_F(WebEngineTest, ARedirectToAFileAfterOthersEndsTheLoadAtOnceAndKeepsTheShownPage) {
    load(server.url("/second"));
    events->log.clear();
    const double began = Clock::now();
    load(server.url("/hop"));
    EXPECT_EQ(Clock::now(), began);
    EXPECT_EQ(web->failureReason(), kRedirectRefused);
    ASSERT_FALSE(events->log.empty());
    EXPECT_EQ(events->log.back(), "fail " + kRedirectRefused);
    EXPECT_EQ(web->URL(), server.url("/second"));
    Value where = run("location.href");
    EXPECT_FALSE(where.isString() && where.stringValue().rfind("file:", 0) == 0) << where.stringValue();

    // The next page loads and shows as usual.
    load(server.url("/script"));
    EXPECT_TRUE(web->failureReason().empty());
    EXPECT_EQ(web->title(), "After");
}

}  // namespace
