// Delegate sessions against a real local server: upload progress and reply pieces, downloads
// streamed to a file, resume data with range requests, cancellation, invalidation and the
// background hand-back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/net/url_error.h"
#include "platform/net/url_session_background.h"
#include "platform/net/url_session_configuration.h"
#include "platform/net/url_session_download_task.h"
#include "platform/storage/sandbox.h"
#include "tests/platform/dispatch/virtual_clock.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"
#include "tests/support/same_text.h"

namespace {

std::string body(std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>('a' + (i * 7 + i / 1000) % 26);
    return out;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Records every event in order; a finished download is copied before the file goes away.
class Recording : public NSURLSessionDelegate {
public:
    void URLSessionTaskDidSendBodyData(NSURLSession&, NSURLSessionTask&, std::int64_t, std::int64_t total,
                                       std::int64_t expected) override {
        sent.emplace_back(total, expected);
    }
    void URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                            std::shared_ptr<NSError> error) override {
        events.push_back("complete");
        completed.push_back(&task);
        errors.push_back(error);
    }
    void URLSessionDataTaskDidReceiveData(NSURLSession&, NSURLSessionTask&, const Bytes& data) override {
        reply.append(data.begin(), data.end());
        ++pieces;
    }
    void URLSessionDownloadTaskDidWriteData(NSURLSession&, NSURLSessionDownloadTask&, std::int64_t, std::int64_t total,
                                            std::int64_t expected) override {
        written.emplace_back(total, expected);
    }
    void URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask&,
                                                         const std::shared_ptr<NSURL>& location) override {
        events.push_back("file");
        file = location->path();
        fileContents = readAll(file);
    }
    void URLSessionDownloadTaskDidResumeAtOffset(NSURLSession&, NSURLSessionDownloadTask&, std::int64_t offset,
                                                 std::int64_t expected) override {
        resumedAt.emplace_back(offset, expected);
    }
    void URLSessionDidBecomeInvalidWithError(NSURLSession&, std::shared_ptr<NSError>) override {
        events.push_back("invalid");
    }
    void URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) override {
        events.push_back("background-done");
    }

    std::vector<std::string> events;
    std::vector<NSURLSessionTask*> completed;
    std::vector<std::shared_ptr<NSError>> errors;
    std::vector<std::pair<std::int64_t, std::int64_t>> sent, written, resumedAt;
    std::string reply, file, fileContents;
    int pieces = 0;
};

