// The download service against a local server: files landing under free names, progress,
// pause and resume through resume data with range requests, the persisted tables, and every
// kind of failure ending as an error without losing what was stored.
#include "language/download_host.h"

#include <map>
#include <set>
#include <string>

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/net/url_error.h"
#include "platform/runtime/log.h"
#include "tests/language/server_fixture.h"
#include "tests/support/junk_server.h"

namespace {

constexpr std::size_t kSize = 400 * 1024;

std::string content(std::size_t size = kSize) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>('a' + (i * 13 + i / 977) % 26);
    return out;
}

class RecordingDownloads : public DownloadHost {
public:
    KORVA_MAKE(RecordingDownloads)
    void done(const std::string& url, const std::string& path, const Entry&) override {
        finished.emplace_back(url, path);
    }
    void noti(bool success, const Value& label, const Value& userInfo) override {
        notes.push_back(success);
        labels.push_back(label);
        infos.push_back(userInfo);
    }
    void URLSessionDownloadTaskDidWriteData(NSURLSession& s, NSURLSessionDownloadTask& t, std::int64_t a,
                                            std::int64_t b, std::int64_t c) override {
        DownloadHost::URLSessionDownloadTaskDidWriteData(s, t, a, b, c);
        if (auto entry = getItem(getURLfromTask(t).value_or(""))) percents.push_back(entry->percent);
    }
    std::vector<std::pair<std::string, std::string>> finished;
    std::vector<bool> notes;
    std::vector<Value> labels, infos;
    std::vector<double> percents;
    std::string className() const override { return "RecordingDownloads"; }

protected:
    RecordingDownloads() = default;
};

class DownloadHostTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        auto& r = server_.routes();
        r.Get(R"(/files/.*)", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("ETag", "\"f\"");
            res.set_content(content(), "application/octet-stream");
        });
        r.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_content("root", "text/plain"); });
        // The first half at once; the rest of a request without a range waits for the gate.
        r.Get("/held.bin", [this](const httplib::Request& req, httplib::Response& res) {
            ranges_.push_back(req.get_header_value("Range"));
            res.set_header("ETag", "\"h\"");
            bool hold = !req.has_header("Range");
            res.set_content_provider(kSize, "application/octet-stream",
                                     [this, hold](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                         while (hold && offset >= kSize / 2 && !gate_) server_.pause(0.005);
                                         static const std::string all = content();
                                         return sink.write(all.data() + offset, std::min<std::size_t>(length, 16384));
                                     });
        });
        // Chunked, without a size, and never honouring a range; the first request is held halfway.
        r.Get("/whole.bin", [this](const httplib::Request& req, httplib::Response& res) {
            ranges_.push_back(req.get_header_value("Range"));
            res.status = 200;
            res.set_header("ETag", "\"w\"");
            bool hold = ranges_.size() == 1 && holdWhole_;
            res.set_chunked_content_provider(
                "application/octet-stream", [this, hold](std::size_t offset, httplib::DataSink& sink) {
                    while (hold && offset >= kSize / 2 && !gate_) server_.pause(0.005);
                    static const std::string all = content();
                    if (offset >= kSize) {
                        sink.done();
                        return true;
                    }
                    return sink.write(all.data() + offset, std::min<std::size_t>(kSize - offset, 16384));
                });
        });
        r.Get("/short", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/plain", [](std::size_t, std::size_t, httplib::DataSink& sink) {
                sink.write("part", 4);
                return false;
            });
        });
        r.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        r.Get("/silent", [this](const httplib::Request&, httplib::Response& res) {
            while (!gate_) server_.pause(0.005);
            res.set_content("late", "text/plain");
        });
        start();
    }
    std::string documents(const std::string& name) const { return withDocumentPath(name); }
    bool arrived(RecordingDownloads& host, std::size_t count = 1) {
        return pumpMainUntil([&] { return host.notes.size() + host.finished.size() >= count && host.tasks().empty(); });
    }
    std::vector<std::string> ranges_;
    bool holdWhole_ = true;
};

