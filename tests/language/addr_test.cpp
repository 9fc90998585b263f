// The address book against a local server: superseded replies, halt ids, the one retry of a
// resolver that is not final, JSON posts, raw posts through the upload service and the remote
// string table.
#include "language/addr.h"

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/ui/app/ui_screen.h"
#include "tests/language/server_fixture.h"

namespace {

// A book whose URLs are not final: the key resolves to a fixed address, and every call counts.
class StaleBook : public AddrBase {
public:
    KORVA_MAKE(StaleBook)
    void url(const std::string&, const URLBlock& block) override {
        ++resolved;
        block(address, false);
    }
    std::string address;
    int resolved = 0;

protected:
    StaleBook() = default;
};

struct Replies {
    std::vector<std::string> bodies;
    AddrBase::ReplyBlock record() {
        return [this](std::optional<Bytes> body) {
            bodies.push_back(body ? std::string(body->begin(), body->end()) : "<none>");
        };
    }
};

class AddrTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        auto& r = server_.routes();
        // "?n=slow" waits for the gate; the reply names the request.
        r.Get("/page", [this](const httplib::Request& req, httplib::Response& res) {
            if (req.get_param_value("n") == "slow") {
                while (!gate_) server_.pause(0.005);
            }
            res.set_content("reply " + req.get_param_value("n"), "text/plain");
        });
        r.Post("/json", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Content-Type") + "|" + req.body, "text/plain");
        });
        r.Post("/raw", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_param_value("q") + "|" + req.get_header_value("Content-Type") + "|" + req.body,
                            "text/plain");
        });
        r.Get("/d/lang.korvas.html", [this](const httplib::Request& req, httplib::Response& res) {
            query_ = req.get_param_value("a") + "," + req.get_param_value("version") + "," +
                     req.get_param_value("lang") + "," + req.get_param_value("p");
            res.set_content(page_, "text/html");
        });
        start();
    }
    std::string query_;
    std::string page_ = "<html>\n<!-- DRAVELINQT:{\"Settings\":\n\"Asetukset\"}-->\n</html>";
};

TEST_F(AddrTest, AnOlderReplyForTheSameKeyIsDroppedWheneverItArrives) {
    auto book = AddrBase::make();
    const std::string key = server_.url("/page");
    for (bool olderSlow : {true, false}) {
        Replies older, newer;
        gate_ = false;
        book->get(key, Value::dictionary({{"n", olderSlow ? "slow" : "old"}}), older.record());
        book->get(key, Value::dictionary({{"n", olderSlow ? "new" : "slow"}}), newer.record());
        if (olderSlow) {
            ASSERT_TRUE(pumpMainUntil([&] { return newer.bodies.size() == 1; }));
        } else {
            // The older reply arrives first (its halt id is released) and is still dropped.
            ASSERT_TRUE(pumpMainUntil([&] { return book->haltids()[key].count() == 1; }));
            EXPECT_TRUE(newer.bodies.empty());
        }
        gate_ = true;
        loop().drainAll();
        EXPECT_TRUE(older.bodies.empty());
        EXPECT_EQ(newer.bodies, std::vector<std::string>{olderSlow ? "reply new" : "reply slow"});
        // Every request has completed: numbering starts again.
        EXPECT_EQ(book->halt0(key), "0");
        book->halt1(key, "0");
    }
}

TEST_F(AddrTest, TheBaseResolverNeverRetriesAndANonFinalOneRetriesOnce) {
    Replies base;
    auto plain = AddrBase::make();
    plain->get(refusedURL(), Value(), base.record());
    loop().drainAll();
    EXPECT_EQ(base.bodies, std::vector<std::string>{"<none>"});

    auto stale = StaleBook::make();
    stale->lastInfo()->set(Value(1.0), "at");
    ASSERT_TRUE(stale->lastInfo()->save());
    stale->address = refusedURL();
    Replies retried;
    stale->get("k", Value(), retried.record());
    loop().drainAll();
    EXPECT_EQ(stale->resolved, 2);
    EXPECT_EQ(retried.bodies, std::vector<std::string>{"<none>"});
    EXPECT_TRUE(stale->lastInfo()->get("at").isNull());
    // Removed in memory only: the file still has it.
    EXPECT_EQ(LastInfo::make(withLibraryPath("Global.Addr.2"))->get("at"), Value(1.0));

    // A URL that answers needs no retry.
    stale->address = server_.url("/page?n=ok");
    Replies answered;
    stale->post("k", Value::dictionary(), answered.record());
    loop().drainAll();
    EXPECT_EQ(stale->resolved, 3);
}

TEST_F(AddrTest, PostsSendTheDictionaryAsJSON) {
    auto book = AddrBase::make();
    Replies replies;
    book->post(server_.url("/json"), Value::dictionary({{"a", 1}, {"b", "x"}}), replies.record());
    loop().drainAll();
    EXPECT_EQ(replies.bodies, std::vector<std::string>{"application/json|{\"a\":1,\"b\":\"x\"}"});
}

TEST_F(AddrTest, RawPostsGoThroughTheUploadServiceToTheBooksURL) {
    auto book = AddrBase::make();
    book->dict().set("upload", Value(server_.url("/raw")));
    Replies replies;
    auto used = book->pdata("upload", Value::dictionary({{"q", "a b"}}), "text/plain", bytes("raw body"), false,
                            replies.record());
    EXPECT_EQ(used, server_.url("/raw") + "?q=a%20b");
    loop().drainAll();
    EXPECT_EQ(replies.bodies, std::vector<std::string>{"a b|text/plain|raw body"});

    // A key the book lacks sends nothing and fails at once.
    Replies missing;
    EXPECT_FALSE(book->pdata("absent", Value::dictionary(), "text/plain", bytes("x"), false, missing.record()));
    EXPECT_EQ(missing.bodies, std::vector<std::string>{"<none>"});
}

TEST_F(AddrTest, TheStringTableCarriesTheDeviceAndParsesTheTaggedPayload) {
    auto book = Addr::make();
    Value table;
    int calls = 0;
    auto record = [&](Value v) {
        ++calls;
        table = v;
    };
    book->stringTable(record);
    loop().drainAll();
    EXPECT_EQ(query_, "Korva,2.5,fi,iphone");
    ASSERT_TRUE(table.isDictionary());
    EXPECT_EQ(table["Settings"], Value("Asetukset"));

    UIScreen::setMainScreen(UIScreen::make(*DeviceModel::named("tablet")));
    for (const char* page : {"<html>no comment</html>", "<!-- DRAVELINQT:{broken-->"}) {
        page_ = page;
        book->stringTable(record);
        loop().drainAll();
        EXPECT_TRUE(table.isNull()) << page;
    }
    EXPECT_EQ(query_, "Korva,2.5,fi,ipad");
    EXPECT_EQ(calls, 3);
}

TEST_F(AddrTest, TheLanguageServicesAreWhatGlobalMakes) {
    EXPECT_TRUE(std::dynamic_pointer_cast<Addr>(Global::shared()->addr()));
    EXPECT_TRUE(Global::shared()->upload());
    EXPECT_TRUE(Global::shared()->download());
}

}  // namespace