class DelegateSessionTest : public VirtualClockTest {
protected:
    void SetUp() override {
        VirtualClockTest::SetUp();
        root_ =
            std::filesystem::temp_directory_path() / ("korva-net-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(root_);
        Sandbox::setRoot(root_.string());
        auto& r = server_.routes();
        r.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Transfer-Encoding") + "|" + req.body, "application/octet-stream");
        });
        r.Get("/file.bin", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("ETag", "\"v1\"");
            res.set_content(body(kSize), "application/octet-stream");
        });
        // Sends the first half of the body, then holds the rest back until the gate opens.
        r.Get("/held.bin", [this](const httplib::Request& req, httplib::Response& res) {
            ranges_.push_back(req.get_header_value("Range") + "|" + req.get_header_value("If-Range"));
            res.set_header("ETag", "\"v1\"");
            bool hold = !req.has_header("Range");
            res.set_content_provider(kSize, "application/octet-stream",
                                     [this, hold](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                         while (hold && offset >= kSize / 2 && !gate_) server_.pause(0.01);
                                         static const std::string all = body(kSize);
                                         std::size_t n = std::min<std::size_t>(length, 16384);
                                         return sink.write(all.data() + offset, n);
                                     });
        });
        // Always the whole body: a server that ignores ranges.
        r.Get("/whole.bin", [this](const httplib::Request& req, httplib::Response& res) {
            ranges_.push_back(req.get_header_value("Range"));
            res.status = 200;
            res.set_header("ETag", "\"w\"");
            bool hold = ranges_.size() == 1;
            // Chunked, so that nothing applies the range on the server's behalf.
            res.set_chunked_content_provider(
                "application/octet-stream", [this, hold](std::size_t offset, httplib::DataSink& sink) {
                    while (hold && offset >= kSize / 2 && !gate_) server_.pause(0.01);
                    static const std::string all = body(kSize);
                    if (offset >= kSize) {
                        sink.done();
                        return true;
                    }
                    return sink.write(all.data() + offset, std::min<std::size_t>(kSize - offset, 16384));
                });
        });
        // Honours a range with a part in chunks (no declared length); the whole body is held back
        // at its half until the gate opens.
        r.Get("/parts.bin", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string range = req.get_header_value("Range");
            const std::size_t from = range.rfind("bytes=", 0) == 0 ? std::stoul(range.substr(6)) : 0;
            res.set_header("ETag", "\"p\"");
            if (from > 0) {
                res.status = 206;
                res.set_header("Content-Range", "bytes " + std::to_string(from) + "-" + std::to_string(kSize - 1) +
                                                    "/" + std::to_string(kSize));
            }
            res.set_chunked_content_provider(
                "application/octet-stream", [this, from](std::size_t offset, httplib::DataSink& sink) {
                    const std::size_t at = from + offset;
                    while (from == 0 && at >= kSize / 2 && !gate_) server_.pause(0.01);
                    static const std::string all = body(kSize);
                    if (at >= kSize) {
                        sink.done();
                        return true;
                    }
                    return sink.write(all.data() + at, std::min<std::size_t>(kSize - at, 16384));
                });
        });
        // Claims the range rangeReply_ names and sends the body's second half (in chunks, so that
        // the server applies no range of its own).
        r.Get("/liar.bin", [this](const httplib::Request&, httplib::Response& res) {
            res.status = 206;
            res.set_header("ETag", "\"l\"");
            res.set_header("Content-Range", rangeReply_);
            res.set_chunked_content_provider("application/octet-stream",
                                             [](std::size_t offset, httplib::DataSink& sink) {
                                                 if (offset == 0) return sink.write("56789", 5);
                                                 sink.done();
                                                 return true;
                                             });
        });
        // Answers only once the gate opens, so that the test can act while the head is awaited.
        r.Get("/late.bin", [this](const httplib::Request&, httplib::Response& res) {
            ++lateRequests_;
            while (!gate_) server_.pause(0.01);
            res.set_header("ETag", "\"t\"");
            res.set_content("the server's bytes", "application/octet-stream");
        });
        r.Get("/short", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/plain", [](std::size_t, std::size_t, httplib::DataSink& sink) {
                sink.write("only this", 9);
                return false;  // the connection closes early
            });
        });
        server_.start();
    }
    void TearDown() override {
        gate_ = true;
        setURLSessionApplicationHooks({});
        VirtualClockTest::TearDown();
        Sandbox::setRoot("");
        std::filesystem::remove_all(root_);
    }

    std::shared_ptr<NSURLSession> session(std::shared_ptr<NSURLSessionConfiguration> configuration = nullptr) {
        return NSURLSession::sessionWithConfiguration(configuration, recording_, dispatch_get_main_queue());
    }
    bool completes(std::size_t count = 1) {
        return pumpMainUntil([&] { return recording_->completed.size() >= count; });
    }
    // Starts a download, waits until half the body arrived, and cancels it into resume data.
    std::optional<Bytes> pausedHalfway(NSURLSession& s, const std::string& path) {
        return pausedHalfway(s, NSURLRequest(NSURL::URLWithString(server_.url(path))));
    }
    std::optional<Bytes> pausedHalfway(NSURLSession& s, const NSURLRequest& request) {
        auto task = s.downloadTaskWithRequest(request);
        const std::size_t before = recording_->completed.size();
        task->resume();
        EXPECT_TRUE(
            pumpMainUntil([&] { return task->countOfBytesReceived() >= static_cast<std::int64_t>(kSize / 2); }));
        std::optional<Bytes> resumeData;
        bool answered = false;
        task->cancelByProducingResumeData([&](std::optional<Bytes> data) {
            answered = true;
            resumeData = std::move(data);
        });
        EXPECT_TRUE(completes(before + 1));
        EXPECT_TRUE(answered);
        return resumeData;
    }
    std::size_t tmpFiles() const {
        std::size_t n = 0;
        for (auto& entry : std::filesystem::directory_iterator(root_ / "tmp")) n += entry.is_regular_file();
        return n;
    }

    static constexpr std::size_t kSize = 600 * 1024;
    std::filesystem::path root_;
    LocalServer server_;
    std::shared_ptr<Recording> recording_ = std::make_shared<Recording>();
    std::vector<std::string> ranges_;
    std::atomic<bool> gate_{false};
    std::atomic<int> lateRequests_{0};
    std::string rangeReply_ = "bytes 0-9/10";
};

