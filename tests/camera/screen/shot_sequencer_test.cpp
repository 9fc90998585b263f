// The shot sequencer on its own, on the virtual clock: which entries each phase accepts and where
// they lead, the countdown into the tap road, a wait on two controls, and the flight flag across a
// failed save.
#include "camera/screen/shot_sequencer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/camera/camera_test_support.h"

namespace {

struct FakeRoad : ShotSequencerDelegate {
    double timer = 0;
    FocusWait wait{true, false};
    bool canShoot = true;
    int shots = 0, waits = 0, waitEnds = 0, cancels = 0;
    std::vector<std::string> shown;
    double share = 1;

    double selfTimerSeconds() override { return timer; }
    void showCountdown(double left) override { shown.push_back(std::to_string(int(left))); }
    void showCountdownShare(double s) override { share = s; }
    void countdownSecondPassed() override {}
    void countdownCanceled() override { ++cancels; }
    FocusWait beginFocusWait() override {
        ++waits;
        return wait;
    }
    void endFocusWait() override { ++waitEnds; }
    bool startShot() override {
        ++shots;
        return canShoot;
    }
};

struct ShotSequencerTest : CameraTest {
    std::shared_ptr<FakeRoad> road;
    std::unique_ptr<ShotSequencer> seq;

    void SetUp() override {
        CameraTest::SetUp();
        fresh();
    }
    void TearDown() override {
        seq.reset();
        CameraTest::TearDown();
    }
    void fresh() {
        seq.reset();
        road = std::make_shared<FakeRoad>();
        seq = std::make_unique<ShotSequencer>(road);
    }
    // Brings a fresh sequencer into the phase; the self-timer stays set only while counting down.
    void enter(ShotPhase phase) {
        fresh();
        switch (phase) {
            case ShotPhase::Idle: break;
            case ShotPhase::CountingDown:
                road->timer = 3;
                seq->shutterTap();
                break;
            case ShotPhase::WaitingForFocus:
                seq->tapToShoot();
                seq->devicePrepared();
                break;
            case ShotPhase::Shooting: seq->shutterTap(); break;
        }
        if (phase != ShotPhase::CountingDown) road->timer = 0;
        ASSERT_EQ(seq->phase(), phase);
    }
};

enum class Op { Shutter, Volume, Tap, TimerEnd, Cancel, Shoot, Finished, SessionStarted };

const char* opName(Op op) {
    switch (op) {
        case Op::Shutter: return "shutter";
        case Op::Volume: return "volume";
        case Op::Tap: return "tap";
        case Op::TimerEnd: return "timer end";
        case Op::Cancel: return "cancel";
        case Op::Shoot: return "shoot";
        case Op::Finished: return "finished";
        case Op::SessionStarted: return "session started";
    }
    return "?";
}

}  // namespace

TEST_F(ShotSequencerTest, EachPhaseAcceptsOnlyItsOwnEntries) {
    using P = ShotPhase;
    struct Case {
        P from;
        Op op;
        P to;
        int shots;    // shots started by the entry itself
        int cancels;  // "CANCELED" shown
        int later;    // shots the phase's own timers start within the next 3.5 s
    };
    const Case cases[] = {
        {P::Idle, Op::Shutter, P::Shooting, 1, 0, 0},
        {P::Idle, Op::Volume, P::Shooting, 1, 0, 0},
        {P::Idle, Op::Tap, P::WaitingForFocus, 0, 0, 0},
        {P::Idle, Op::TimerEnd, P::Idle, 0, 0, 0},
        {P::Idle, Op::Cancel, P::Idle, 0, 0, 0},
        {P::Idle, Op::Finished, P::Idle, 0, 0, 0},
        {P::CountingDown, Op::Shutter, P::Idle, 0, 1, 0},
        {P::CountingDown, Op::Volume, P::Idle, 0, 1, 0},
        {P::CountingDown, Op::Tap, P::Idle, 0, 1, 0},
        {P::CountingDown, Op::TimerEnd, P::Shooting, 1, 0, 0},
        {P::CountingDown, Op::Cancel, P::Idle, 0, 0, 0},
        {P::CountingDown, Op::Finished, P::CountingDown, 0, 0, 1},
        {P::CountingDown, Op::SessionStarted, P::CountingDown, 0, 0, 1},
        {P::WaitingForFocus, Op::Shutter, P::Shooting, 1, 0, 0},
        {P::WaitingForFocus, Op::Volume, P::Shooting, 1, 0, 0},
        {P::WaitingForFocus, Op::Tap, P::WaitingForFocus, 0, 0, 0},  // aimed anew: waits for the device again
        {P::WaitingForFocus, Op::TimerEnd, P::WaitingForFocus, 0, 0, 1},
        {P::WaitingForFocus, Op::Cancel, P::Idle, 0, 0, 0},
        {P::WaitingForFocus, Op::Finished, P::WaitingForFocus, 0, 0, 1},
        {P::Shooting, Op::Shutter, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::Volume, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::Tap, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::TimerEnd, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::Cancel, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::Shoot, P::Shooting, 0, 0, 0},
        {P::Shooting, Op::Finished, P::Idle, 0, 0, 0},
        {P::Shooting, Op::SessionStarted, P::Idle, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(shotPhaseName(c.from)) + " + " + opName(c.op));
        enter(c.from);
        const int shots = road->shots, cancels = road->cancels;
        switch (c.op) {
            case Op::Shutter: seq->shutterTap(); break;
            case Op::Volume: seq->volumeKey(); break;
            case Op::Tap: seq->tapToShoot(); break;
            case Op::TimerEnd: seq->timerEnd(); break;
            case Op::Cancel: seq->cancel(); break;
            case Op::Shoot: seq->shoot(); break;
            case Op::Finished: seq->shotFinished(true); break;
            case Op::SessionStarted: seq->sessionStarted(); break;
        }
        EXPECT_EQ(shotPhaseName(seq->phase()), std::string(shotPhaseName(c.to)));
        EXPECT_EQ(road->shots - shots, c.shots);
        EXPECT_EQ(road->cancels - cancels, c.cancels);
        step(3.5);
        EXPECT_EQ(road->shots - shots, c.shots + c.later);
    }
}