TEST(DownloadDestination, StoredNumbersStayAsTheyWereAndUnknownOnesMeanAFullPath) {
    const std::pair<DownloadDestination, std::int64_t> stored[] = {
        {DownloadDestination::FullPath, 0}, {DownloadDestination::Documents, 1}, {DownloadDestination::Library, 2}};
    for (auto [dest, number] : stored) {
        EXPECT_EQ(storedDownloadDestination(dest), number);
        EXPECT_EQ(downloadDestinationFromStored(number), dest);
    }
    for (std::int64_t unknown : {std::int64_t{-1}, std::int64_t{3}, std::int64_t{1} << 40})
        EXPECT_EQ(downloadDestinationFromStored(unknown), DownloadDestination::FullPath) << unknown;
}

TEST_F(DownloadHostTest, FilesLandInTheirFolderUnderNamesThatClashWithNothing) {
    auto host = RecordingDownloads::make();
    createDirectory(documents("box"));
    for (const char* existing : {"box/a.zip", "box/a-1.zip", "box/data"})
        writeFileAtomically(documents(existing), "old").ok();
    const std::string zip = server_.url("/files/a.zip");
    auto entry =
        host->request(zip, DownloadDestination::Documents, "box", false, Value("label"), Value::dictionary({{"k", 1}}));
    ASSERT_TRUE(entry);
    EXPECT_TRUE(host->isActive(zip));
    auto task = entry->task;
    ASSERT_TRUE(task);
    EXPECT_EQ(task->originalRequest().maximumBodyLength(), DownloadHost::kMaximumFileBytes);
    host->request(server_.url("/files/data"), DownloadDestination::Documents, "box", false, Value(), Value());
    host->request(server_.url("/files/dir/?a=1"), DownloadDestination::Documents, "box", false, Value(), Value());
    host->request(server_.url("/files/.."), DownloadDestination::Documents, "box", false, Value(), Value());
    ASSERT_TRUE(pumpMainUntil([&] { return host->finished.size() == 4; }));
    std::map<std::string, std::string> paths(host->finished.begin(), host->finished.end());
    EXPECT_EQ(paths[zip], documents("box/a-2.zip"));
    EXPECT_EQ(paths[server_.url("/files/data")], documents("box/data-1"));
    // Both come out "noname"; whichever lands first takes the plain name.
    EXPECT_EQ((std::set<std::string>{paths[server_.url("/files/dir/?a=1")], paths[server_.url("/files/..")]}),
              (std::set<std::string>{documents("box/noname"), documents("box/noname-1")}));
    EXPECT_TRUE(sameText(readFile(documents("box/a-2.zip")), content()));
    EXPECT_EQ(readFile(documents("box/a.zip")), "old");
    EXPECT_EQ(entry->percent, 1.0);
    EXPECT_EQ(entry->totalBytesExpectedToWrite, static_cast<std::int64_t>(kSize));
    ASSERT_EQ(host->notes, std::vector<bool>{true});
    EXPECT_EQ(host->labels[0], Value("label"));
    EXPECT_EQ(host->infos[0]["path"], Value(documents("box/a-2.zip")));
    EXPECT_EQ(host->infos[0]["userInfo"]["k"], Value(1));
    EXPECT_FALSE(host->lastError());
    EXPECT_TRUE(host->tasks().empty());
}

TEST_F(DownloadHostTest, FreshFoldersOnlyForANamedFolder) {
    auto host = RecordingDownloads::make();
    createDirectory(withLibraryPath("lib"));
    host->request(server_.url("/files/in-docs.bin"), DownloadDestination::Documents, "", true, Value(), Value());
    host->request(server_.url("/files/in-lib.bin"), DownloadDestination::Library, "lib", true, Value(), Value());
    ASSERT_TRUE(pumpMainUntil([&] { return host->finished.size() == 2; }));
    EXPECT_TRUE(existFile(documents("in-docs.bin")));
    EXPECT_FALSE(existFile(documents("-1")));
    EXPECT_TRUE(existFile(withLibraryPath("lib-1/in-lib.bin")));
}