std::pair<std::int64_t, std::int64_t> pairOf(std::size_t a, std::size_t b) {
    return {static_cast<std::int64_t>(a), static_cast<std::int64_t>(b)};
}

NSURLRequest post(const std::string& url, const std::string& text) {
    NSURLRequest request(NSURL::URLWithString(url));
    request.setHTTPMethod("POST");
    request.setValue("application/octet-stream", "Content-Type");
    request.setHTTPBody(Bytes(text.begin(), text.end()));
    return request;
}

TEST_F(DelegateSessionTest, UploadsReportTheirBodyAndHearTheReplyInPieces) {
    auto s = session();
    std::string big = body(300 * 1024);
    auto task = s->uploadTaskWithRequest(post(server_.url("/echo"), ""), Bytes(big.begin(), big.end()));
    EXPECT_EQ(task->state(), NSURLSessionTaskState::Suspended);
    task->resume();
    ASSERT_TRUE(completes());
    EXPECT_FALSE(recording_->errors[0]);
    EXPECT_TRUE(sameText(recording_->reply, "|" + big));
    ASSERT_FALSE(recording_->sent.empty());
    EXPECT_EQ(recording_->sent.back(), pairOf(big.size(), big.size()));
    for (std::size_t i = 1; i < recording_->sent.size(); ++i)
        EXPECT_GT(recording_->sent[i].first, recording_->sent[i - 1].first);
    EXPECT_EQ(task->state(), NSURLSessionTaskState::Completed);
    EXPECT_EQ(std::dynamic_pointer_cast<NSHTTPURLResponse>(task->response())->statusCode(), 200);
    EXPECT_EQ(task->countOfBytesSent(), static_cast<std::int64_t>(big.size()));
}

TEST_F(DelegateSessionTest, AStreamedRequestWithoutALengthGoesInChunksWithAnUnknownTotal) {
    auto s = session();
    auto chunked = s->uploadTaskWithStreamedRequest(post(server_.url("/echo"), "streamed body"));
    chunked->resume();
    ASSERT_TRUE(completes());
    EXPECT_EQ(recording_->reply, "chunked|streamed body");
    ASSERT_FALSE(recording_->sent.empty());
    EXPECT_EQ(recording_->sent.back().second, NSURLSessionTransferSizeUnknown);

    NSURLRequest announced = post(server_.url("/echo"), "12345");
    announced.setValue("5", "Content-Length");
    recording_->reply.clear();
    s->uploadTaskWithStreamedRequest(announced)->resume();
    ASSERT_TRUE(completes(2));
    EXPECT_EQ(recording_->reply, "|12345");
    EXPECT_EQ(recording_->sent.back(), pairOf(5, 5));
}

