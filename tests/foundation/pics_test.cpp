// The picture cache against a local server: shared downloads, reuse and expiry of files, the
// index file's contents, and failures.
#include "foundation/pics.h"

#include <gtest/gtest.h>

#include <atomic>

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/foundation/temp_sandbox.h"
#include "tests/support/local_server.h"

namespace {

std::string pngBytes() {
    UIGraphicsBeginImageContext(CGSize{4, 3});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    Bytes png = UIImagePNGRepresentation(image).value();
    return std::string(png.begin(), png.end());
}

class PicsTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        std::string png = pngBytes();
        server_.routes().Get("/pic one.png", [this, png](const httplib::Request&, httplib::Response& res) {
            ++hits_;
            res.set_content(png, "image/png");
        });
        server_.routes().Get(R"(/slow/(\d+).png)", [this, png](const httplib::Request&, httplib::Response& res) {
            int now = ++active_;
            for (int seen = maxActive_.load(); now > seen && !maxActive_.compare_exchange_weak(seen, now);) {
            }
            server_.pause(0.2);
            --active_;
            res.set_content(png, "image/png");
        });
        server_.routes().Get("/text", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("no picture", "text/plain");
        });
        server_.start();
        queue_ = dispatch_queue_create("pics-test");
        pics_ = Pics::make();
    }

    struct Result {
        int calls = 0;
        bool onMain = false;
        std::shared_ptr<UIImage> image;
    };
    PicsBase::Completion record(Result& r) {
        return [&r](std::shared_ptr<UIImage> image) {
            ++r.calls;
            r.onMain = RunLoop::isMainThread();
            r.image = std::move(image);
        };
    }
    void request(const std::string& url, const std::string& file, Result& r, int* preprocessed = nullptr) {
        pics_->downloadAndSave(
            queue_, url, file, 20, 10,
            [preprocessed](std::shared_ptr<UIImage> image) {
                if (preprocessed) ++*preprocessed;
                return image;
            },
            record(r));
    }

    LocalServer server_;
    std::atomic<int> hits_{0};
    std::atomic<int> active_{0}, maxActive_{0};
    dispatch_queue_t queue_;
    std::shared_ptr<Pics> pics_;
};

TEST_F(PicsTest, ConcurrentRequestsShareOneDownloadAndFilesAreReused) {
    std::string url = server_.url("/pic%20one.png");
    std::string file = withCachePath("pics/one.jpg");
    Result first, second, third;
    int preprocessed = 0;
    request(url, file, first, &preprocessed);
    request(url, file, second, &preprocessed);
    EXPECT_EQ(first.calls + second.calls, 0);
    loop().drainAll();
    EXPECT_EQ(hits_.load(), 1);
    EXPECT_EQ(preprocessed, 1);
    for (Result* r : {&first, &second}) {
        EXPECT_EQ(r->calls, 1);
        EXPECT_TRUE(r->onMain);
        ASSERT_TRUE(r->image);
        EXPECT_EQ(r->image->size().width, 4);
    }
    ASSERT_TRUE(existFile(file));

    request(url, file, third);
    loop().drainAll();
    EXPECT_EQ(third.calls, 1);
    EXPECT_TRUE(third.image);
    EXPECT_EQ(hits_.load(), 1);  // served from the file

    // After the days run out the picture is fetched again.
    loop().advance(21 * 86400.0);
    Result late;
    request(url, file, late);
    loop().drainAll();
    EXPECT_EQ(hits_.load(), 2);
    EXPECT_TRUE(late.image);
}

TEST_F(PicsTest, MaxQueueLimitsTheDownloadsRunningAtOnce) {
    for (std::uint64_t limit : {1u, 0u}) {
        maxActive_ = 0;
        std::vector<Result> results(3);
        for (int i = 0; i < 3; ++i) {
            std::string name = std::to_string(limit) + std::to_string(i);
            pics_->downloadAndSave(
                dispatch_get_global_queue(), server_.url("/slow/" + name + ".png"),
                withCachePath("pics/" + name + ".jpg"), 20, limit, [](std::shared_ptr<UIImage> image) { return image; },
                record(results[i]));
        }
        loop().drainAll();
        for (const Result& r : results) EXPECT_TRUE(r.image);
        if (limit == 1) {
            EXPECT_EQ(maxActive_.load(), 1);
        } else {
            EXPECT_GT(maxActive_.load(), 1);
        }
    }
}

