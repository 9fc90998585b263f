// The application main: the delegate by class name, the registry's initial controller in the key
// window, launching, and the delegate events the host or services hand over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/host/ui_application_main.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/view/ui_remote_control.h"
#include "tests/support/location_stand_in.h"
#include "tests/support/required_tool.h"

namespace {

struct Delegate : UIApplicationDelegate {
    std::vector<std::string> events;
    std::shared_ptr<UIWindow> window_;
    std::function<void()> sessionHandler;
    std::shared_ptr<UIWindow> window() const override { return window_; }
    void setWindow(std::shared_ptr<UIWindow> w) override { window_ = std::move(w); }
    bool didFinishLaunchingWithOptions(UIApplication&, const Value&) override {
        events.push_back("launched");
        return true;
    }
    bool continueUserActivity(UIApplication&, const Value&, std::function<void(const Value&)>) override {
        events.push_back("activity");
        return true;
    }
    void handleEventsForBackgroundURLSession(UIApplication&, const std::string& id, std::function<void()> h) override {
        events.push_back("session " + id);
        sessionHandler = std::move(h);
    }
    bool openURL(UIApplication&, const std::string& url, const std::string& source, const Value&) override {
        events.push_back("open " + url + " from " + source);
        return false;
    }
    void didReceiveLocalNotification(UIApplication&, const Value& n) override {
        events.push_back("local " + n["id"].stringValue());
    }
};

struct ApplicationMainTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        UIApplication::resetSharedApplication();
        UIStoryboard::resetMainStoryboard();
        options.kind = HostKind::Headless;
        options.screen = *DeviceModel::named("home-button");
    }
    void TearDown() override {
        UIApplicationDelegateClasses::clear();
        UIStoryboard::resetMainStoryboard();
        UIScreen::setMainScreen(UIScreen::make());
        Clock::useReal();
    }
    HostOptions options;
};

TEST_F(ApplicationMainTest, TheDelegateIsMadeByNameAndTheInitialControllerBecomesTheRoot) {
    EXPECT_FALSE(UIApplicationLaunchWithOptions(options, "Delegate").ok());

    std::shared_ptr<Delegate> made;
    UIApplicationDelegateClasses::registerClass("Delegate", [&] { return made = std::make_shared<Delegate>(); });
    auto root = UIViewController::make();
    UIStoryboard::mainStoryboard()->registerController("Root", [&] { return root; });
    UIStoryboard::mainStoryboard()->setInitialIdentifier("Root");

    auto launched = UIApplicationLaunchWithOptions(options, "Delegate");
    ASSERT_TRUE(launched.ok()) << launched.error();
    auto app = UIApplication::sharedApplication();
    EXPECT_EQ(app->delegate(), made);
    EXPECT_EQ(made->events, std::vector<std::string>{"launched"});
    EXPECT_EQ(made->window(), launched.value().window);
    EXPECT_EQ(app->keyWindow(), launched.value().window);
    EXPECT_EQ(launched.value().window->rootViewController(), root);
    EXPECT_TRUE(root->isViewLoaded());
    EXPECT_EQ(launched.value().host->run(), 0);
    launched.value().window->setRootViewController(nullptr);
}

TEST_F(ApplicationMainTest, DelegateEventsReachTheDelegateOrAnswerNoWithoutOne) {
    auto app = UIApplication::sharedApplication();
    EXPECT_FALSE(app->continueUserActivity(Value(), nullptr));
    EXPECT_FALSE(app->openURLFromSource("a:b", "c"));

    auto delegate = std::make_shared<Delegate>();
    app->setDelegate(delegate);
    EXPECT_TRUE(app->continueUserActivity(Value(), nullptr));
    int called = 0;
    app->handleEventsForBackgroundURLSession("transfers", [&] { ++called; });
    EXPECT_FALSE(app->openURLFromSource("korva://x", "other.app"));
    app->receiveLocalNotification(Value::dictionary({{"id", Value("n1")}}));
    EXPECT_EQ(delegate->events,
              (std::vector<std::string>{"activity", "session transfers", "open korva://x from other.app", "local n1"}));
    ASSERT_TRUE(delegate->sessionHandler);
    delegate->sessionHandler();
    EXPECT_EQ(called, 1);
}