TEST_F(ShotSequencerTest, TheCountdownCountsWholeSecondsAndATappedOneEndsInTheFocusWait) {
    road->timer = 3;
    seq->tapToShoot();
    EXPECT_EQ(seq->phase(), ShotPhase::CountingDown);
    step(1.55);
    EXPECT_NEAR(road->share, 1 - 1.55 / 3, 0.05);
    step(1.0);
    EXPECT_EQ(road->shown, (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(seq->phase(), ShotPhase::CountingDown);
    step(0.8);  // each step comes on the first tick more than a second after the last
    EXPECT_EQ(seq->phase(), ShotPhase::WaitingForFocus);
    EXPECT_EQ(road->share, 1) << "the timer button is full again";
    EXPECT_EQ(road->waits, 1);
    EXPECT_EQ(road->shots, 0);
}

TEST_F(ShotSequencerTest, TheWaitShootsOnceAfterBothControlsSettleAndTheFallbackThenStaysQuiet) {
    // Focus and exposure both pending, settling 0.05 s apart: the shot follows ten times the
    // elapsed time after the second, and neither the fallback nor a stray expiry shoots again.
    road->wait = {true, true};
    seq->tapToShoot();
    seq->devicePrepared();
    step(0.05);
    seq->adjustingEnded(true);
    EXPECT_EQ(seq->phase(), ShotPhase::WaitingForFocus);
    seq->adjustingEnded(true);  // a repeat of the same report changes nothing
    step(0.05);
    seq->adjustingEnded(false);
    step(0.95);
    EXPECT_EQ(road->shots, 0);
    step(0.1);
    EXPECT_EQ(road->shots, 1);
    seq->shotFinished(true);
    seq->waitExpired();
    step(2.5);
    EXPECT_EQ(road->shots, 1);
    EXPECT_EQ(seq->phase(), ShotPhase::Idle);
}

TEST_F(ShotSequencerTest, AShotThatCannotStartOrFailsLeavesNoFlightBehind) {
    road->canShoot = false;
    seq->shutterTap();
    EXPECT_EQ(seq->phase(), ShotPhase::Idle);
    road->canShoot = true;

    seq->shutterTap();
    seq->photoSaving();
    seq->shotFinished(false);
    EXPECT_FALSE(seq->resultFlightPending());

    seq->shutterTap();
    seq->photoSaving();
    seq->shotFinished(true);
    EXPECT_TRUE(seq->resultFlightPending()) << "kept until the library shows the photo";
    seq->resultFlightShown();
    EXPECT_FALSE(seq->resultFlightPending());
}

TEST_F(ShotSequencerTest, TheEndOfTheProgramWaitsForAFocusWaitUntilItsShotOrItsCancel) {
    ASSERT_FALSE(ExitHold::any());
    seq->tapToShoot();
    EXPECT_EQ(ExitHold::pending(), std::vector<std::string>{"the photo"});
    seq->tapToShoot();  // aimed anew: still one wait
    EXPECT_EQ(ExitHold::pending().size(), 1u);
    seq->devicePrepared();
    step(ShotSequencer::kFocusWaitLimit + 0.1);
    EXPECT_EQ(road->shots, 1);
    EXPECT_FALSE(ExitHold::any()) << "the photo host holds the shot from here";

    seq->shotFinished(true);
    seq->tapToShoot();
    EXPECT_TRUE(ExitHold::any());
    seq->cancel();
    EXPECT_FALSE(ExitHold::any());
}