TEST_F(PicsTest, TheIndexKeepsOnlyDatesAndDays) {
    Result r;
    request(server_.url("/pic%20one.png"), withCachePath("pics/a.jpg"), r);
    loop().drainAll();
    ASSERT_TRUE(r.image);
    auto store = LastInfo::make(withCachePath("Global.Pics.5"));
    Value dict = store->get("dict");
    ASSERT_TRUE(dict.isDictionary());
    Value entry = dict[server_.url("/pic one.png")];  // keyed by the unescaped address
    ASSERT_TRUE(entry.isDictionary());
    EXPECT_TRUE(entry["date"].isDate());
    EXPECT_EQ(entry["durday"].integerValue(), 20);
    EXPECT_EQ(entry.count(), 2u);

    // A new cache over the same index reuses the file.
    pics_ = Pics::make();
    Result again;
    request(server_.url("/pic%20one.png"), withCachePath("pics/a.jpg"), again);
    loop().drainAll();
    EXPECT_TRUE(again.image);
    EXPECT_EQ(hits_.load(), 1);
}

TEST_F(PicsTest, AFileTheIndexHasNoDateForIsFetchedAgain) {
    // A picture of an earlier run, with no index record at all.
    std::string file = withCachePath("pics/old.jpg");
    writeFile("data/Library/Caches/pics/old.jpg", pngBytes());
    Result unindexed;
    request(server_.url("/pic%20one.png"), file, unindexed);
    loop().drainAll();
    EXPECT_TRUE(unindexed.image);
    EXPECT_EQ(hits_.load(), 1);

    // A record that lost its date (an index set aside and rebuilt by hand, say).
    pics_->dict()[server_.url("/pic one.png")].dictionaryPtr()->remove("date");
    Result undated;
    request(server_.url("/pic%20one.png"), file, undated);
    loop().drainAll();
    EXPECT_TRUE(undated.image);
    EXPECT_EQ(hits_.load(), 2);
    EXPECT_TRUE(pics_->dict()[server_.url("/pic one.png")]["date"].isDate());
}

TEST_F(PicsTest, FailuresGiveNoPictureOnTheMainThread) {
    Result invalid, notPicture, refused;
    int preprocessed = 0;
    request("not a url", withCachePath("pics/x.jpg"), invalid, &preprocessed);
    request(server_.url("/text"), withCachePath("pics/y.jpg"), notPicture, &preprocessed);
    request("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/p.png", withCachePath("pics/z.jpg"),
            refused);
    EXPECT_EQ(invalid.calls, 0);
    loop().drainAll();
    for (Result* r : {&invalid, &notPicture, &refused}) {
        EXPECT_EQ(r->calls, 1);
        EXPECT_TRUE(r->onMain);
        EXPECT_FALSE(r->image);
    }
    EXPECT_EQ(preprocessed, 1);  // bytes that are no picture still pass through, as none
    EXPECT_FALSE(existFile(withCachePath("pics/y.jpg")));

    // An unreadable file is dropped and the picture fetched again.
    std::string broken = withCachePath("pics/broken.jpg");
    writeFile("data/Library/Caches/pics/broken.jpg", "garbage");
    ASSERT_TRUE(existFile(broken));
    Result repaired;
    request(server_.url("/pic%20one.png"), broken, repaired);
    loop().drainAll();
    EXPECT_TRUE(repaired.image);
    EXPECT_EQ(hits_.load(), 1);
}

// A folder under the picture's name is not the cache's own: it stays whole, the log says so, and
// the picture is downloaded and handed on all the same, kept nowhere.
TEST_F(PicsTest, AFolderUnderThePicturesNameStaysWholeAndThePictureIsStillGiven) {
    const std::string file = withCachePath("pics/held.jpg");
    writeFile("data/Library/Caches/pics/held.jpg/inside/keep", "mine");
    LogCapture log;
    Result r;
    request(server_.url("/pic%20one.png"), file, r);  // no record yet: taken for expired
    loop().drainAll();
    EXPECT_EQ(r.calls, 1);
    EXPECT_TRUE(r.image);
    EXPECT_EQ(hits_.load(), 1);
    EXPECT_EQ(readFile(file + "/inside/keep"), "mine");
    EXPECT_TRUE(log.contains("cannot remove " + file + " (Is a directory); it stays"));
}

}  // namespace
