// The server page exchange: request addresses, reply payloads, and the maker's pages served from
// a local server.
#include "language/server_pages.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/net/url.h"
#include "platform/net/url_contents.h"
#include "tests/foundation/temp_sandbox.h"
#include "tests/support/maker_server.h"
#include "tests/support/run_loop_pump.h"

namespace {

class ServerPagesTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        maker_.start();
        writeFile("bundle/Info.plist",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                  "<key>KorvaDownloadHost</key><string>" +
                      maker_.host() + "/</string></dict></plist>");
        NSBundle::setMainBundleRoot(pathOf("bundle"));
    }
    void TearDown() override {
        maker_.stop();
        TempSandboxTest::TearDown();
    }

    std::optional<Value> fetch(const std::string& path, const Value& query) {
        auto address = NSURL::URLWithString(server_pages::pageRequest(server_pages::pageAddress(path), query));
        if (!address) return std::nullopt;
        Result<std::string> page = stringWithContentsOfURL(address);
        if (!page) return std::nullopt;
        return server_pages::replyPayload(*page);
    }

    MakerServer maker_;
};

}  // namespace

TEST_F(ServerPagesTest, RequestsAreThePageAddressAndTheEscapedQuery) {
    EXPECT_EQ(server_pages::pageAddress(server_pages::kMoreAppsPath), maker_.host() + "/d/moreapps.php");
    std::string request =
        server_pages::pageRequest("http://h.invalid/d/moreapps.php",
                                  Value::dictionary({{"name", Value("Korva & Co")}, {"lang", Value("zh-cn")}}));
    EXPECT_EQ(request.rfind("http://h.invalid/d/moreapps.php?", 0), 0u);
    EXPECT_NE(request.find("name=Korva%20%26%20Co"), std::string::npos) << request;
    EXPECT_NE(request.find("lang=zh-cn"), std::string::npos) << request;
}

TEST_F(ServerPagesTest, ARepliesPayloadIsTheFirstTaggedCommentHoldingJson) {
    auto payload = server_pages::replyPayload(
        "<html>before <!-- dravelinqt:[1,\n2,\r\n\t3]--> after "
        "<!-- DRAVELINQT:{\"second\":true}--></html>");
    ASSERT_TRUE(payload);
    EXPECT_EQ(payload->count(), 3u);
    EXPECT_TRUE(server_pages::replyPayload("<!-- DRAVELINQT:{\"a\":\"b\"}-->")->isDictionary());

    for (const char* junk : {"", "<html>no comment</html>", "<!-- DRAVELINQT:{broken-->", "<!-- DRAVELINQT:-->",
                             "<!-- OTHER:{\"a\":1}-->", "<!-- DRAVELINQT:[1,2]", "\xff\xfe<!-- DRAVELINQT:"}) {
        EXPECT_FALSE(server_pages::replyPayload(junk).has_value()) << junk;
    }

    Value table = Value::dictionary({{"Feedback", Value("Palaute \"<!-- -->\"")}, {"n", Value(int64_t(3))}});
    auto back = server_pages::replyPayload(server_pages::replyPage(table));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEqual(table));
}

TEST_F(ServerPagesTest, TheMakersServerAnswersItsThreePages) {
    Value query = Value::dictionary(
        {{"name", Value("Korva")}, {"version", Value("2.5")}, {"lang", Value("fi")}, {"p", Value("iphone")}});
    auto apps = fetch(std::string(server_pages::kMoreAppsPath), query);
    ASSERT_TRUE(apps);
    ASSERT_TRUE(apps->isArray());
    EXPECT_EQ((*apps)[std::size_t(0)]["title"].stringValue(), "Korva Notes");
    auto seen = maker_.lastQuery(std::string(server_pages::kMoreAppsPath));
    ASSERT_TRUE(seen);
    EXPECT_EQ((*seen)["name"], "Korva");
    EXPECT_EQ((*seen)["lang"], "fi");
    EXPECT_EQ((*seen)["p"], "iphone");

    auto table = fetch(std::string(server_pages::kStringTablePath), query);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->isDictionary());
    auto scheme = fetch(MakerServer::kSchemePath, query);
    ASSERT_TRUE(scheme);
    EXPECT_TRUE(scheme->isDictionary());

    maker_.setBody(std::string(server_pages::kMoreAppsPath), "<html>maintenance</html>");
    EXPECT_FALSE(fetch(std::string(server_pages::kMoreAppsPath), query).has_value());
    EXPECT_EQ(maker_.hits(std::string(server_pages::kMoreAppsPath)), 2);
}

TEST(ServerPagesOffMain, APayloadIsReadOffTheMainQueueAndHandedBackOnIt) {
    const auto mainThread = std::this_thread::get_id();
    std::thread::id readOn, handedOn;
    std::optional<Value> handed;
    server_pages::readOffMainQueue<std::optional<Value>>(
        [&readOn] {
            readOn = std::this_thread::get_id();
            return server_pages::replyPayload("<!-- DRAVELINQT:[7]-->");
        },
        [&](std::optional<Value> payload) {
            handedOn = std::this_thread::get_id();
            handed = std::move(payload);
        });
    ASSERT_TRUE(pumpMainUntil([&] { return handed.has_value(); }));
    EXPECT_NE(readOn, mainThread);
    EXPECT_EQ(handedOn, mainThread);
    EXPECT_EQ((*handed)[std::size_t{0}].integerValue(), 7);
}