TEST_F(DownloadHostTest, WithoutASizeTheShareStaysZeroUntilTheFileArrives) {
    auto host = RecordingDownloads::make();
    holdWhole_ = false;
    auto entry = host->request(server_.url("/whole.bin"), DownloadDestination::Documents, "w", false, Value(), Value());
    ASSERT_TRUE(arrived(*host));
    ASSERT_FALSE(host->percents.empty());
    for (double p : host->percents) EXPECT_EQ(p, 0.0);
    EXPECT_EQ(entry->percent, 1.0);
    EXPECT_FALSE(entry->totalBytesExpectedToWrite);
    EXPECT_TRUE(sameText(readFile(documents("w/whole.bin")), content()));
}

TEST_F(DownloadHostTest, APausedDownloadResumesWithARangeRequestAndTheTablesSurviveARestart) {
    auto host = RecordingDownloads::make();
    const std::string url = server_.url("/held.bin");
    auto entry = host->request(url, DownloadDestination::Library, "got", false, Value("l"), Value());
    ASSERT_TRUE(pumpMainUntil([&] { return entry->percent >= 0.5; }));
    host->pause(url);
    EXPECT_FALSE(host->isActive(url));
    ASSERT_TRUE(pumpMainUntil([&] { return host->isResumable(url); }));
    const std::string resumePath = host->getItem(url)->resumePath.value_or("");
    EXPECT_EQ(resumePath.rfind("DownloadGlobal.ResumeData.1/", 0), 0u);
    EXPECT_EQ(resumePath.size(), std::string("DownloadGlobal.ResumeData.1/").size() + 10);
    EXPECT_TRUE(existFile(withLibraryPath(resumePath)));

    // What a new run finds in the store.
    auto reread = LastInfo::make(withLibraryPath("DownloadHost.1-RecordingDownloads"));
    EXPECT_EQ(reread->get("rtasks")[url]["resumePath"], Value(resumePath));
    EXPECT_EQ(reread->get("rtasks")[url]["pathSaveTo"], Value("got"));
    EXPECT_EQ(reread->get("rtasks")[url]["dest"].integerValue(), 2) << "Library keeps its stored number";
    EXPECT_EQ(reread->get("rtasks")[url].dictionaryPtr()->keys(),
              (std::vector<std::string>{"percent", "dest", "pathSaveTo", "newDir", "notiLabel",
                                        "totalBytesExpectedToWrite", "resumePath"}));
    EXPECT_EQ(reread->get("tasks").count(), 0u);

    auto resumed = host->request(url, DownloadDestination::Library, "elsewhere", false, Value(), Value());
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed, entry) << "the paused download goes on";
    EXPECT_TRUE(host->isActive(url));
    EXPECT_FALSE(host->isResumable(url));
    EXPECT_FALSE(existFile(withLibraryPath(resumePath)));
    EXPECT_FALSE(LastInfo::make(withLibraryPath("DownloadHost.1-RecordingDownloads"))->get("tasks")[url]["task"]);
    ASSERT_TRUE(arrived(*host));
    ASSERT_EQ(host->finished.size(), 1u);
    EXPECT_EQ(host->finished[0].second, withLibraryPath("got/held.bin"));
    EXPECT_TRUE(sameText(readFile(withLibraryPath("got/held.bin")), content()));
    ASSERT_EQ(ranges_.size(), 2u);
    EXPECT_EQ(ranges_[1].rfind("bytes=", 0), 0u);
}

TEST_F(DownloadHostTest, AServerThatIgnoresTheRangeStillGivesTheRightFile) {
    auto host = RecordingDownloads::make();
    const std::string url = server_.url("/whole.bin");
    host->request(url, DownloadDestination::Documents, "", false, Value(), Value());
    ASSERT_TRUE(pumpMainUntil([&] {
        auto entry = host->getItem(url);
        return entry && entry->task && entry->task->countOfBytesReceived() >= static_cast<std::int64_t>(kSize / 2);
    }));
    host->pause(url);
    ASSERT_TRUE(pumpMainUntil([&] { return host->isResumable(url); }));
    host->request(url, DownloadDestination::Documents, "", false, Value(), Value());
    ASSERT_TRUE(arrived(*host));
    EXPECT_TRUE(sameText(readFile(documents("whole.bin")), content()));
    EXPECT_FALSE(ranges_.at(1).empty());
}