TEST_F(DelegateSessionTest, DownloadsStreamToAFileThatIsGoneAfterTheEvent) {
    auto s = session();
    auto task = s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/file.bin")));
    task->resume();
    ASSERT_TRUE(completes());
    EXPECT_EQ(recording_->events, (std::vector<std::string>{"file", "complete"}));
    EXPECT_TRUE(sameText(recording_->fileContents, body(kSize)));
    EXPECT_FALSE(std::filesystem::exists(recording_->file));
    EXPECT_EQ(recording_->file.rfind((root_ / "tmp").string(), 0), 0u);
    ASSERT_GT(recording_->written.size(), 1u);  // reported as it arrived, not once at the end
    EXPECT_EQ(recording_->written.back(), pairOf(kSize, kSize));
}

TEST_F(DelegateSessionTest, PausedDownloadsResumeWithARangeRequestIntoAnIdenticalFile) {
    auto s = session();
    std::optional<Bytes> resumeData = pausedHalfway(*s, "/held.bin");
    ASSERT_TRUE(resumeData);
    EXPECT_EQ(recording_->errors[0]->code(), NSURLErrorCancelled);
    EXPECT_EQ(recording_->events, (std::vector<std::string>{"complete"}));

    auto resumed = s->downloadTaskWithResumeData(*resumeData);
    ASSERT_TRUE(resumed);
    resumed->resume();
    ASSERT_TRUE(completes(2));
    EXPECT_FALSE(recording_->errors[1]);
    EXPECT_TRUE(sameText(recording_->fileContents, body(kSize)));
    ASSERT_EQ(ranges_.size(), 2u);
    EXPECT_EQ(ranges_[1], "bytes=" + std::to_string(recording_->resumedAt[0].first) + "-|\"v1\"");
    EXPECT_GE(recording_->resumedAt[0].first, static_cast<std::int64_t>(kSize / 2));
    EXPECT_EQ(recording_->resumedAt[0].second, static_cast<std::int64_t>(kSize));
    EXPECT_EQ(tmpFiles(), 0u);
}

TEST_F(DelegateSessionTest, AServerThatIgnoresTheRangeRestartsTheFileFromZero) {
    auto s = session();
    std::optional<Bytes> resumeData = pausedHalfway(*s, "/whole.bin");
    ASSERT_TRUE(resumeData);
    gate_ = true;
    s->downloadTaskWithResumeData(*resumeData)->resume();
    ASSERT_TRUE(completes(2));
    EXPECT_TRUE(sameText(recording_->fileContents, body(kSize)));
    EXPECT_EQ(recording_->resumedAt.at(0).first, 0);
    EXPECT_FALSE(ranges_.at(1).empty());
}

TEST_F(DelegateSessionTest, UnreadableResumeDataMakesNoTask) {
    auto s = session();
    std::string junk = "not resume data";
    EXPECT_FALSE(s->downloadTaskWithResumeData(Bytes(junk.begin(), junk.end())));
    EXPECT_FALSE(s->downloadTaskWithResumeData(Bytes()));
    std::string missingFile =
        "korva-resume-data 1\nurl http://127.0.0.1/x\nfile /no/such/file\noffset 3\nvalidator \"a\"\n";
    EXPECT_FALSE(s->downloadTaskWithResumeData(Bytes(missingFile.begin(), missingFile.end())));
}

