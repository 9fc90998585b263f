// Reading a URL's text with its encoding detected, and file URLs.
#include "platform/net/url_contents.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/net/url_session.h"
#include "tests/support/local_server.h"

namespace {

class URLContentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& r = server_.routes();
        r.Get("/latin1", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("caf\xE9", "text/plain; charset=ISO-8859-1");
        });
        r.Get("/utf8",
              [](const httplib::Request&, httplib::Response& res) { res.set_content("caf\xC3\xA9", "text/plain"); });
        r.Get("/cp1252", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("\x93quoted\x94", "application/octet-stream");
        });
        r.Get("/utf16", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string("\xFF\xFE"
                                        "h\0i\0",
                                        6),
                            "application/octet-stream");
        });
        r.Get("/bad-utf8", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("caf\xE9", "text/plain; charset=utf-8");
        });
        r.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("gone", "text/plain");
        });
        server_.start();
    }
    Result<std::string> load(const std::string& path, NSStringEncoding* used = nullptr) {
        return stringWithContentsOfURL(NSURL::URLWithString(server_.url(path)), used);
    }
    LocalServer server_;
};

TEST_F(URLContentsTest, TextIsDecodedInTheDetectedEncoding) {
    NSStringEncoding used{};
    ASSERT_TRUE(load("/latin1", &used));
    EXPECT_EQ(load("/latin1").value(), "caf\xC3\xA9");
    EXPECT_EQ(used, NSStringEncoding::ISOLatin1);
    EXPECT_EQ(load("/utf8", &used).value(), "caf\xC3\xA9");
    EXPECT_EQ(used, NSStringEncoding::UTF8);
    EXPECT_EQ(load("/cp1252", &used).value(), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(used, NSStringEncoding::WindowsCP1252);
    EXPECT_EQ(load("/utf16").value(), "hi");
}

TEST_F(URLContentsTest, FailuresGiveNoText) {
    EXPECT_FALSE(load("/bad-utf8"));
    EXPECT_FALSE(load("/missing"));
    EXPECT_FALSE(stringWithContentsOfURL(nullptr));
    EXPECT_FALSE(
        stringWithContentsOfURL(NSURL::URLWithString("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()))));
    // Bytes are read whatever the status.
    auto gone = dataWithContentsOfURL(NSURL::URLWithString(server_.url("/missing")));
    ASSERT_TRUE(gone);
    EXPECT_EQ(std::string(gone->begin(), gone->end()), "gone");
}

TEST(URLContentsFileTest, FileURLsAreRead) {
    std::string path = ::testing::TempDir() + "korva net file.txt";
    std::ofstream(path) << "on disk";
    auto data = dataWithContentsOfURL(NSURL::fileURLWithPath(path));
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), "on disk");
    // A file has a plain response: a type from its extension and its length.
    URLSyncReply reply = sendSynchronousRequest(NSURLRequest(NSURL::fileURLWithPath(path)));
    ASSERT_TRUE(reply.response);
    EXPECT_FALSE(std::dynamic_pointer_cast<NSHTTPURLResponse>(reply.response));
    EXPECT_EQ(reply.response->MIMEType(), "text/plain");
    EXPECT_EQ(reply.response->expectedContentLength(), 7);
    std::remove(path.c_str());
    EXPECT_FALSE(dataWithContentsOfURL(NSURL::fileURLWithPath(path)));
}

}  // namespace