struct Handler : UIViewController, RemoteControlResponder {
    std::vector<std::shared_ptr<NSObject>> events;
    void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>& e) override { events.push_back(e); }
};

TEST_F(ApplicationMainTest, RemoteControlEventsGoUpTheResponderChain) {
    auto handler = make<Handler>();
    auto inner = UIView::make();
    handler->view()->addSubview(inner);
    auto event = UIView::make();
    EXPECT_TRUE(sendRemoteControlEvent(inner, event));
    EXPECT_EQ(handler->events, std::vector<std::shared_ptr<NSObject>>{event});
    EXPECT_FALSE(sendRemoteControlEvent(UIView::make(), event));
}

// With the desktop's location service running, the program's client of it lives on a thread of its
// own; the whole road from the environment to the end of the process ends with the loop's status.
TEST_F(ApplicationMainTest, TheProgramExitsWithItsStatusBesideTheDesktopLocationService) {
    if (auto why = testsupport::missingTool("dbus-daemon")) GTEST_SKIP() << *why;
    // The exit runs in a fresh run of this binary, which finds the parent's bus through the
    // environment and leaves the service to it.
    constexpr const char* kBusVariable = "KORVA_TEST_LOCATION_BUS";
    std::optional<testsupport::LocationStandIn> service;
    std::filesystem::path folder;
    if (std::getenv(kBusVariable)) {
        folder = std::getenv("KORVA_DATA_DIR");
    } else {
        service.emplace();
        ASSERT_TRUE(service->startBus()) << "dbus-daemon could not start a private bus";
        ASSERT_TRUE(service->startService());
        folder = std::filesystem::temp_directory_path() / ("korva-exit-" + std::to_string(std::random_device{}()));
        ::setenv(kBusVariable, service->address.c_str(), 1);
        ::setenv("KORVA_DATA_DIR", folder.c_str(), 1);
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("DBUS_SYSTEM_BUS_ADDRESS", std::getenv(kBusVariable), 1);
            ::setenv("KORVA_HOST", "headless", 1);
            ::setenv("KORVA_TIME", "virtual", 1);
            ::setenv("KORVA_LIBRARY_DIR", (folder / "library").c_str(), 1);
            UIApplicationDelegateClasses::registerClass("Delegate", [] { return std::make_shared<Delegate>(); });
            std::exit(UIApplicationMain(0, nullptr, "", "Delegate"));
        },
        ::testing::ExitedWithCode(0), "");
    ::unsetenv(kBusVariable);
    ::unsetenv("KORVA_DATA_DIR");
    std::filesystem::remove_all(folder);
}

// Background work still running when the loop ends (a photo being written) finishes before the
// program returns, so the process does not tear down what the work uses under it.
TEST_F(ApplicationMainTest, TheProgramEndsAfterItsBackgroundWork) {
    // The death test runs this body again in a child process: the marker's name is handed down to
    // it, so that the file the child writes is the one removed here.
    constexpr const char* kMarkerVariable = "KORVA_TEST_EXIT_WORK_MARKER";
    if (!std::getenv(kMarkerVariable))
        ::setenv(kMarkerVariable,
                 (std::filesystem::temp_directory_path() / ("korva-exit-work-" + std::to_string(::getpid()))).c_str(),
                 1);
    const std::filesystem::path marker = std::getenv(kMarkerVariable);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("KORVA_HOST", "headless", 1);
            ::setenv("KORVA_TIME", "virtual", 1);
            struct Saving : Delegate {
                std::filesystem::path file;
                bool didFinishLaunchingWithOptions(UIApplication& app, const Value& options) override {
                    DispatchQueue::serial("test.save")->async([file = file] {
                        // Slow work, as a large photo's encoding is.
                        std::this_thread::sleep_for(std::chrono::milliseconds(300));
                        std::ofstream(file) << "saved";
                    });
                    return Delegate::didFinishLaunchingWithOptions(app, options);
                }
            };
            UIApplicationDelegateClasses::registerClass("Delegate", [marker] {
                auto d = std::make_shared<Saving>();
                d->file = marker;
                return d;
            });
            const int code = UIApplicationMain(0, nullptr, "", "Delegate");
            std::exit(code == 0 && std::filesystem::exists(marker) ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
    std::filesystem::remove(marker);
    ::unsetenv(kMarkerVariable);
}

}  // namespace
