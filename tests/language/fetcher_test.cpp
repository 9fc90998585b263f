// The page fetcher's query building and extraction, and the response additions.
#include <gtest/gtest.h>

#include "language/fetcher_base.h"
#include "language/url_response_custom.h"

namespace {

TEST(FetcherTest, QueriesEscapeByMode) {
    EXPECT_EQ(FetcherBase::urlencode("a b/\xC3\xA9-._~"), "a%20b%2F%C3%A9-._~");
    std::string url = "http://h/p";
    FetcherBase::append(url, "q", Value("a b"), 1);
    EXPECT_EQ(url, "http://h/p?q=a%20b");
    FetcherBase::append(url, "raw", Value("x y"), 0);
    FetcherBase::append(url, "n", Value(5), 1);
    EXPECT_EQ(url, "http://h/p?q=a%20b&raw=x y&n=5");
    FetcherBase::append(url, "empty", Value(""), 1);
    FetcherBase::append(url, "none", Value(), 1);
    FetcherBase::append(url, "list", Value::array({1}), 1);
    EXPECT_EQ(url, "http://h/p?q=a%20b&raw=x y&n=5");
    FetcherBase::append(url, "odd", Value("v"), 3);
    EXPECT_EQ(url, "http://h/p?q=a%20b&raw=x y&n=5&");
    std::string escaped = "http://h";
    FetcherBase::append(escaped, "u", Value("a b#c"), 2);
    EXPECT_EQ(escaped, "http://h?u=a%20b%23c");
}

TEST(FetcherTest, PatternsMatchWithoutCaseAndTheMostMatchesWin) {
    auto f = FetcherBase::make();
    const std::string page = "<A href=\"/one\">1</a><a href=\"/two\">2</a><img src=\"x.png\">";
    Value patterns = Value::array({"<img src=\"([^\"]+)\"", "<a href=\"([^\"]+)\"", "([", "HREF=\"(/t[^\"]+)\""});
    auto best = f->matchList(page, patterns);
    ASSERT_TRUE(best);
    ASSERT_EQ(best->size(), 2u);
    EXPECT_EQ((*best)[0][1], "/one");
    EXPECT_EQ(f->matchAllList(page, patterns).size(), 4u);
    EXPECT_TRUE(f->matchAllList(page, Value("not a set")).empty());
    EXPECT_FALSE(f->matchList(page, Value::array({"(nothing)"})));

    // Ties: the earliest pattern, in the dictionary's own order.
    Value named = Value::dictionary({{"z", "(/two)"}, {"a", "(/one)"}, {"j", Value::array({"/id"})}});
    EXPECT_EQ(f->match1(page, named, Value()), Value("/two"));
}

TEST(FetcherTest, JSONKeyPathsAreTheFallback) {
    auto f = FetcherBase::make();
    Value set = Value::dictionary({{"p", "id=(\\d+)"}, {"j", Value::array({"/missing", "/data/id", "/n"})}});
    Value json = Value::dictionary({{"data", Value::dictionary({{"id", 5}})}, {"n", "x"}});
    EXPECT_EQ(f->match1(std::string("id=42"), set, json), Value("42"));
    EXPECT_EQ(f->match1(std::nullopt, set, json), Value(5));
    EXPECT_EQ(f->match1String(std::string("nothing here"), set, json), "5");
    EXPECT_EQ(f->match1(std::nullopt, set, json, [](const std::string& path) { return path == "/n" ? path : "/none"; }),
              Value("x"));
    EXPECT_TRUE(f->match1(std::nullopt, Value::array({"(x)"}), json).isNull());
    EXPECT_TRUE(f->match1Jsons(std::string("id=42"), set, Value::array()).isNull());
    EXPECT_EQ(f->match1Jsons(std::nullopt, set, Value::array({Value::dictionary(), json})), Value(5));
    EXPECT_EQ(f->match1StringJsons(std::nullopt, set, Value::array({json})), "5");
    EXPECT_FALSE(f->match1String(std::nullopt, set, Value::dictionary()));
}

TEST(FetcherTest, ResponsesNameTheirRedirectAndAreAlwaysUTF8) {
    auto url = NSURL::URLWithString("http://h/p");
    auto redirect =
        NSHTTPURLResponse::make(url, 302,
                                std::vector<NSHTTPURLResponse::HeaderField>{
                                    {"location", "/next"}, {"Content-Type", "text/html; charset=iso-8859-1"}});
    EXPECT_EQ(location(*redirect), "/next");
    EXPECT_EQ(encoding(*redirect), NSStringEncoding::UTF8);
    auto plain = NSHTTPURLResponse::make(url, 200, std::vector<NSHTTPURLResponse::HeaderField>{});
    EXPECT_FALSE(location(*plain));
}

}  // namespace