TEST_F(DownloadHostTest, RestoredEntriesArePausedAwayOrCleanedUpWhilePausedOnesStay) {
    auto store = LastInfo::make(withLibraryPath("DownloadHost.1-DownloadHost"));
    store->set(
        Value::dictionary({{"http://old/a", Value::dictionary({{"dest", 1}, {"pathSaveTo", "x"}, {"percent", 0.5}})},
                           {"http://old/b", Value::dictionary({{"dest", 1}, {"pathSaveTo", "x"}})}}),
        "tasks");
    store->set(Value::dictionary(
                   {{"http://old/c",
                     Value::dictionary({{"dest", 1}, {"resumePath", "DownloadGlobal.ResumeData.1/abcdefghij"}})}}),
               "rtasks");
    ASSERT_TRUE(store->save());

    auto host = DownloadHost::make();
    EXPECT_TRUE(host->isActive("http://old/a"));
    host->pause("http://old/a");
    EXPECT_FALSE(host->isActive("http://old/a"));
    EXPECT_FALSE(host->isResumable("http://old/a"));
    host->refresh();
    loop().drainAll();
    EXPECT_TRUE(host->tasks().empty());
    EXPECT_TRUE(host->isResumable("http://old/c"));
    auto reread = LastInfo::make(withLibraryPath("DownloadHost.1-DownloadHost"));
    EXPECT_EQ(reread->get("tasks").count(), 0u);
    EXPECT_EQ(reread->get("rtasks").count(), 1u);
}

TEST_F(DownloadHostTest, ListsFilterByFolderAndKind) {
    auto store = LastInfo::make(withLibraryPath("DownloadHost.1-DownloadHost"));
    store->set(Value::dictionary({{"A", Value::dictionary({{"dest", 1}, {"pathSaveTo", "p"}})},
                                  {"B", Value::dictionary({{"dest", 2}, {"pathSaveTo", "p"}})}}),
               "tasks");
    store->set(Value::dictionary({{"A", Value::dictionary({{"dest", 1}, {"pathSaveTo", "p"}})},
                                  {"C", Value::dictionary({{"dest", 1}, {"pathSaveTo", "q"}})},
                                  {"D", Value::dictionary({{"dest", 7}, {"pathSaveTo", "p"}})},
                                  {"E", Value("not an entry")}}),
               "rtasks");
    ASSERT_TRUE(store->save());
    auto host = DownloadHost::make();
    using List = std::vector<std::string>;
    EXPECT_EQ(host->getList(std::nullopt, std::nullopt), (List{"A", "B", "A", "C", "D"}));
    EXPECT_EQ(host->getList(std::nullopt, "p"), (List{"A", "B", "A", "D"}));
    EXPECT_EQ(host->getList(DownloadDestination::Library, "p"), (List{"B"}));
    EXPECT_EQ(host->getList(DownloadDestination::FullPath, "p"), (List{"D"})) << "an unknown number is a full path";
    EXPECT_EQ(host->getItem("A")->dest, DownloadDestination::Documents);
    EXPECT_FALSE(host->getItem("Z"));
    EXPECT_FALSE(host->getItem("E")) << "an entry that is no dictionary is left out";
}

