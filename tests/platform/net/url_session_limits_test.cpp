// The limits of a request hold for delegate-session tasks too: upload replies are capped like
// any reply held in memory, downloads to a file by a cap of their own or the download default, a server that
// trickles ends every task with a time-out, and header fields with line breaks are never sent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>

#include "platform/net/url_error.h"
#include "platform/net/url_session_configuration.h"
#include "platform/net/url_session_download_task.h"
#include "platform/storage/sandbox.h"
#include "tests/platform/dispatch/virtual_clock.h"
#include "tests/platform/net/misbehaving_replies.h"
#include "tests/support/run_loop_pump.h"

namespace {

constexpr std::size_t kSmallCap = std::size_t{1} << 20;

class Tally : public NSURLSessionDelegate {
public:
    void URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask&, std::shared_ptr<NSError> error) override {
        errors.push_back(error);
    }
    void URLSessionDataTaskDidReceiveData(NSURLSession&, NSURLSessionTask&, const Bytes& data) override {
        received += data.size();
    }
    void URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask&,
                                                         const std::shared_ptr<NSURL>& location) override {
        fileSizes.push_back(std::filesystem::file_size(location->path()));
    }

    std::vector<std::shared_ptr<NSError>> errors;
    std::size_t received = 0;
    std::vector<std::uintmax_t> fileSizes;
};

class SessionLimitsTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        root_ =
            std::filesystem::temp_directory_path() / ("korva-net-limits-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(root_);
        Sandbox::setRoot(root_.string());
        auto& r = server_.routes();
        auto endless = [this](const httplib::Request&, httplib::Response& res) {
            misbehaving::endlessBody(res, served_);
        };
        auto trickle = [this](const httplib::Request&, httplib::Response& res) {
            misbehaving::tricklingBody(res, server_);
        };
        auto echo = [this](const httplib::Request&, httplib::Response& res) {
            ++echoes_;
            res.set_content("echo", "text/plain");
        };
        r.Get("/endless", endless);
        r.Post("/endless", endless);
        r.Get("/trickle", trickle);
        r.Post("/trickle", trickle);
        r.Get("/echo", echo);
        r.Post("/echo", echo);
        r.Get("/gzip-bomb", [](const httplib::Request&, httplib::Response& res) {
            static const std::string bomb = LocalServer::compressed(std::string(std::size_t{4} << 20, '\0'), true);
            res.set_header("Content-Encoding", "gzip");
            res.set_content(bomb, "application/octet-stream");
        });
        r.Get("/large", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(NSURLRequest::kPageBodyLimit + 1, 'l'), "application/octet-stream");
        });
        server_.start();
    }
    void TearDown() override {
        NSURLRequest::setDefaultDownloadBodyLimit(NSURLRequest::kDownloadBodyLimit);
        VirtualClockTest::TearDown();
        Sandbox::setRoot("");
        std::filesystem::remove_all(root_);
    }

    NSURLRequest request(const std::string& path, const std::string& method = "GET") {
        NSURLRequest r(NSURL::URLWithString(server_.url(path)));
        r.setHTTPMethod(method);
        return r;
    }
    std::shared_ptr<NSURLSessionUploadTask> upload(const NSURLRequest& r) {
        return session_->uploadTaskWithRequest(r, Bytes{'u', 'p'});
    }
    bool completes(std::size_t count) {
        return pumpMainUntil([&] { return tally_->errors.size() >= count; });
    }
    std::size_t tmpFiles() const {
        std::size_t n = 0;
        if (std::filesystem::exists(root_ / "tmp"))
            for (auto& entry : std::filesystem::directory_iterator(root_ / "tmp")) n += entry.is_regular_file();
        return n;
    }

    std::filesystem::path root_;
    LocalServer server_;
    std::atomic<std::size_t> served_{0};
    std::atomic<int> echoes_{0};
    std::shared_ptr<Tally> tally_ = std::make_shared<Tally>();
    std::shared_ptr<NSURLSession> session_ =
        NSURLSession::sessionWithConfiguration(nullptr, tally_, dispatch_get_main_queue());
};

void expectTooLarge(const std::shared_ptr<NSError>& error) {
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSURLErrorDataLengthExceedsMaximum);
    EXPECT_NE(error->localizedDescription().find("larger than"), std::string::npos);
}

TEST_F(SessionLimitsTest, AnUploadReplyIsCappedLikeAnyReplyHeldInMemory) {
    upload(request("/endless", "POST"))->resume();
    ASSERT_TRUE(completes(1));
    expectTooLarge(tally_->errors[0]);
    EXPECT_LE(tally_->received, NSURLRequest::kPageBodyLimit);
    EXPECT_LT(served_.load(), std::size_t{16} << 20);

    tally_->received = 0;
    NSURLRequest small = request("/endless", "POST");
    small.setMaximumBodyLength(kSmallCap);
    upload(small)->resume();
    ASSERT_TRUE(completes(2));
    expectTooLarge(tally_->errors[1]);
    EXPECT_LE(tally_->received, kSmallCap);
}