// Resume data comes from outside (a saved table, another program): it may name only a partial
// file of the session's own making, else any file the program can write is overwritten and removed.
TEST_F(DelegateSessionTest, ResumeDataNamingAnyOtherFileMakesNoTaskAndLeavesItIntact) {
    auto s = session();
    std::filesystem::create_directories(root_ / "tmp" / "inner");
    const std::string victim = (root_ / "victim.txt").string();
    const std::string victimInTmp = (root_ / "tmp" / "keep.tmp").string();
    std::ofstream(victim) << "precious";
    std::ofstream(victimInTmp) << "precious";
    std::filesystem::create_symlink(victim, root_ / "tmp" / "download-7-7.tmp");
    std::filesystem::create_hard_link(victimInTmp, root_ / "tmp" / "download-8-8.tmp");
    std::ofstream(root_ / "tmp" / "inner" / "download-9-9.tmp") << "precious";
    const std::string served = server_.url("/file.bin");
    const std::string nowhere = "http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/x";
    const std::string tmp = (root_ / "tmp").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {victim, served},
        {victim, nowhere},
        {victimInTmp, nowhere},
        {tmp + "/../victim.txt", served},
        {tmp + "/inner/../../victim.txt", nowhere},
        {tmp + "/download-7-7.tmp", served},
        {tmp + "/download-8-8.tmp", nowhere},
        {tmp + "/inner/download-9-9.tmp", served},
    };
    std::size_t started = 0;
    for (const auto& [file, url] : cases) {
        std::string record = "korva-resume-data 1\nurl " + url + "\nfile " + file + "\noffset 2\nvalidator \"v1\"\n";
        auto task = s->downloadTaskWithResumeData(Bytes(record.begin(), record.end()));
        EXPECT_FALSE(task) << file;
        if (!task) continue;
        task->resume();
        ASSERT_TRUE(completes(++started));
    }
    EXPECT_EQ(readAll(victim), "precious");
    EXPECT_EQ(readAll(victimInTmp), "precious");
    EXPECT_EQ(readAll((root_ / "tmp" / "inner" / "download-9-9.tmp").string()), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(root_ / "tmp" / "download-7-7.tmp"));
}

TEST_F(DelegateSessionTest, APartThatDoesNotContinueThePartialFileIsRefused) {
    auto s = session();
    std::filesystem::create_directories(root_ / "tmp");
    // Each claims a range that starts where the file ends but is otherwise unsound, except the
    // first, which starts elsewhere; "5-7" is sound but the part (its length not declared) runs
    // past it; the last is sound.
    const std::vector<std::string> ranges = {"bytes 0-9/10", "bytes 5-3/10", "bytes 5-99/10", "bytes 5-9/9",
                                             "bytes 5-9/x",  "bytes 5-7/10", "bytes 5-9/10"};
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        SCOPED_TRACE(ranges[i]);
        rangeReply_ = ranges[i];
        std::string partial = (root_ / "tmp" / ("download-1-" + std::to_string(i) + ".tmp")).string();
        std::ofstream(partial) << "01234";
        std::string record = "korva-resume-data 1\nurl " + server_.url("/liar.bin") + "\nfile " + partial +
                             "\noffset 5\nvalidator \"l\"\n";
        auto task = s->downloadTaskWithResumeData(Bytes(record.begin(), record.end()));
        ASSERT_TRUE(task);
        task->resume();
        ASSERT_TRUE(completes(i + 1));
        const bool sound = i + 1 == ranges.size();
        if (sound) {
            EXPECT_FALSE(recording_->errors[i]);
            EXPECT_EQ(recording_->fileContents, "0123456789");
        } else {
            ASSERT_TRUE(recording_->errors[i]);
            EXPECT_EQ(recording_->errors[i]->code(), NSURLErrorBadServerResponse);
            EXPECT_EQ(std::count(recording_->events.begin(), recording_->events.end(), "file"), 0);
        }
        EXPECT_FALSE(std::filesystem::exists(partial));
    }
}

