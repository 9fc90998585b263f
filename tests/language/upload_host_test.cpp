// The upload service against a local server: whole replies from many pieces, progress with and
// without a known total, one delivery per entry, transport errors, cancellation, two uploads to
// one address, and replies without a body.
#include "language/upload_host.h"

#include "platform/net/url_error.h"
#include "tests/language/server_fixture.h"
#include "tests/support/junk_server.h"

namespace {

struct Delivery {
    int calls = 0;
    std::optional<Bytes> data;
    std::shared_ptr<NSURLResponse> response;
    std::shared_ptr<NSError> error;
    URLCompletion record() {
        return [this](std::optional<Bytes> d, std::shared_ptr<NSURLResponse> r, std::shared_ptr<NSError> e) {
            ++calls;
            data = std::move(d);
            response = std::move(r);
            error = std::move(e);
        };
    }
};

class NotingUploads : public UploadHost {
public:
    KORVA_MAKE(NotingUploads)
    void noti(bool success) override { notes.push_back(success); }
    std::vector<bool> notes;

protected:
    NotingUploads() = default;
};

class UploadHostTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        auto& r = server_.routes();
        r.Post("/echo",
               [](const httplib::Request& req, httplib::Response& res) { res.set_content(req.body, "text/plain"); });
        r.Post("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(700 * 1024, 'r'), "text/plain");
        });
        // Takes the whole body, then holds the reply until the gate opens.
        r.Post("/held", [this](const httplib::Request& req, httplib::Response& res) {
            received_ = req.body.size();
            while (!gate_) server_.pause(0.005);
            res.set_content("done", "text/plain");
        });
        r.Post("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/plain", [](std::size_t, std::size_t, httplib::DataSink& sink) {
                sink.write("part", 4);
                return false;
            });
        });
        r.Post("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 204; });
        start();
    }
    std::shared_ptr<NSURLSessionUploadTask> upload(UploadHost& host, const std::string& path, const std::string& body,
                                                   Delivery& delivery, bool announceLength = false) {
        NSURLRequest request(NSURL::URLWithString(server_.url(path)));
        request.setHTTPMethod("POST");
        request.setValue("application/octet-stream", "Content-Type");
        if (announceLength) request.setValue(std::to_string(body.size()), "Content-Length");
        request.setHTTPBody(bytes(body));
        auto task = host.request(request, true, delivery.record());
        if (task) task->resume();
        return task;
    }
    std::atomic<std::size_t> received_{0};
};

TEST_F(UploadHostTest, ARepliesPiecesArriveWholeOnceAndTheEntryIsGone) {
    auto host = NotingUploads::make();
    Delivery delivery;
    auto task = upload(*host, "/big", "x", delivery);
    EXPECT_TRUE(host->isActive(server_.url("/big")));
    loop().drainAll();
    EXPECT_EQ(delivery.calls, 1);
    EXPECT_FALSE(delivery.error);
    EXPECT_TRUE(sameText(text(delivery.data), std::string(700 * 1024, 'r')));
    EXPECT_FALSE(host->isActive(server_.url("/big")));
    EXPECT_TRUE(host->tasks().empty());
    EXPECT_EQ(host->notes, std::vector<bool>{true});
    host->complete(*task);  // a second delivery finds nothing
    EXPECT_EQ(delivery.calls, 1);
}

TEST_F(UploadHostTest, CompleteTwiceDeliversOnce) {
    auto host = UploadHost::make();
    Delivery delivery;
    NSURLRequest request(NSURL::URLWithString(server_.url("/echo")));
    request.setHTTPMethod("POST");
    auto task = host->request(request, false, delivery.record());
    host->complete(*task);
    host->complete(*task);
    EXPECT_EQ(delivery.calls, 1);
    EXPECT_FALSE(host->isActive(server_.url("/echo")));
}

TEST_F(UploadHostTest, ProgressIsTheShareSentAndZeroWithoutAKnownTotal) {
    auto host = UploadHost::make();
    const std::string url = server_.url("/held");
    std::string body(200 * 1024, 'b');
    Delivery known, unknown;
    upload(*host, "/held", body, known, true);
    ASSERT_TRUE(pumpMainUntil([&] { return host->queryPercent(url) == 1.0f; }));
    gate_ = true;
    loop().drainAll();
    EXPECT_EQ(text(known.data), "done");
    EXPECT_EQ(host->queryPercent(url), 0.0f);  // no entry any more

    gate_ = false;
    received_ = 0;
    upload(*host, "/held", body, unknown, false);
    ASSERT_TRUE(pumpMainUntil([&] { return received_ == body.size(); }));
    loop().runUntilIdle();
    EXPECT_EQ(host->queryPercent(url), 0.0f);
    gate_ = true;
    loop().drainAll();
    EXPECT_EQ(text(unknown.data), "done");
}

TEST_F(UploadHostTest, ErrorsDeliverTheDataSoFarWithTheError) {
    auto host = NotingUploads::make();
    JunkServer junk;
    Delivery cut, refused, cancelled, nonsense;
    upload(*host, "/cut", "x", cut);
    NSURLRequest toJunk(NSURL::URLWithString(junk.url("/")));
    toJunk.setHTTPMethod("POST");
    host->request(toJunk, false, nonsense.record())->resume();
    NSURLRequest request(NSURL::URLWithString(refusedURL()));
    request.setHTTPMethod("POST");
    host->request(request, false, refused.record())->resume();
    upload(*host, "/held", "x", cancelled);
    host->cancel(server_.url("/held"));
    loop().drainAll();
    EXPECT_EQ(text(cut.data), "part");
    ASSERT_TRUE(cut.error);
    EXPECT_EQ(cut.error->code(), NSURLErrorNetworkConnectionLost);
    EXPECT_FALSE(refused.data);
    EXPECT_EQ(refused.error->code(), NSURLErrorCannotConnectToHost);
    EXPECT_EQ(cancelled.calls, 1);
    EXPECT_EQ(cancelled.error->code(), NSURLErrorCancelled);
    EXPECT_EQ(nonsense.calls, 1);
    EXPECT_TRUE(nonsense.error);
    EXPECT_EQ(host->notes, (std::vector<bool>{false, false}));
}

TEST_F(UploadHostTest, TwoUploadsToOneAddressEachGetTheirOwnReply) {
    auto host = UploadHost::make();
    Delivery first, second;
    auto a = upload(*host, "/echo", "first body", first);
    auto b = upload(*host, "/echo", "second body", second);
    ASSERT_EQ(host->tasks().size(), 2u);
    EXPECT_EQ(host->tasks().back()->task, b);
    loop().drainAll();
    EXPECT_EQ(text(first.data), "first body");
    EXPECT_EQ(text(second.data), "second body");
    EXPECT_EQ(first.calls + second.calls, 2);
}

TEST_F(UploadHostTest, AReplyWithoutABodyCompletesWithEmptyData) {
    auto host = UploadHost::make();
    Delivery delivery;
    upload(*host, "/empty", "x", delivery);
    loop().drainAll();
    EXPECT_EQ(delivery.calls, 1);
    ASSERT_TRUE(delivery.data);
    EXPECT_TRUE(delivery.data->empty());
    EXPECT_FALSE(delivery.error);
    EXPECT_EQ(std::dynamic_pointer_cast<NSHTTPURLResponse>(delivery.response)->statusCode(), 204);
    EXPECT_TRUE(host->tasks().empty());
}

}  // namespace