TEST(DownloadEntry, TheStoredDictionaryKeepsEveryLastingFieldAndNothingElse) {
    DownloadHost::Entry entry;
    entry.percent = 0.25;
    entry.totalBytesExpectedToWrite = std::int64_t{1} << 33;
    entry.dest = DownloadDestination::Library;
    entry.pathSaveTo = "got";
    entry.newDir = true;
    entry.notiLabel = Value("label");
    entry.notiUserInfo = Value::dictionary({{"k", 1}});
    entry.resumePath = "DownloadGlobal.ResumeData.1/abcdefghij";
    entry.path = "/tmp/arrived";
    entry.error = NSError::withDescription(NSCocoaErrorDomain, 4, "gone");
    entry.done = true;
    const Value stored = entry.stored();
    EXPECT_EQ(stored.dictionaryPtr()->keys(),
              (std::vector<std::string>{"percent", "dest", "pathSaveTo", "newDir", "notiLabel", "notiUserInfo",
                                        "totalBytesExpectedToWrite", "resumePath"}));
    EXPECT_EQ(stored["dest"].integerValue(), 2);
    auto back = DownloadHost::Entry::restored(stored);
    EXPECT_EQ(back->percent, 0.25);
    EXPECT_EQ(back->totalBytesExpectedToWrite, entry.totalBytesExpectedToWrite);
    EXPECT_EQ(back->dest, DownloadDestination::Library);
    EXPECT_EQ(back->pathSaveTo, "got");
    EXPECT_TRUE(back->newDir);
    EXPECT_EQ(back->notiLabel, Value("label"));
    EXPECT_EQ(back->notiUserInfo["k"], Value(1));
    EXPECT_EQ(back->resumePath, entry.resumePath);
    EXPECT_FALSE(back->path || back->error || back->done || back->task);
    EXPECT_EQ(back->stored(), stored);

    // The least a table holds: the label and the optional fields stay out.
    auto bare = DownloadHost::Entry::restored(Value::dictionary({{"dest", 5}, {"resumePath", 3}}));
    EXPECT_EQ(bare->dest, DownloadDestination::FullPath);
    EXPECT_FALSE(bare->resumePath) << "a path that is no string";
    EXPECT_EQ(bare->stored().dictionaryPtr()->keys(),
              (std::vector<std::string>{"percent", "dest", "pathSaveTo", "newDir"}));
}

TEST_F(DownloadHostTest, DamagedStoresGiveEmptyTablesAndNeverNameFilesOutsideTheirFolder) {
    writeFile("data/Library/DownloadHost.1-DownloadHost", "not an archive");
    auto damaged = DownloadHost::make();
    EXPECT_TRUE(damaged->tasks().empty());
    EXPECT_TRUE(damaged->rtasks().empty());

    auto store = LastInfo::make(withLibraryPath("DownloadHost.1-Other"));
    store->set(Value("wrong kind"), "tasks");
    store->set(
        Value::dictionary({{"u1", Value::dictionary({{"resumePath", ""}})},
                           {"u2", Value::dictionary({{"resumePath", "DownloadGlobal.ResumeData.1/../../Documents"}})}}),
        "rtasks");
    ASSERT_TRUE(store->save());
    writeFileAtomically(documents("keep.txt"), "mine").ok();
    // A subclass gets the store of its own class name.
    struct OtherHost : DownloadHost {
        std::string className() const override { return "Other"; }
    };
    auto host = make<OtherHost>();
    EXPECT_TRUE(host->tasks().empty());
    host->cancel("u1");
    EXPECT_FALSE(host->resume("u2"));
    EXPECT_TRUE(existDirectory(withLibraryPath("")));
    EXPECT_EQ(readFile(documents("keep.txt")), "mine");
}

TEST_F(DownloadHostTest, JunkResumeDataStartsTheDownloadAnew) {
    auto host = RecordingDownloads::make();
    const std::string url = server_.url("/files/junk.bin");
    createDirectory(withLibraryPath("DownloadGlobal.ResumeData.1"));
    writeFileAtomically(withLibraryPath("DownloadGlobal.ResumeData.1/0123456789"), "junk").ok();
    auto store = LastInfo::make(withLibraryPath("DownloadHost.1-RecordingDownloads"));
    store->set(
        Value::dictionary(
            {{url, Value::dictionary(
                       {{"dest", 1}, {"pathSaveTo", ""}, {"resumePath", "DownloadGlobal.ResumeData.1/0123456789"}})}}),
        "rtasks");
    ASSERT_TRUE(store->save());
    ASSERT_TRUE(host->isResumable(url));
    auto entry = host->request(url, DownloadDestination::Documents, "", false, Value(), Value());
    ASSERT_TRUE(entry);
    EXPECT_FALSE(existFile(withLibraryPath("DownloadGlobal.ResumeData.1/0123456789")));
    ASSERT_TRUE(arrived(*host));
    EXPECT_TRUE(sameText(readFile(documents("junk.bin")), content()));
}

