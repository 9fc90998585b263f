// Requests against a real local server: headers, compressed replies, redirects, statuses,
// time-outs, refused connections, large replies and data tasks.
#include "platform/net/url_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/net/url_error.h"
#include "tests/support/local_server.h"

namespace {

std::string text(const std::optional<Bytes>& data) {
    return data ? std::string(data->begin(), data->end()) : "<none>";
}

NSURLRequest requestFor(const std::string& url) {
    return NSURLRequest(NSURL::URLWithString(url));
}

class URLSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& r = server_.routes();
        r.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            std::string out;
            for (const char* name : {"Host", "Cookie", "User-Agent", "Accept-Encoding"}) {
                out +=
                    std::string(name) + "=" + (req.has_header(name) ? req.get_header_value(name) : "<absent>") + "\n";
            }
            res.set_content(out, "application/octet-stream");
        });
        r.Post("/post", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(
                req.get_header_value("Content-Length") + "|" + req.get_header_value("Content-Type") + "|" + req.body,
                "application/octet-stream");
        });
        // Moved for now, keeping the method: the body goes out again.
        r.Post("/post-moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/post", 307); });
        r.Get("/gzip", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(LocalServer::compressed("<p>compressed page</p>", true), "application/octet-stream");
        });
        r.Get("/deflate", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "deflate");
            res.set_content(LocalServer::compressed("deflated body", false), "application/octet-stream");
        });
        r.Get("/redirect", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/target"); });
        r.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        r.Get("/to-file",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("file:///etc/hostname"); });
        r.Get("/target", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("arrived", "text/plain; charset=UTF-8");
        });
        r.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/plain");
        });
        r.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            server_.pause(3.0);
            res.set_content("late", "text/plain");
        });
        r.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            std::string body(12 * 1024 * 1024, 'x');
            for (std::size_t i = 0; i < body.size(); i += 4096) body[i] = static_cast<char>('a' + (i / 4096) % 26);
            res.set_content(body, "application/octet-stream");
        });
        server_.start();
    }
    LocalServer server_;
};

TEST_F(URLSessionTest, SendsHandSetHeaderFieldsAsGiven) {
    NSURLRequest request = requestFor(server_.url("/echo"));
    request.setValue("example.org", "Host");
    request.setValue("ID=a:U=b:S=c", "Cookie");
    request.setValue("Tester/2", "User-Agent");
    URLSyncReply reply = sendSynchronousRequest(request);
    ASSERT_FALSE(reply.error);
    std::string body = text(reply.data);
    EXPECT_NE(body.find("Host=example.org\n"), std::string::npos) << body;
    EXPECT_NE(body.find("Cookie=ID=a:U=b:S=c\n"), std::string::npos) << body;
    EXPECT_NE(body.find("User-Agent=Tester/2\n"), std::string::npos) << body;
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(reply.response);
    ASSERT_TRUE(http);
    EXPECT_EQ(http->statusCode(), 200);
    EXPECT_EQ(http->MIMEType(), "application/octet-stream");
}

TEST_F(URLSessionTest, PostSendsTheBodyWithItsTrueLength) {
    NSURLRequest request = requestFor(server_.url("/post"));
    request.setHTTPMethod("POST");
    request.setValue("999", "Content-Length");  // wrong on purpose: the body's own length is sent
    request.setValue("text/plain", "Content-Type");
    std::string payload("a\0b=c", 5);
    request.setHTTPBody(Bytes(payload.begin(), payload.end()));
    URLSyncReply reply = sendSynchronousRequest(request);
    ASSERT_FALSE(reply.error);
    EXPECT_EQ(text(reply.data), "5|text/plain|" + payload);

    NSURLRequest moved = requestFor(server_.url("/post-moved"));
    moved.setHTTPMethod("POST");
    moved.setValue("text/plain", "Content-Type");
    moved.setHTTPBody(request.HTTPBody());
    reply = sendSynchronousRequest(moved);
    ASSERT_FALSE(reply.error) << reply.error->localizedDescription();
    EXPECT_EQ(text(reply.data), "5|text/plain|" + payload);
}

TEST_F(URLSessionTest, CompressedRepliesAreDecodedEvenWithACallersAcceptEncoding) {
    for (const char* acceptEncoding : {static_cast<const char*>(nullptr), "gzip, deflate, sdch"}) {
        NSURLRequest gz = requestFor(server_.url("/gzip"));
        NSURLRequest df = requestFor(server_.url("/deflate"));
        if (acceptEncoding) {
            gz.setValue(acceptEncoding, "Accept-Encoding");
            df.setValue(acceptEncoding, "Accept-Encoding");
        }
        EXPECT_EQ(text(sendSynchronousRequest(gz).data), "<p>compressed page</p>");
        EXPECT_EQ(text(sendSynchronousRequest(df).data), "deflated body");
    }
    NSURLRequest echo = requestFor(server_.url("/echo"));
    echo.setValue("gzip, deflate, sdch", "Accept-Encoding");
    EXPECT_NE(text(sendSynchronousRequest(echo).data).find("Accept-Encoding=gzip, deflate, sdch\n"), std::string::npos);
}

