// The audio-session service (input names, the default input, set-ups) and the players and
// timers on the virtual clock.
#include "capture/audio_session.h"
#include "capture/capture_services.h"
#include "capture/my_timer.h"
#include "capture/time_player.h"
#include "capture/timer_player.h"
#include "foundation/service_factory.h"
#include "tests/capture/capture_engine_test_support.h"

namespace {

std::shared_ptr<AVAudioSessionPortDescription> port(const std::string& name, const std::string& type,
                                                    const std::string& uid) {
    return AVAudioSessionPortDescription::make(name, type, uid);
}

class FinishRecorder : public TimerPlayerDelegate {
public:
    void onTimerPlayerFinished(const std::shared_ptr<TimerPlayer>&) override { finishedAt.push_back(Clock::now()); }
    std::vector<double> finishedAt;
};

}  // namespace

class AudioSessionTest : public CaptureEngineTest {
protected:
    void SetUp() override {
        CaptureEngineTest::SetUp();
        AVAudioSession::setInputProvider(nullptr);
        registerCaptureServices();
    }
    void TearDown() override {
        (void)AVAudioSession::sharedInstance()->setPreferredInput(nullptr);
        AVAudioSession::setInputProvider(nullptr);
        RemoteControlEvents::end();
        ServiceFactory<AudioSession>::registerMaker(nullptr);
        ServiceFactory<Path>::registerMaker(nullptr);
        CaptureEngineTest::TearDown();
    }
};

TEST_F(AudioSessionTest, InputsAreNumberedPerPortNameAndBluetoothIsTheFallback) {
    AVAudioSession::setInputProvider([] {
        return std::vector{port("Mic", AVAudioSessionPortBuiltInMic, "a"),
                           port("Mic", AVAudioSessionPortHeadsetMic, "b"),
                           port("Car", AVAudioSessionPortBluetoothHFP, "c")};
    });
    auto audio = Global::shared()->audioSession();
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->recordInputNames(), (std::vector<std::string>{"Mic (1)", "Mic (2)", "Car (1)"}));
    EXPECT_EQ(audio->session()->category(), AVAudioSessionCategoryPlayAndRecord);
    EXPECT_EQ(audio->session()->categoryOptions(), AVAudioSessionCategoryOptionAllowBluetooth);
    EXPECT_EQ(audio->defRecordInput("Mic (2)"), "Mic (2)");
    EXPECT_EQ(audio->defRecordInput("Gone (1)"), "Car (1)");

    audio->setRecognition("Mic (2)");
    EXPECT_EQ(audio->session()->mode(), AVAudioSessionModeMeasurement);
    EXPECT_TRUE(audio->session()->isActive());
    ASSERT_TRUE(audio->session()->preferredInput());
    EXPECT_EQ(audio->session()->preferredInput()->UID(), "b");

    audio->setPlayback(true);
    EXPECT_EQ(audio->session()->category(), AVAudioSessionCategoryPlayback);
    EXPECT_TRUE(RemoteControlEvents::isReceiving());
    audio->setPlayback(false);
    EXPECT_EQ(audio->session()->category(), AVAudioSessionCategoryAmbient);
    EXPECT_FALSE(audio->session()->isActive());
    EXPECT_FALSE(RemoteControlEvents::isReceiving());
}

TEST_F(AudioSessionTest, TheRegistryMicrophoneIsAnInputAndNoInputsGiveNone) {
    auto audio = AudioSession::make();
    ASSERT_FALSE(audio->recordInputNames().empty());
    EXPECT_EQ(audio->recordInputs().front().second->portType(), AVAudioSessionPortBuiltInMic);
    AVAudioSession::setInputProvider([] { return std::vector<std::shared_ptr<AVAudioSessionPortDescription>>{}; });
    auto none = AudioSession::make();
    EXPECT_FALSE(none->defRecordInput("x"));
    none->setRecord("x");  // nothing to prefer; no crash
    EXPECT_FALSE(none->session()->preferredInput());
}

class PlayersTest : public CaptureEngineTest {};

TEST_F(PlayersTest, TimePlayerCountsOnlyPlayedTime) {
    auto p = TimePlayer::make();
    EXPECT_EQ(p->position(), 0);
    p->play();
    advance(2);
    p->pause();
    advance(5);
    EXPECT_NEAR(p->position(), 2, 1e-6);
    p->resume();
    advance(1);
    EXPECT_NEAR(p->position(), 3, 1e-6);
    EXPECT_TRUE(p->isPlaying());
    p->stop();
    EXPECT_EQ(p->position(), 0);
}

TEST_F(PlayersTest, TimerPlayerFinishesOnTheFirstTickAtTheEndAndKeepsItsPosition) {
    auto delegate = std::make_shared<FinishRecorder>();
    auto p = TimerPlayer::make(delegate);
    double start = Clock::now();
    p->start(1.0);
    advance(0.45);
    p->pause();
    double frozen = p->position();
    advance(1.0);
    EXPECT_EQ(p->position(), frozen);
    EXPECT_TRUE(delegate->finishedAt.empty());
    p->resume();
    advance(1.0);
    ASSERT_EQ(delegate->finishedAt.size(), 1u);
    double played = delegate->finishedAt[0] - start - 1.0;  // minus the paused second
    EXPECT_GE(played, 1.0 - 1e-6);
    EXPECT_LE(played, 1.1 + 1e-6);
    EXPECT_FALSE(p->isPlaying());
    EXPECT_GE(p->position(), 1.0 - 1e-6);
}

TEST_F(PlayersTest, MyTimerFirstFiresAfterTheDelayAndTheInterval) {
    std::vector<double> fired;
    double start = Clock::now();
    auto t = MyTimer::make(0.5, 1.0, true, true,
                           [&](const std::shared_ptr<NSTimer>&) { fired.push_back(Clock::now() - start); });
    t->restart();
    advance(0.4);
    EXPECT_FALSE(t->isValidAfterDelay());
    advance(2.2);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_NEAR(fired[0], 1.5, 0.011);
    EXPECT_NEAR(fired[1], 2.5, 0.011);
    t->reset();
    advance(2);
    EXPECT_EQ(fired.size(), 2u);
}