// The file is opened when the task starts: a link put under its name while the reply's head is
// awaited leads nowhere, and the download then fails rather than handing over what the name holds.
TEST_F(DelegateSessionTest, ALinkSwappedInWhileTheHeadIsAwaitedIsNeitherWrittenNorHandedOver) {
    auto s = session();
    const std::string victim = (root_ / "victim.txt").string();
    std::filesystem::create_directories(root_ / "tmp");
    auto makeTask = [&](std::size_t road) {
        if (road == 0) return s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/late.bin")));
        const std::string partial = (root_ / "tmp" / "download-3-3.tmp").string();
        std::ofstream(partial) << "01234";
        std::string record = "korva-resume-data 1\nurl " + server_.url("/late.bin") + "\nfile " + partial +
                             "\noffset 5\nvalidator \"t\"\n";
        return s->downloadTaskWithResumeData(Bytes(record.begin(), record.end()));
    };
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "fresh" : "resumed");
        auto task = makeTask(i);
        ASSERT_TRUE(task);
        std::ofstream(victim) << "precious";
        gate_ = false;
        task->resume();
        ASSERT_TRUE(pumpMainUntil([&] { return lateRequests_ == static_cast<int>(i + 1); }));
        std::filesystem::path file;
        for (auto& entry : std::filesystem::directory_iterator(root_ / "tmp")) file = entry.path();
        ASSERT_FALSE(file.empty());
        std::filesystem::remove(file);
        std::filesystem::create_symlink(victim, file);
        gate_ = true;
        ASSERT_TRUE(completes(i + 1));
        EXPECT_EQ(readAll(victim), "precious");
        ASSERT_TRUE(recording_->errors[i]);
        EXPECT_EQ(std::count(recording_->events.begin(), recording_->events.end(), "file"), 0);
        EXPECT_TRUE(std::filesystem::is_symlink(file)) << "nothing of the program's replaced it";
        std::filesystem::remove(file);
    }
}

// A temporary folder that is a link would let a plain name inside it reach any folder.
TEST_F(DelegateSessionTest, ATemporaryFolderThatIsALinkTakesNoResumeData) {
    auto s = session();
    const auto elsewhere = root_ / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    std::ofstream(elsewhere / "download-5-5.tmp") << "precious";
    std::filesystem::remove_all(root_ / "tmp");
    std::filesystem::create_directory_symlink(elsewhere, root_ / "tmp");
    const std::string file = (root_ / "tmp" / "download-5-5.tmp").string();
    std::string record =
        "korva-resume-data 1\nurl " + server_.url("/file.bin") + "\nfile " + file + "\noffset 2\nvalidator \"v1\"\n";
    auto task = s->downloadTaskWithResumeData(Bytes(record.begin(), record.end()));
    EXPECT_FALSE(task);
    if (task) {
        task->resume();
        ASSERT_TRUE(completes());
    }
    EXPECT_EQ(readAll((elsewhere / "download-5-5.tmp").string()), "precious");
}

// The cap bounds the whole file, also after a pause: whether the server sends the rest as a part
// or the whole body again, a file past the cap the paused request set is refused.
TEST_F(DelegateSessionTest, AResumedDownloadKeepsTheCapItsRequestSet) {
    auto s = session();
    std::size_t completed = 0;
    for (const char* path : {"/parts.bin", "/whole.bin"}) {
        SCOPED_TRACE(path);
        gate_ = false;
        NSURLRequest capped(NSURL::URLWithString(server_.url(path)));
        capped.setMaximumBodyLength(kSize - 1000);
        std::optional<Bytes> resumeData = pausedHalfway(*s, capped);
        ++completed;
        ASSERT_TRUE(resumeData);
        auto resumed = s->downloadTaskWithResumeData(*resumeData);
        ASSERT_TRUE(resumed);
        EXPECT_EQ(resumed->originalRequest().maximumBodyLength(), kSize - 1000);
        resumed->resume();
        ASSERT_TRUE(completes(++completed));
        ASSERT_TRUE(recording_->errors.back());
        EXPECT_EQ(recording_->errors.back()->code(), NSURLErrorDataLengthExceedsMaximum);
        EXPECT_EQ(std::count(recording_->events.begin(), recording_->events.end(), "file"), 0);
        EXPECT_EQ(tmpFiles(), 0u);
    }
}

