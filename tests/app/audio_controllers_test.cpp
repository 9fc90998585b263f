// The audio-aware screen bases: interruptions heard only while on screen, and the background-audio
// screen's hold on the remote-control events across the application's activity changes.
#include <gtest/gtest.h>

#include "app/base/my_bg_audio_controller.h"
#include "foundation/system_services.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/run_loop.h"
#include "platform/media/mp_now_playing_info_center.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/ui/app/ui_application.h"
#include "tests/app/app_test_support.h"

namespace {

// Records every hook; background audio is switched on or off per test.
struct AudioScreen : MyBGAudioController {
    KORVA_MAKE(AudioScreen)
    bool enabled = false;
    std::vector<std::string> calls;
    bool isBGAudioEnabled() const override { return enabled; }
    void myAVSessionInterruptionBegan(std::uint64_t reason) override {
        calls.push_back("began " + std::to_string(reason));
    }
    void myAVSessionInterruptionEnd(std::uint64_t options) override {
        calls.push_back("end " + std::to_string(options));
    }
    void onDidBecomeActive(const std::shared_ptr<NSNotification>&) override { calls.push_back("active"); }
    void onTerminate(const std::shared_ptr<NSNotification>&) override { calls.push_back("terminate"); }
    void remoteControlReceivedWithEvent(const std::shared_ptr<NSObject>&) override { calls.push_back("remote"); }

protected:
    AudioScreen() = default;
};

struct AudioControllerTest : AppTest {
    void SetUp() override {
        AppTest::SetUp();
        RemoteControlEvents::end();
        SystemServices::shared()->setSystem("iOS", "15.0");
    }
    void TearDown() override {
        RemoteControlEvents::end();
        SystemServices::setShared(nullptr);
        AppTest::TearDown();
    }
    std::shared_ptr<AudioScreen> showScreen(bool enabled) {
        auto screen = AudioScreen::make();
        screen->enabled = enabled;
        return show(screen);
    }
    // Another screen takes the window, so the audio screen disappears.
    void leave() { show(MyViewController::make()); }
    static void interrupt(std::uint64_t type, std::uint64_t value,
                          const std::shared_ptr<NSObject>& from = AVAudioSession::sharedInstance()) {
        Value info = Value::dictionary({{AVAudioSessionInterruptionTypeKey, Value(type)},
                                        {AVAudioSessionInterruptionOptionKey, Value(value)},
                                        {AVAudioSessionInterruptionReasonKey, Value(value)}});
        NSNotificationCenter::defaultCenter()->post(AVAudioSessionInterruptionNotification, from, info);
    }
    static void postApp(const char* name) { NSNotificationCenter::defaultCenter()->post(name); }
};

}  // namespace

TEST_F(AudioControllerTest, InterruptionsReachTheHooksOnlyWhileOnScreenAndFromTheSharedSession) {
    auto screen = showScreen(false);
    ASSERT_TRUE(screen->handlingInterruption());
    screen->viewWillAppear(false);  // appearing again still observes once
    interrupt(1, 2);
    interrupt(0, 1);
    interrupt(7, 3);                          // an unknown type is nobody's business
    interrupt(1, 4, AVAudioSession::make());  // another session's interruption
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"began 2", "end 1"}));

    leave();
    EXPECT_FALSE(screen->handlingInterruption());
    interrupt(1, 2);
    EXPECT_EQ(screen->calls.size(), 2u);
}

TEST_F(AudioControllerTest, AnInterruptionOnAnOlderSystemBeginsWithoutAReason) {
    SystemServices::shared()->setSystem("iOS", "14.4");
    auto screen = showScreen(false);
    interrupt(1, 2);
    interrupt(0, 1);
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"began 0", "end 1"}));
}

TEST_F(AudioControllerTest, ThisHostsInterruptionsKeepTheirReasonWhateverTheKernelsVersion) {
    SystemServices::shared()->setSystem("Linux", "6.1.0-13-amd64");
    auto screen = showScreen(false);
    interrupt(1, 2);
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"began 2"}));
}

TEST_F(AudioControllerTest, WithoutBackgroundAudioTheScreenLeavesRemoteControlAlone) {
    auto screen = showScreen(false);
    EXPECT_FALSE(screen->isRemoteControlActive());
    EXPECT_FALSE(RemoteControlEvents::isReceiving());
    postApp(UIApplicationWillResignActiveNotification);
    EXPECT_FALSE(screen->terminated());
    EXPECT_TRUE(screen->calls.empty());
}

TEST_F(AudioControllerTest, BackgroundAudioHoldsRemoteControlAndTakesItBackASecondAfterBecomingActive) {
    auto screen = showScreen(true);
    ASSERT_TRUE(screen->isRemoteControlActive());
    EXPECT_TRUE(screen->isFirstResponder());
    EXPECT_TRUE(RemoteControlEvents::isReceiving());
    EXPECT_TRUE(sendRemoteControlEvent(screen, UIView::make()));
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"remote"}));

    postApp(UIApplicationWillResignActiveNotification);
    EXPECT_TRUE(screen->terminated());
    postApp(UIApplicationDidBecomeActiveNotification);
    EXPECT_FALSE(screen->terminated());
    EXPECT_FALSE(screen->isRemoteControlActive());
    EXPECT_FALSE(RemoteControlEvents::isReceiving());
    advance(MyBGAudioController::kReactivateDelay - 0.1);
    EXPECT_FALSE(screen->isRemoteControlActive());
    advance(0.2);
    EXPECT_TRUE(screen->isRemoteControlActive());
    EXPECT_TRUE(RemoteControlEvents::isReceiving());

    postApp(UIApplicationWillTerminateNotification);
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"remote", "terminate", "active", "terminate"}));
}

TEST_F(AudioControllerTest, LeavingLetsGoOfRemoteControlAndAPendingTakeBackNeverFires) {
    auto screen = showScreen(true);
    postApp(UIApplicationDidBecomeActiveNotification);
    leave();
    EXPECT_FALSE(screen->isRemoteControlActive());
    EXPECT_FALSE(screen->isFirstResponder());
    EXPECT_FALSE(RemoteControlEvents::isReceiving());
    advance(2 * MyBGAudioController::kReactivateDelay);
    EXPECT_FALSE(screen->isRemoteControlActive());
    EXPECT_FALSE(RemoteControlEvents::isReceiving());

    postApp(UIApplicationWillResignActiveNotification);  // no longer observed
    EXPECT_FALSE(screen->terminated());
    EXPECT_EQ(screen->calls, (std::vector<std::string>{"active"}));
}

TEST_F(AudioControllerTest, RemovePlayingClearsTheNowPlayingCentre) {
    auto center = MPNowPlayingInfoCenter::defaultCenter();
    center->setNowPlayingInfo(Value::dictionary({{"title", Value(std::string("Song"))}}));
    auto screen = showScreen(true);
    screen->removePlaying();
    EXPECT_TRUE(center->nowPlayingInfo().isNull());
}