TEST_F(SessionLimitsTest, ADownloadIsBoundedByItsOwnCapRatherThanAPages) {
    // Past the cap of a page, still taken whole: a download is a file, not memory.
    session_->downloadTaskWithURL(NSURL::URLWithString(server_.url("/large")))->resume();
    ASSERT_TRUE(completes(1));
    EXPECT_FALSE(tally_->errors[0]);
    ASSERT_EQ(tally_->fileSizes.size(), 1u);
    EXPECT_EQ(tally_->fileSizes[0], NSURLRequest::kPageBodyLimit + 1);

    NSURLRequest capped = request("/endless");
    capped.setMaximumBodyLength(kSmallCap);
    session_->downloadTaskWithRequest(capped)->resume();
    ASSERT_TRUE(completes(2));
    expectTooLarge(tally_->errors[1]);
    EXPECT_LT(served_.load(), std::size_t{16} << 20);
    EXPECT_EQ(tally_->fileSizes.size(), 1u);
    EXPECT_EQ(tmpFiles(), 0u);
}

// Without a cap of its own a download still has one, counted on the decoded bytes: an endless
// body and a small compressed reply that inflates past it both fail and leave no file.
TEST_F(SessionLimitsTest, ADownloadWithoutACapOfItsOwnTakesTheDefault) {
    EXPECT_GT(NSURLRequest::defaultDownloadBodyLimit(), NSURLRequest::kPictureBodyLimit);
    NSURLRequest::setDefaultDownloadBodyLimit(kSmallCap);
    session_->downloadTaskWithURL(NSURL::URLWithString(server_.url("/endless")))->resume();
    session_->downloadTaskWithURL(NSURL::URLWithString(server_.url("/gzip-bomb")))->resume();
    ASSERT_TRUE(completes(2));
    for (const auto& error : tally_->errors) expectTooLarge(error);
    EXPECT_LT(served_.load(), std::size_t{16} << 20);
    EXPECT_TRUE(tally_->fileSizes.empty());
    EXPECT_EQ(tmpFiles(), 0u);
}

TEST_F(SessionLimitsTest, AServerThatTricklesEndsEveryTaskWithATimeOut) {
    NSURLRequest uploaded = request("/trickle", "POST");
    NSURLRequest downloaded = request("/trickle");
    for (NSURLRequest* r : {&uploaded, &downloaded}) r->setTimeoutInterval(0.3);  // a byte comes every 50 ms
    auto started = std::chrono::steady_clock::now();
    upload(uploaded)->resume();
    session_->downloadTaskWithRequest(downloaded)->resume();
    ASSERT_TRUE(completes(2));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    for (const auto& error : tally_->errors) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), NSURLErrorTimedOut);
    }
    EXPECT_TRUE(tally_->fileSizes.empty());
    EXPECT_EQ(tmpFiles(), 0u);

    // A total of its own, shorter than four quiet spells, holds as well.
    NSURLRequest impatient = request("/trickle", "POST");
    impatient.setTimeoutInterval(0.3);
    impatient.setTotalTimeoutInterval(0.5);
    upload(impatient)->resume();
    ASSERT_TRUE(completes(3));
    ASSERT_TRUE(tally_->errors[2]);
    EXPECT_EQ(tally_->errors[2]->code(), NSURLErrorTimedOut);
}

TEST_F(SessionLimitsTest, HeaderFieldsAndMethodsWithLineBreaksAreNeverSent) {
    NSURLRequest uploaded = request("/echo", "POST");
    NSURLRequest downloaded = request("/echo");
    NSURLRequest method = request("/echo");
    uploaded.setValue("a\r\nX-Injected: 1", "X-Note");
    downloaded.setValue("a", "X-Injected: 1\nX-Note");
    method.setHTTPMethod("GET /echo HTTP/1.1\r\nX-Injected: 1\r\n\r\nGET");
    upload(uploaded)->resume();
    session_->downloadTaskWithRequest(downloaded)->resume();
    session_->downloadTaskWithRequest(method)->resume();
    ASSERT_TRUE(completes(3));
    for (const auto& error : tally_->errors) {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), NSURLErrorBadURL);
        EXPECT_NE(error->localizedDescription().find("line break"), std::string::npos);
    }
    EXPECT_EQ(echoes_.load(), 0);
    NSURLRequest plain = request("/echo", "PROPFIND");
    session_->downloadTaskWithRequest(plain)->resume();
    ASSERT_TRUE(completes(4));  // any other token is sent as it is
    EXPECT_FALSE(tally_->errors[3] && tally_->errors[3]->code() == NSURLErrorBadURL);
    EXPECT_EQ(tmpFiles(), 0u);
}

}  // namespace
