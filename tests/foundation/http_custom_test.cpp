// The HTTP helpers and the remote step of the path lookup against a local server: header sets,
// fallbacks, tagged-comment pages, failures and the page cache.
#include "foundation/http_custom.h"

#include <gtest/gtest.h>

#include <atomic>

#include "foundation/dictionary_custom.h"
#include "foundation/string_custom_payload.h"
#include "platform/net/url_request.h"
#include "tests/foundation/temp_sandbox.h"
#include "tests/support/local_server.h"

namespace {

std::string text(const std::optional<Bytes>& data) {
    return data ? std::string(data->begin(), data->end()) : "<none>";
}

struct Outcome {
    int calls = 0;
    bool onMain = false;
    std::optional<Bytes> data;
    std::shared_ptr<NSError> error;
};

class HTTPCustomTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        auto& r = server_.routes();
        r.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            std::string out;
            for (const auto& [name, value] : req.headers) out += name + "=" + value + "\n";
            res.set_content(out, "application/octet-stream");
        });
        r.Get("/page.gz", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            std::string page = "<html>\n<!-- DRAVELINQT:[{\"id\":1},\n{\"id\":2}]-->\n</html>";
            res.set_content(LocalServer::compressed(page, true), "application/octet-stream");
        });
        r.Get("/page", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<p><!-- DRAVELINQT:[3]--></p>", "text/plain");
        });
        // Empty to a plain request, full to the browser-like one (which carries a cookie).
        r.Get("/picky", [this](const httplib::Request& req, httplib::Response& res) {
            ++hits_;
            res.set_content(req.has_header("Cookie") ? "for browsers" : "", "text/plain");
        });
        r.Get("/fallback", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.has_header("Cookie") ? "" : "plain text", "text/plain");
        });
        r.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
        r.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            server_.pause(3.0);
            res.set_content("late", "text/plain");
        });
        r.Post("/post", [](const httplib::Request& req, httplib::Response& res) {
            res.status = 500;
            res.set_content(req.get_header_value("User-Agent") + "|" + req.get_header_value("Content-Length") + "|" +
                                req.get_header_value("Content-Type") + "|" + req.body,
                            "text/plain");
        });
        r.Get("/config.json", [this](const httplib::Request&, httplib::Response& res) {
            ++hits_;
            res.set_content("{\"version\":\"7\",\"list\":[1,2]}", "application/json");
        });
        r.Get("/not-json", [this](const httplib::Request&, httplib::Response& res) {
            ++hits_;
            res.set_content("<html>maintenance</html>", "text/html");
        });
        server_.start();
    }
    void TearDown() override {
        NSURLRequest::setDefaultTimeoutInterval(60.0);
        TempSandboxTest::TearDown();
    }

    HTTPHandler record(Outcome& outcome) {
        return [&outcome](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError> error) {
            ++outcome.calls;
            outcome.onMain = RunLoop::isMainThread();
            outcome.data = std::move(data);
            outcome.error = std::move(error);
        };
    }

    LocalServer server_;
    std::atomic<int> hits_{0};
};

TEST_F(HTTPCustomTest, SynchronousGetSendsTheBrowserLikeSetThenTheCallersFields) {
    std::string echo = loadHTML2(server_.url("/echo"), Value()).value_or("");
    EXPECT_NE(echo.find("Host=127.0.0.1\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Accept-Encoding=gzip, deflate, sdch\n"), std::string::npos);
    EXPECT_NE(echo.find("Upgrade-Insecure-Requests=1\n"), std::string::npos);
    std::string cookie = echo.substr(echo.find("Cookie="), 7 + 3 + 16 + 3 + 16 + 3 + 12 + 1);
    EXPECT_EQ(cookie.substr(0, 10), "Cookie=ID=");
    EXPECT_EQ(cookie.substr(26, 3), ":U=");
    EXPECT_EQ(cookie.substr(45, 3), ":S=");
    EXPECT_EQ(cookie.back(), '\n');
    EXPECT_EQ(echo.find("Accept-Language="), std::string::npos);

    std::string replaced =
        loadHTML2(server_.url("/echo"), Value::dictionary({{"Host", "other.example"}, {"X-N", 5}})).value_or("");
    EXPECT_NE(replaced.find("Host=other.example\n"), std::string::npos) << replaced;
    EXPECT_NE(replaced.find("X-N=5\n"), std::string::npos);
    // A fresh cookie for every request.
    EXPECT_NE(echo.substr(echo.find("Cookie=")), replaced.substr(replaced.find("Cookie=")));
}

TEST_F(HTTPCustomTest, SynchronousGetGivesNoneForFailuresAndFallsBackToPlainText) {
    EXPECT_FALSE(loadHTML2_data("not a url", Value()));
    EXPECT_FALSE(loadHTML2_data(server_.url("/empty"), Value()));
    EXPECT_FALSE(loadHTML2_data("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/", Value()));
    EXPECT_EQ(httpGET_sync(server_.url("/fallback"), Value()), "plain text");
    EXPECT_FALSE(httpGET_sync(server_.url("/empty"), Value()).value_or("").size());
    EXPECT_EQ(loadHTML2(server_.url("/page.gz"), Value()).value_or("").find("DRAVELINQT") != std::string::npos, true);

    NSURLRequest::setDefaultTimeoutInterval(0.3);
    EXPECT_FALSE(loadHTML2_data(server_.url("/slow"), Value()));
    EXPECT_FALSE(loadHTML(server_.url("/slow")));
}

