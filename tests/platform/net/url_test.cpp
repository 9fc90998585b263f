// URL parsing and path standardisation.
#include "platform/net/url.h"

#include <gtest/gtest.h>

#include "platform/net/url_request.h"

TEST(NSURLTest, ParsesTheParts) {
    auto url = NSURL::URLWithString("HTTP://Example.org:8080/a%20b/c?x=1&y=2#frag");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "http");
    EXPECT_EQ(url->host(), "example.org");
    EXPECT_EQ(url->port(), 8080);
    EXPECT_EQ(url->path(), "/a b/c");
    EXPECT_EQ(url->query(), "x=1&y=2");

    auto bare = NSURL::URLWithString("https://host");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->path(), "/");
    EXPECT_FALSE(bare->query());
    EXPECT_FALSE(bare->port());

    auto v6 = NSURL::URLWithString("http://[::1]:81/x");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host(), "[::1]");
    EXPECT_EQ(v6->port(), 81);
}

TEST(NSURLTest, RefusesTextThatFormsNoURL) {
    for (const char* text :
         {"", "no scheme", "/just/a/path", "http://a b/", "http://host/%zz", "http://host/%4", "http://host:99999/",
          "http://host:12ab/", "1http://x/", "http:///path", "http://h/\xC3\xA9", "http://h/{x}"}) {
        EXPECT_FALSE(NSURL::URLWithString(text)) << text;
    }
}

TEST(NSURLTest, FileURLsKeepThePath) {
    auto url = NSURL::fileURLWithPath("/tmp/a b/c.txt");
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->isFileURL());
    EXPECT_EQ(url->absoluteString(), "file:///tmp/a%20b/c.txt");
    EXPECT_EQ(url->path(), "/tmp/a b/c.txt");
    EXPECT_EQ(NSURL::fileURLWithPath("/x/./y/../z")->standardizedPath(), "/x/z");
}

TEST(NSURLTest, StandardizedPathsResolveParentSteps) {
    EXPECT_EQ(standardizePath("/a/./b/../c//"), "/a/c");
    EXPECT_EQ(standardizePath("/../../etc"), "/etc");
    EXPECT_EQ(standardizePath("a/../../b"), "../b");
    EXPECT_EQ(standardizePath("/"), "/");
}

TEST(NSURLRequestTest, HeaderFieldsReplaceByNameWithoutCase) {
    NSURLRequest request(NSURL::URLWithString("http://127.0.0.1/"));
    request.setValue("1", "X-One");
    request.setValue("a", "Accept");
    request.setValue("b", "accept");
    ASSERT_EQ(request.allHTTPHeaderFields().size(), 2u);
    EXPECT_EQ(request.allHTTPHeaderFields()[1].first, "Accept");
    EXPECT_EQ(request.valueForHTTPHeaderField("ACCEPT"), "b");
    EXPECT_FALSE(request.valueForHTTPHeaderField("Cookie"));
}
