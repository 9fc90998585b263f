// The remote scheme: the synchronous fetch from a local server, updates kept in memory until
// saved, refusals that keep the stored scheme, and the default resource as the fallback.
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "language/scheme_base.h"
#include "tests/language/server_fixture.h"

namespace {

class TestScheme : public SchemeBase {
public:
    KORVA_MAKE(TestScheme)
    std::optional<std::string> lastInfoPath() const override { return withLibraryPath("Scheme.test"); }

protected:
    TestScheme(std::string url, std::string bundleName) : SchemeBase(std::move(url), std::move(bundleName)) {}
};

class SchemeTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        server_.routes().Get("/scheme", [this](const httplib::Request& req, httplib::Response& res) {
            query_ = req.get_param_value("name") + "," + req.get_param_value("version") + "," +
                     req.get_param_value("lang") + "," + req.get_param_value("p");
            res.set_content(page_, "text/html; charset=iso-8859-1");
        });
        start();
    }
    std::shared_ptr<TestScheme> scheme(const std::string& bundleName = "scheme") {
        return TestScheme::make(server_.url("/scheme"), bundleName);
    }
    void defaultScheme(const std::string& json) {
        writeFile("bundle/scheme.txt", "<p>\n<!-- DRAVELINQT:" + json + "-->\n</p>");
    }
    Value stored() { return LastInfo::make(withLibraryPath("Scheme.test"))->get("dict"); }

    std::string query_;
    std::string page_ = "<!-- DRAVELINQT:{\"title\":\"Caf\xE9\",\"n\":5,\"list\":[1]}-->";
};

TEST_F(SchemeTest, UpdatesAreReadWithTheirCharsetAndKeptInMemoryUntilSaved) {
    auto s = scheme();
    EXPECT_EQ(s->input()["p"], Value("iphone"));
    ASSERT_TRUE(s->update());
    EXPECT_EQ(query_, "Korva,2.5,fi,iphone");
    EXPECT_EQ(s->vString("/title"), Value("Caf\xC3\xA9"));
    EXPECT_TRUE(stored().isNull());
    s->save();
    EXPECT_EQ(stored()["n"], Value(5));
}

TEST_F(SchemeTest, AFailedUpdateKeepsTheStoredScheme) {
    auto s = scheme();
    ASSERT_TRUE(s->update());
    s->save();
    for (const char* page : {"<p>no payload</p>", "<!-- DRAVELINQT:{broken-->", "<!-- DRAVELINQT:[1,2]-->",
                             "<!-- DRAVELINQT:\"text\"-->"}) {
        page_ = page;
        EXPECT_FALSE(s->update()) << page;
        EXPECT_EQ(s->v0("/n"), Value(5)) << page;
    }
    server_.stop();
    EXPECT_FALSE(s->update());
    EXPECT_FALSE(TestScheme::make("not a url", "scheme")->update());
    EXPECT_EQ(stored()["n"], Value(5));
}

TEST_F(SchemeTest, TypedLookupsFallBackToTheDefaultScheme) {
    defaultScheme("{\"n\":\"five\",\"empty\":\"\",\"list\":[2,3]}");
    auto s = scheme();
    ASSERT_TRUE(s->update());
    // A number where a string is wanted: the default scheme replaces the stored one, and is saved.
    EXPECT_EQ(s->vString("/n"), Value("five"));
    EXPECT_EQ(stored()["list"][std::size_t{0}], Value(2));
    // Empty in both: loaded twice, the empty string is the answer.
    EXPECT_EQ(s->vString("/empty"), Value(""));
    EXPECT_TRUE(s->vDictionary("/list").isNull());
    EXPECT_EQ(s->vArray("/list").count(), 2u);
}

TEST_F(SchemeTest, WithoutADefaultFileTheSchemeIsGone) {
    auto s = scheme("missing");
    ASSERT_TRUE(s->update());
    s->save();
    EXPECT_TRUE(s->vArray("/absent").isNull());
    EXPECT_TRUE(stored().isNull());
    EXPECT_TRUE(s->vString("/title").isNull());
}

}  // namespace