TEST_F(HTTPCustomTest, SynchronousPostsSendTheirFieldsAndReturnAnyBody) {
    Bytes body{'k', '=', 'v'};
    EXPECT_EQ(httpPOST_sync(server_.url("/post"), Value(), body),
              "Mozilla/4.0 (compatible)|3|application/x-www-form-urlencoded|k=v");
    EXPECT_EQ(
        httpPOST_sync(server_.url("/post"), Value::dictionary({{"User-Agent", "Mine"}, {"Content-Type", "a/b"}}), body),
        "Mine|3|a/b|k=v");
    EXPECT_EQ(httpGraphQL_sync(server_.url("/post"), "{ q }", Value::dictionary({{"a", 1}})),
              "Korva/1.0|37|application/json|{\"query\":\"{ q }\",\"variables\":{\"a\":1}}");
    EXPECT_FALSE(httpPOST_sync0("bad url", Value(), body));
    EXPECT_FALSE(httpGraphQL_sync0("bad url", "q", Value()));
    EXPECT_FALSE(httpPOST_sync0("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/", Value(), body));
}

TEST_F(HTTPCustomTest, ServerPagesArriveOnTheMainQueueAndYieldTheirPayload) {
    for (const char* path : {"/page.gz", "/page"}) {
        Outcome outcome;
        httpGET1(server_.url(path), record(outcome));
        EXPECT_EQ(outcome.calls, 0);
        loop().drainAll();
        ASSERT_EQ(outcome.calls, 1) << path;
        EXPECT_TRUE(outcome.onMain);
        auto payload = dravelinqt(text(outcome.data));
        ASSERT_TRUE(payload) << path;
        Value list = jsonArray(*payload);
        ASSERT_TRUE(list.isArray());
        EXPECT_EQ(list.count(), std::string(path) == "/page" ? 1u : 2u);
    }
}

TEST_F(HTTPCustomTest, FallbackGetRetriesOnceWithTheBrowserLikeSet) {
    Outcome outcome;
    httpGET(server_.url("/picky"), Value::dictionary(), record(outcome));
    loop().drainAll();
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(hits_.load(), 2);
    EXPECT_EQ(text(outcome.data), "for browsers");

    Outcome twiceEmpty;
    httpGET12(server_.url("/empty"), record(twiceEmpty));
    loop().drainAll();
    EXPECT_EQ(twiceEmpty.calls, 1);
    EXPECT_EQ(text(twiceEmpty.data), "");

    Outcome exact;
    httpGET(server_.url("/echo"), Value::dictionary({{"X-Only", "1"}}), record(exact));
    loop().drainAll();
    EXPECT_NE(text(exact.data).find("X-Only=1"), std::string::npos);
    EXPECT_EQ(text(exact.data).find("Cookie="), std::string::npos);
}

TEST_F(HTTPCustomTest, FailedRequestsStillCallTheHandlerOnceOnTheMainQueue) {
    Outcome refused, invalid, post;
    httpGET1("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/", record(refused));
    httpGET2("no url at all", record(invalid));
    httpPOST1(server_.url("/post"), "text/plain", Bytes{'x'}, record(post));
    EXPECT_EQ(refused.calls + invalid.calls, 0);
    loop().drainAll();
    for (Outcome* outcome : {&refused, &invalid}) {
        EXPECT_EQ(outcome->calls, 1);
        EXPECT_TRUE(outcome->onMain);
        EXPECT_FALSE(outcome->data);
        ASSERT_TRUE(outcome->error);
        EXPECT_EQ(outcome->error->domain(), NSURLErrorDomain);
    }
    EXPECT_EQ(text(post.data), "Korva/1.0|1|text/plain|x");

    Outcome upload;
    httpPOST2(server_.url("/post"), "text/plain", Bytes{'x'}, false, record(upload));
    loop().drainAll();
    EXPECT_EQ(upload.calls, 1);  // no upload service registered: an error, still once
    EXPECT_TRUE(upload.error);
}

TEST_F(HTTPCustomTest, RemotePathStepFetchesOnceAndCachesOnlyDictionaries) {
    Value start =
        Value::dictionary({{"source", server_.url("/config.json")}, {"bad", server_.url("/not-json")}, {"n", 3}});
    EXPECT_EQ(at(start, "/source#/version"), Value("7"));
    EXPECT_EQ(at(start, "/source#/list@1"), Value(2));
    EXPECT_EQ(hits_.load(), 1);

    EXPECT_TRUE(at(start, "/bad#/version").isNull());
    EXPECT_TRUE(at(start, "/bad#/version").isNull());
    EXPECT_EQ(hits_.load(), 3);  // a page that is no dictionary is not remembered
    EXPECT_TRUE(Global::shared()->cacheForDictionaryAt()[server_.url("/not-json")].isNull());
    EXPECT_TRUE(at(start, "/n#/x").isNull());

    // The cache survives a reset of the singleton's services.
    Global::shared()->reset();
    EXPECT_EQ(at(start, "/source#/version"), Value("7"));
    EXPECT_EQ(hits_.load(), 3);
}

TEST_F(HTTPCustomTest, ValuesFromTheRemotePathStepAreTheCallersToEdit) {
    Value start = Value::dictionary({{"source", server_.url("/config.json")}});
    Value page = at(start, "/source#");
    ASSERT_TRUE(page.isDictionary());
    page.set("version", Value("edited"));
    Value list = at(start, "/source#/list");
    ASSERT_TRUE(list.isArray());
    list.append(Value(3));
    EXPECT_EQ(at(start, "/source#/version"), Value("7"));
    EXPECT_EQ(at(start, "/source#/list").count(), 2u);
    EXPECT_EQ(hits_.load(), 1);
}

}  // namespace