TEST_F(DelegateSessionTest, FailuresEndTasksWithAnErrorAndLeaveNoFiles) {
    NSURLRequest::setDefaultTimeoutInterval(0.3);
    auto s = session();
    auto refused = s->downloadTaskWithURL(
        NSURL::URLWithString("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/"));
    auto truncated = s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/short")));
    auto silent = s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/held.bin")));  // stalls halfway
    auto neverStarted = s->uploadTaskWithRequest(post(server_.url("/echo"), ""), Bytes{'x'});
    for (auto& t : {refused, truncated, silent}) t->resume();
    neverStarted->cancel();
    ASSERT_TRUE(completes(4));
    NSURLRequest::setDefaultTimeoutInterval(60.0);
    std::map<NSURLSessionTask*, std::int64_t> codes;
    for (std::size_t i = 0; i < 4; ++i)
        codes[recording_->completed[i]] = recording_->errors[i] ? recording_->errors[i]->code() : 0;
    EXPECT_EQ(codes[refused.get()], NSURLErrorCannotConnectToHost);
    EXPECT_EQ(codes[truncated.get()], NSURLErrorNetworkConnectionLost);
    EXPECT_EQ(codes[silent.get()], NSURLErrorTimedOut);
    EXPECT_EQ(codes[neverStarted.get()], NSURLErrorCancelled);
    EXPECT_EQ(std::count(recording_->events.begin(), recording_->events.end(), "file"), 0);
    EXPECT_EQ(tmpFiles(), 0u);
}

TEST_F(DelegateSessionTest, ListingAndInvalidation) {
    auto s = session();
    auto running = s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/held.bin")));
    auto waiting = s->uploadTaskWithRequest(post(server_.url("/echo"), ""), Bytes{'x'});
    running->resume();
    std::vector<std::shared_ptr<NSURLSessionTask>> listed;
    s->getAllTasksWithCompletionHandler(
        [&](std::vector<std::shared_ptr<NSURLSessionTask>> tasks) { listed = std::move(tasks); });
    ASSERT_TRUE(pumpMainUntil([&] { return listed.size() == 2; }));
    s->invalidateAndCancel();
    EXPECT_FALSE(s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/file.bin"))));
    ASSERT_TRUE(pumpMainUntil([&] { return !recording_->events.empty() && recording_->events.back() == "invalid"; }));
    EXPECT_EQ(recording_->completed.size(), 2u);
}

TEST_F(DelegateSessionTest, ABackgroundSessionHandsBackOnceItsEventsArrivedInTheBackground) {
    bool background = false;
    std::vector<std::string> handedBack;
    int completions = 0;
    setURLSessionApplicationHooks({[&] { return background; },
                                   [&](const std::string& identifier, std::function<void()> completion) {
                                       handedBack.push_back(identifier);
                                       recording_->events.push_back("app");
                                       completion();
                                       ++completions;
                                   }});
    auto s = session(NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier("bg-test"));
    s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/file.bin")))->resume();
    ASSERT_TRUE(completes());
    EXPECT_TRUE(handedBack.empty());  // all delivered in the foreground: nothing to hand back

    background = true;
    recording_->events.clear();
    s->downloadTaskWithURL(NSURL::URLWithString(server_.url("/file.bin")))->resume();
    s->uploadTaskWithRequest(post(server_.url("/echo"), ""), Bytes{'x'})->resume();
    ASSERT_TRUE(completes(3));
    loop().drainAll();
    EXPECT_EQ(handedBack, std::vector<std::string>{"bg-test"});
    EXPECT_EQ(completions, 1);
    ASSERT_GE(recording_->events.size(), 2u);
    EXPECT_EQ(recording_->events[recording_->events.size() - 2], "app");
    EXPECT_EQ(recording_->events.back(), "background-done");

    // An ordinary session never hands back.
    auto ordinary = session();
    ordinary->downloadTaskWithURL(NSURL::URLWithString(server_.url("/file.bin")))->resume();
    ASSERT_TRUE(completes(4));
    loop().drainAll();
    EXPECT_EQ(handedBack.size(), 1u);
}

}  // namespace