TEST_F(URLSessionTest, RedirectsAreFollowedOnlyBetweenNetworkAddresses) {
    URLSyncReply reply = sendSynchronousRequest(requestFor(server_.url("/redirect")));
    ASSERT_FALSE(reply.error);
    EXPECT_EQ(text(reply.data), "arrived");
    EXPECT_EQ(reply.response->URL()->path(), "/target");
    EXPECT_EQ(reply.response->textEncodingName(), "utf-8");

    URLSyncReply loop = sendSynchronousRequest(requestFor(server_.url("/loop")));
    ASSERT_TRUE(loop.error);
    EXPECT_EQ(loop.error->code(), NSURLErrorHTTPTooManyRedirects);
    EXPECT_FALSE(loop.data);

    URLSyncReply toFile = sendSynchronousRequest(requestFor(server_.url("/to-file")));
    ASSERT_TRUE(toFile.error);
    EXPECT_FALSE(toFile.data);
}

TEST_F(URLSessionTest, AnErrorStatusStillDeliversItsBody) {
    URLSyncReply reply = sendSynchronousRequest(requestFor(server_.url("/missing")));
    EXPECT_FALSE(reply.error);
    EXPECT_EQ(text(reply.data), "not here");
    EXPECT_EQ(std::dynamic_pointer_cast<NSHTTPURLResponse>(reply.response)->statusCode(), 404);
}

TEST_F(URLSessionTest, FailuresCarryADomainAndCode) {
    NSURLRequest slow = requestFor(server_.url("/slow"));
    slow.setTimeoutInterval(0.3);
    auto started = std::chrono::steady_clock::now();
    URLSyncReply late = sendSynchronousRequest(slow);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    ASSERT_TRUE(late.error);
    EXPECT_EQ(late.error->domain(), NSURLErrorDomain);
    EXPECT_EQ(late.error->code(), NSURLErrorTimedOut);
    EXPECT_FALSE(late.data);
    EXPECT_FALSE(late.response);

    std::string refusedURL = "http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/";
    URLSyncReply refused = sendSynchronousRequest(requestFor(refusedURL));
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->code(), NSURLErrorCannotConnectToHost);
    EXPECT_EQ(refused.error->userInfo()[NSURLErrorFailingURLStringErrorKey], Value(refusedURL));

    EXPECT_EQ(sendSynchronousRequest(NSURLRequest(nullptr)).error->code(), NSURLErrorBadURL);
    EXPECT_EQ(sendSynchronousRequest(requestFor("ftp://127.0.0.1/x")).error->code(), NSURLErrorUnsupportedURL);
}

TEST_F(URLSessionTest, HugeRepliesArriveWholeWithinTheirCap) {
    NSURLRequest request = requestFor(server_.url("/huge"));
    request.setMaximumBodyLength(NSURLRequest::kPictureBodyLimit);
    URLSyncReply reply = sendSynchronousRequest(request);
    ASSERT_FALSE(reply.error);
    ASSERT_TRUE(reply.data);
    ASSERT_EQ(reply.data->size(), 12u * 1024 * 1024);
    EXPECT_EQ((*reply.data)[4096 * 27], 'b');
    EXPECT_EQ(reply.data->back(), 'x');
}

TEST_F(URLSessionTest, DataTasksReportExactlyOnce) {
    std::promise<std::string> done;
    auto task = NSURLSession::sharedSession()->dataTaskWithRequest(
        requestFor(server_.url("/target")),
        [&](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError> error) {
            done.set_value(error ? "error" : text(data));
        });
    EXPECT_EQ(task->state(), NSURLSessionTaskState::Suspended);
    task->resume();
    task->resume();
    EXPECT_EQ(done.get_future().get(), "arrived");

    std::promise<std::int64_t> cancelled;
    NSURLRequest slow = requestFor(server_.url("/slow"));
    auto slowTask = NSURLSession::sharedSession()->dataTaskWithRequest(
        slow, [&](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError> error) {
            cancelled.set_value(error && !data ? error->code() : 0);
        });
    slowTask->resume();
    slowTask->cancel();
    slowTask->cancel();
    auto future = cancelled.get_future();
    ASSERT_EQ(future.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(future.get(), NSURLErrorCancelled);
}

}  // namespace
