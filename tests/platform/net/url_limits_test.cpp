// Limits of a request against a local server that misbehaves: a body past the cap (declared,
// endless or inflating from a small compressed reply), a server that trickles a byte at a time so
// it is never silent, and header fields that would smuggle in fields of their own.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/net/url_contents.h"
#include "platform/net/url_error.h"
#include "platform/net/url_session.h"
#include "tests/platform/net/misbehaving_replies.h"
#include "tests/support/local_server.h"

namespace {

constexpr std::size_t kBombBytes = std::size_t{40} << 20;

NSURLRequest requestFor(const std::string& url) {
    return NSURLRequest(NSURL::URLWithString(url));
}

// Megabytes of zeros in a gzip member of a few kilobytes.
const std::string& bomb() {
    static const std::string compressed = LocalServer::compressed(std::string(kBombBytes, '\0'), true);
    return compressed;
}

class URLLimitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& r = server_.routes();
        r.Get("/endless",
              [this](const httplib::Request&, httplib::Response& res) { misbehaving::endlessBody(res, served_); });
        r.Get("/trickle",
              [this](const httplib::Request&, httplib::Response& res) { misbehaving::tricklingBody(res, server_); });
        r.Get("/bomb", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(bomb(), "application/octet-stream");
        });
        r.Get("/declared", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(NSURLRequest::kPageBodyLimit + 1, 'd'), "application/octet-stream");
        });
        r.Get("/echo", [this](const httplib::Request& req, httplib::Response& res) {
            ++echoes_;
            std::string out;
            for (const auto& [name, value] : req.headers) out += name + "=" + value + "\n";
            res.set_content(out, "text/plain");
        });
        server_.start();
    }

    LocalServer server_;
    std::atomic<std::size_t> served_{0};
    std::atomic<int> echoes_{0};
};

void expectTooLarge(const URLSyncReply& reply) {
    ASSERT_TRUE(reply.error);
    EXPECT_EQ(reply.error->domain(), NSURLErrorDomain);
    EXPECT_EQ(reply.error->code(), NSURLErrorDataLengthExceedsMaximum);
    EXPECT_NE(reply.error->localizedDescription().find("larger than"), std::string::npos);
    EXPECT_FALSE(reply.data);
}

TEST_F(URLLimitsTest, AnEndlessBodyStopsAtTheCap) {
    expectTooLarge(sendSynchronousRequest(requestFor(server_.url("/endless"))));

    served_ = 0;
    NSURLRequest small = requestFor(server_.url("/endless"));
    small.setMaximumBodyLength(std::size_t{1} << 20);
    expectTooLarge(sendSynchronousRequest(small));
    // Nothing was read much past the cap (the server may have a few chunks in flight).
    EXPECT_LT(served_.load(), std::size_t{16} << 20);

    // A picture may be larger than a page, still not without end.
    auto picture =
        dataWithContentsOfURL(NSURL::URLWithString(server_.url("/endless")), NSURLRequest::kPictureBodyLimit);
    ASSERT_FALSE(picture);
    EXPECT_NE(picture.error().find("larger than"), std::string::npos) << picture.error();
}

TEST_F(URLLimitsTest, ADeclaredLengthPastTheCapFailsAndARaisedCapLetsItThrough) {
    expectTooLarge(sendSynchronousRequest(requestFor(server_.url("/declared"))));
    NSURLRequest raised = requestFor(server_.url("/declared"));
    raised.setMaximumBodyLength(NSURLRequest::kPageBodyLimit + 1);
    URLSyncReply reply = sendSynchronousRequest(raised);
    ASSERT_FALSE(reply.error);
    EXPECT_EQ(reply.data->size(), NSURLRequest::kPageBodyLimit + 1);
}

TEST_F(URLLimitsTest, ACompressedReplyIsCountedAsItInflates) {
    ASSERT_LT(bomb().size(), std::size_t{1} << 20);
    expectTooLarge(sendSynchronousRequest(requestFor(server_.url("/bomb"))));
    NSURLRequest raised = requestFor(server_.url("/bomb"));
    raised.setMaximumBodyLength(kBombBytes);
    URLSyncReply reply = sendSynchronousRequest(raised);
    ASSERT_FALSE(reply.error);
    EXPECT_EQ(reply.data->size(), kBombBytes);
}

TEST_F(URLLimitsTest, AServerThatTricklesTimesOutAsAWhole) {
    NSURLRequest request = requestFor(server_.url("/trickle"));
    request.setTimeoutInterval(0.3);  // never reached: a byte comes every 50 ms
    EXPECT_DOUBLE_EQ(request.totalTimeoutInterval(), 1.2);
    auto started = std::chrono::steady_clock::now();
    URLSyncReply reply = sendSynchronousRequest(request);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    ASSERT_TRUE(reply.error);
    EXPECT_EQ(reply.error->code(), NSURLErrorTimedOut);
    EXPECT_FALSE(reply.data);

    NSURLRequest patient = requestFor(server_.url("/trickle"));
    patient.setTimeoutInterval(0.3);
    patient.setTotalTimeoutInterval(0.5);
    EXPECT_EQ(sendSynchronousRequest(patient).error->code(), NSURLErrorTimedOut);
}

TEST_F(URLLimitsTest, HeaderFieldsWithLineBreaksAreRefusedUnsent) {
    for (auto [name, value] : {std::pair<std::string, std::string>{"X-Note", "a\r\nX-Injected: 1"},
                               {"X-Note", "a\nX-Injected: 1"},
                               {"X-Note", "a\rX-Injected: 1"},
                               {"X-Injected: 1\r\nX-Note", "a"}}) {
        NSURLRequest request = requestFor(server_.url("/echo"));
        request.setValue(value, name);
        URLSyncReply reply = sendSynchronousRequest(request);
        ASSERT_TRUE(reply.error);
        EXPECT_EQ(reply.error->code(), NSURLErrorBadURL);
        EXPECT_NE(reply.error->localizedDescription().find("line break"), std::string::npos);
    }
    EXPECT_EQ(echoes_.load(), 0);

    NSURLRequest plain = requestFor(server_.url("/echo"));
    plain.setValue("a: b", "X-Note");
    URLSyncReply reply = sendSynchronousRequest(plain);
    ASSERT_FALSE(reply.error);
    std::string body(reply.data->begin(), reply.data->end());
    EXPECT_NE(body.find("X-Note=a: b\n"), std::string::npos) << body;
}

}  // namespace
