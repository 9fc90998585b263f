// The application's own delegate meets the background transfer services: an upload finished while
// the application is in the background hands the platform's completion handler to the delegate,
// and the service takes it from there, calls it once and leaves none stored.
#include "app/app_delegate.h"
#include "app/rate/rate_prompt.h"
#include "foundation/background_session_completion.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "tests/language/server_fixture.h"

namespace {

class BackgroundTransfersTest : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        server_.routes().Post("/upload", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("got " + req.body, "text/plain");
        });
        start();
        UIApplication::resetSharedApplication();
        delegate_ = AppDelegate::make();
        UIApplication::sharedApplication()->setDelegate(delegate_);
        UIApplication::sharedApplication()->finishLaunching();
    }
    void TearDown() override {
        UIApplication::resetSharedApplication();
        // The launch made the shared rating prompt, with its launch step queued: a later case's
        // prompt must start from none.
        RatePrompt::resetSharedInstance();
        ServerFixture::TearDown();
    }
    std::shared_ptr<AppDelegate> delegate_;
};

TEST_F(BackgroundTransfersTest, TheApplicationDelegateKeepsAndHandsBackTheHandler) {
    EXPECT_EQ(applicationBackgroundSessionCompletion().get(),
              static_cast<BackgroundSessionCompletion*>(delegate_.get()));
    LogCapture log;
    std::optional<Bytes> reply;
    httpPOST2(server_.url("/upload"), "text/plain", bytes("payload"), false,
              [&](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
                  reply = std::move(data);
              });
    UIApplication::sharedApplication()->toggleBackground();
    ASSERT_TRUE(pumpMainUntil([&] { return reply.has_value(); }));
    loop().drainAll();
    EXPECT_EQ(text(reply), "got payload");
    EXPECT_TRUE(log.contains("the application finished with its events")) << "the stored handler was never called";
    EXPECT_FALSE(delegate_->backgroundSessionCompletionHandler()) << "the handler was left stored";

    // A handler handed over directly is called once through the services' hand-back.
    int calls = 0;
    UIApplication::sharedApplication()->handleEventsForBackgroundURLSession("x", [&] { ++calls; });
    callBackgroundSessionCompletionHandler();
    callBackgroundSessionCompletionHandler();
    EXPECT_EQ(calls, 1);
}

}  // namespace
