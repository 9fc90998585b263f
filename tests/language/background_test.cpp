// Background transfers: an upload and a download started, the application sent to the
// background, both finish; the reply and the file arrive intact, and each hand-back reaches the
// application delegate's stored completion handler, which the services call once and clear.
#include "foundation/background_session_completion.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "foundation/string_custom_paths.h"
#include "language/download_host.h"
#include "platform/ui/app/ui_application.h"
#include "tests/language/server_fixture.h"

namespace {

class TestAppDelegate : public UIApplicationDelegate, public BackgroundSessionCompletion {
public:
    void handleEventsForBackgroundURLSession(UIApplication&, const std::string& identifier,
                                             std::function<void()> completion) override {
        identifiers.push_back(identifier);
        handler_ = [this, identifier, completion] {
            ++calls[identifier];
            completion();
        };
    }
    std::function<void()> backgroundSessionCompletionHandler() const override { return handler_; }
    void setBackgroundSessionCompletionHandler(std::function<void()> handler) override {
        handler_ = std::move(handler);
    }

    std::vector<std::string> identifiers;
    std::map<std::string, int> calls;

private:
    std::function<void()> handler_;
};

class BackgroundTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        auto& r = server_.routes();
        r.Post("/upload", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("got " + req.body, "text/plain");
        });
        r.Get("/photo.jpg", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(300000, 'p'), "image/jpeg");
        });
        start();
        UIApplication::resetSharedApplication();
        delegate_ = std::make_shared<TestAppDelegate>();
        UIApplication::sharedApplication()->setDelegate(delegate_);
        UIApplication::sharedApplication()->finishLaunching();
    }
    void TearDown() override {
        UIApplication::resetSharedApplication();
        ServerFixture::TearDown();
    }
    std::shared_ptr<TestAppDelegate> delegate_;
};

TEST_F(BackgroundTest, TransfersFinishedInTheBackgroundHandBackOnce) {
    auto downloads = std::dynamic_pointer_cast<DownloadHost>(Global::shared()->download());
    ASSERT_TRUE(downloads);
    std::optional<Bytes> reply;
    httpPOST2(server_.url("/upload"), "text/plain", bytes("payload"), false,
              [&](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
                  reply = std::move(data);
              });
    downloads->request(server_.url("/photo.jpg"), DownloadDestination::Documents, "in", false, Value(), Value());
    UIApplication::sharedApplication()->toggleBackground();
    ASSERT_EQ(UIApplication::sharedApplication()->applicationState(), UIApplicationState::Background);

    ASSERT_TRUE(pumpMainUntil([&] { return delegate_->calls.size() == 2; }));
    loop().drainAll();
    EXPECT_EQ(text(reply), "got payload");
    EXPECT_TRUE(sameText(readFile(withDocumentPath("in/photo.jpg")), std::string(300000, 'p')));
    const std::string app = Global::shared()->appName();
    EXPECT_EQ(delegate_->calls,
              (std::map<std::string, int>{{app + "-UploadHost", 1}, {app + "-DownloadHost-DownloadHost", 1}}));
    EXPECT_FALSE(delegate_->backgroundSessionCompletionHandler());
}

TEST_F(BackgroundTest, InTheForegroundNothingIsHandedBack) {
    std::optional<Bytes> reply;
    httpPOST2(server_.url("/upload"), "text/plain", bytes("x"), false,
              [&](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
                  reply = std::move(data);
              });
    loop().drainAll();
    EXPECT_EQ(text(reply), "got x");
    EXPECT_TRUE(delegate_->identifiers.empty());
    // Without a stored handler the hand-back does nothing.
    callBackgroundSessionCompletionHandler();
    EXPECT_TRUE(delegate_->calls.empty());
}

}  // namespace