// A resume file goes one file only: a folder put under its name, for a download cancelled or
// resumed, stays whole with what it holds, and the log says so.
TEST_F(DownloadHostTest, AFolderUnderAResumeFilesNameStaysWhole) {
    auto host = RecordingDownloads::make();
    const std::string url = server_.url("/files/held-aside.bin");
    const std::string cancelled = "DownloadGlobal.ResumeData.1/abcdefghij";
    const std::string resumed = "DownloadGlobal.ResumeData.1/0123456789";
    for (const std::string& name : {cancelled, resumed}) writeFile("data/Library/" + name + "/inside/keep", "mine");
    auto store = LastInfo::make(withLibraryPath("DownloadHost.1-RecordingDownloads"));
    store->set(
        Value::dictionary({{"http://old/c", Value::dictionary({{"dest", 1}, {"resumePath", cancelled}})},
                           {url, Value::dictionary({{"dest", 1}, {"pathSaveTo", ""}, {"resumePath", resumed}})}}),
        "rtasks");
    ASSERT_TRUE(store->save());
    LogCapture log;

    host->cancel("http://old/c");
    EXPECT_FALSE(host->isResumable("http://old/c"));
    EXPECT_EQ(readFile(withLibraryPath(cancelled + "/inside/keep")), "mine");
    EXPECT_TRUE(log.contains("cannot remove " + withLibraryPath(cancelled) + " (Is a directory); it stays"));

    ASSERT_TRUE(host->request(url, DownloadDestination::Documents, "", false, Value(), Value()));
    ASSERT_TRUE(arrived(*host));
    EXPECT_TRUE(sameText(readFile(documents("held-aside.bin")), content())) << "started anew";
    EXPECT_EQ(readFile(withLibraryPath(resumed + "/inside/keep")), "mine");
    EXPECT_TRUE(log.contains("cannot remove " + withLibraryPath(resumed) + " (Is a directory); it stays"));
}

TEST_F(DownloadHostTest, FailuresEndAsErrorsWithoutAFinalPath) {
    NSURLRequest::setDefaultTimeoutInterval(0.3);
    auto host = RecordingDownloads::make();
    JunkServer junk;
    writeFileAtomically(documents("plain-file"), "x").ok();
    std::vector<std::string> urls = {refusedURL() + "r.bin", server_.url("/short"),
                                     server_.url("/loop"),   server_.url("/silent"),
                                     junk.url("/j.bin"),     server_.url("/files/unwritable.bin")};
    for (std::size_t i = 0; i + 1 < urls.size(); ++i)
        host->request(urls[i], DownloadDestination::Documents, "f", false, Value("l"), Value());
    host->request(urls.back(), DownloadDestination::FullPath, documents("plain-file/sub"), false, Value("l"), Value());
    ASSERT_TRUE(pumpMainUntil([&] { return host->notes.size() == urls.size(); }));
    EXPECT_EQ(host->notes, std::vector<bool>(urls.size(), false));
    EXPECT_TRUE(host->finished.empty());
    for (const Value& info : host->infos) EXPECT_FALSE(info["path"]);
    ASSERT_TRUE(host->lastError());
    EXPECT_TRUE(host->tasks().empty());
}

TEST_F(DownloadHostTest, AMissingTemporaryFileIsAnErrorAndNoOtherFileIsTaken) {
    auto host = RecordingDownloads::make();
    const std::string url = server_.url("/held.bin");
    auto entry = host->request(url, DownloadDestination::Documents, "m", false, Value("l"), Value());
    ASSERT_TRUE(pumpMainUntil([&] { return entry->percent >= 0.5; }));
    auto task = entry->task;
    // A file of the announced size that belongs to someone else.
    const std::string stranger = NSTemporaryDirectory() + "stranger.tmp";
    writeFileAtomically(stranger, content()).ok();
    host->URLSessionDownloadTaskDidFinishDownloadingToURL(*host->session(), *task,
                                                          NSURL::fileURLWithPath("/no/such/file.tmp"));
    EXPECT_EQ(host->notes, std::vector<bool>{false});
    EXPECT_TRUE(host->finished.empty());
    ASSERT_TRUE(host->lastError());
    EXPECT_TRUE(existFile(stranger));
    EXPECT_FALSE(host->isActive(url));
    task->cancel();
}

}  // namespace
