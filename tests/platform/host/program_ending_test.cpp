// The program's end: work the user started runs its main-loop steps before the process goes, what
// the grace cuts off is named, and the signals end the program at once before the loop runs and on
// a second signal, and otherwise ask the loop to end.
#include "platform/host/program_ending.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/host/end_watch.h"
#include "platform/host/headless_host.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "tests/support/child_signals.h"

namespace {

struct ProgramEndingTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        UIApplication::resetSharedApplication();
        ProgramEnding::resetForTesting();
        HostOptions options;
        options.kind = HostKind::Headless;
        options.screen = *DeviceModel::named("home-button");
        host = std::make_unique<HeadlessHost>(options);
    }
    void TearDown() override {
        host.reset();
        RunLoop::main().reset();
        ProgramEnding::resetForTesting();
        UIScreen::setMainScreen(UIScreen::make());
        Clock::useReal();
    }
    std::unique_ptr<HeadlessHost> host;
};

}  // namespace

TEST_F(ProgramEndingTest, StartedWorkRunsItsMainLoopStepsAndWhatTheGraceCutsOffIsNamed) {
    // A shot's next steps: one queued on the main queue, one a torch's wait away.
    auto hold = ExitHold::make("the photo");
    int steps = 0;
    RunLoop::main().perform([&] { ++steps; });
    RunLoop::main().performAfterDelay(0.1, [&] {
        ++steps;
        hold.reset();
    });
    EXPECT_TRUE(ProgramEnding::finish(*host, 30));
    EXPECT_EQ(steps, 2);
    EXPECT_FALSE(ExitHold::any());
    EXPECT_EQ(ProgramEnding::phase(), ProgramEnding::Phase::Ending);
    EXPECT_TRUE(ExitHold::ending()) << "work the next start does anyway stops";

    // A step that never comes: the grace ends the wait, and the log names what was lost.
    ProgramEnding::resetForTesting();
    EXPECT_FALSE(ExitHold::ending());
    LogCapture log;
    auto stuck = ExitHold::make("the edited photo");
    EXPECT_FALSE(ProgramEnding::finish(*host, 0.05));
    EXPECT_TRUE(log.contains("the edited photo was not saved: the program ended before it was written"))
        << ::testing::PrintToString(log.lines());
}

// The end's first step runs what was due when the loop ended, within the grace: a timer that
// costs more than its interval, or work that keeps making more, cannot hold the end.
TEST_F(ProgramEndingTest, TheFirstStepEndsWithinTheGraceWhateverTheLoopHolds) {
    int fires = 0;
    auto slow = NSTimer::scheduledTimer(0.05, true, [&](const std::shared_ptr<NSTimer>&) {
        ++fires;
        Clock::setVirtualNow(Clock::now() + 0.08);
    });
    std::function<void()> again = [&] { RunLoop::main().perform(again); };
    RunLoop::main().perform(again);
    Clock::setVirtualNow(Clock::now() + 0.05);
    EXPECT_TRUE(ProgramEnding::finish(*host, 0.2));
    EXPECT_EQ(fires, 1);
    slow->invalidate();
}

// Work stuck past the grace: the process leaves with the status and without tearing down its
// static objects (the exit handler below would change the status).
TEST(ProgramLeaving, WorkCutOffLeavesWithoutTearingDownStaticObjects) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit([] { std::_Exit(9); });
            ProgramEnding::leave(3, false);
        },
        ::testing::ExitedWithCode(3), "background work still running after 10 s; exiting without it");
    EXPECT_EQ(ProgramEnding::leave(4, true), 4);
    ProgramEnding::resetForTesting();
}

// Past leave() only the teardown is left, and the window's waits for the server's word: a display
// lost then ends the process with leave's status instead of leaving it waiting for ever. Before
// it, a lost display is the loop's to hear.
TEST(ProgramLeaving, ADisplayLostWhileTheProcessTearsDownEndsItWithItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ProgramEnding::leave(5, true);
            ProgramEnding::displayLost(":9");
            std::_Exit(9);
        },
        ::testing::ExitedWithCode(5), "");
    ProgramEnding::displayLost(":9");
    ASSERT_TRUE(ProgramEnding::requested());
    EXPECT_EQ(ProgramEnding::requested()->status, 1);
    ProgramEnding::resetForTesting();
}

TEST_F(ProgramEndingTest, ASignalAsksTheRunningLoopToEndAndEndsTheProgramAtOnceBeforeItOrTheSecondTime) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Each death test's process takes the signals as a program started from a terminal does,
    // whatever this test run was started with (nohup ignores the hang-up, a script's background
    // job the interrupt).
    // Before the loop runs (a display that never answers may hold the start): at once, by the signal.
    EXPECT_EXIT(
        {
            testsupport::takeDefaultSignals();
            ProgramEnding::installSignalHandlers();
            ::raise(SIGTERM);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "korva: terminated; ending now");
    // While the loop runs: the first asks the loop to end as a quit does, the second ends it now.
    EXPECT_EXIT(
        {
            testsupport::takeDefaultSignals();
            ProgramEnding::installSignalHandlers();
            ProgramEnding::loopRunning();
            ::raise(SIGINT);
            auto request = ProgramEnding::requested();
            if (!request || request->status != 0 || request->why != "interrupted") std::exit(3);
            ::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "korva: interrupted; ending now");
    // A closed terminal's hang-up as a quit; a write to the closed pipe fails instead of ending it.
    EXPECT_EXIT(
        {
            testsupport::takeDefaultSignals();
            ProgramEnding::installSignalHandlers();
            ProgramEnding::loopRunning();
            ::raise(SIGHUP);
            ::raise(SIGPIPE);
            auto request = ProgramEnding::requested();
            if (!request || request->status != 0 || request->why != "hung up") std::exit(3);
            ::raise(SIGHUP);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGHUP), "korva: hung up; ending now");
    // A lost display and a window destroyed by another program ask for the end with a failure
    // that names it; the first one is what is said.
    ProgramEnding::displayLost(":7");
    ProgramEnding::windowDestroyed();
    auto request = ProgramEnding::requested();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->status, 1);
    EXPECT_EQ(request->why, "the display :7 was lost");
    ProgramEnding::resetForTesting();
    ProgramEnding::windowDestroyed();
    request = ProgramEnding::requested();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->status, 1);
    EXPECT_EQ(request->why, "the window was destroyed by another program");
}

namespace {

// The main thread waits as on a display that stopped answering, but for a limit far past the
// bounds the cases below arm: a watch that misses its bound ends the child with 7 instead.
[[noreturn]] void waitPastTheBound() {
    timespec until{};
    ::clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += 4;
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    ::_exit(7);
}

}  // namespace

// Where the end is watched, each ask ends the process within its bound whatever the main thread
// waits on, with the end's status (a quit's, a lost or destroyed window's failure), and names what
// the bound cuts off as the grace does. The watch sleeps when the ask comes: start() returns once
// it watches.
TEST(ProgramLeaving, EachAskEndsTheProcessWithinItsBoundNamingWhatItCutsOff) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    enum class Ask { Signal, DisplayLost, WindowClosed, WindowDestroyed };
    auto askAndWait = [](Ask ask) {
        testsupport::takeDefaultSignals();
        ProgramEnding::installSignalHandlers();
        ProgramEnding::watchTheEnd(0.3);
        ProgramEnding::loopRunning();
        auto hold = ExitHold::make("the photo");
        switch (ask) {
            case Ask::Signal: ::raise(SIGTERM); break;
            case Ask::DisplayLost: ProgramEnding::displayLost(":9"); break;
            case Ask::WindowClosed: ProgramEnding::windowClosed(); break;
            case Ask::WindowDestroyed: ProgramEnding::windowDestroyed(); break;
        }
        waitPastTheBound();
    };
    const char* said =
        "korva error host: the photo was not saved: the program ended before it was written\n"
        "korva: the end ran out of time; ending now";
    EXPECT_EXIT(askAndWait(Ask::Signal), ::testing::ExitedWithCode(0), said);
    EXPECT_EXIT(askAndWait(Ask::DisplayLost), ::testing::ExitedWithCode(1), said);
    EXPECT_EXIT(askAndWait(Ask::WindowClosed), ::testing::ExitedWithCode(0), said);
    EXPECT_EXIT(askAndWait(Ask::WindowDestroyed), ::testing::ExitedWithCode(1), said);
}

namespace {

// Standard error from here on is a pipe that is full and that nobody reads (a paused terminal, a
// stalled log collector): a write to it waits for ever. A child that still runs a few seconds on
// is ended by the alarm, which fails its case.
void standardErrorStalls() {
    ::alarm(4);
    int ends[2];
    if (::pipe(ends) != 0) ::_exit(8);
    ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
    static const char kFill[4096] = {};
    while (::write(ends[1], kFill, sizeof kFill) > 0) {
    }
    while (::write(ends[1], kFill, 1) > 0) {
    }
    ::fcntl(ends[1], F_SETFL, 0);
    ::dup2(ends[1], STDERR_FILENO);
}

}  // namespace

// The end's words go only where they fit at once: with standard error stalled and the main thread
// waiting in a write to it, the watch still ends the process at its bound with the end's status,
// and a signal before the loop runs still ends it at once.
TEST(ProgramLeaving, AStandardErrorNobodyReadsHoldsNoEnd) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto askAndWrite = [](bool destroyed) {
        testsupport::takeDefaultSignals();
        Log::setQuiet(false);
        ProgramEnding::installSignalHandlers();
        ProgramEnding::watchTheEnd(0.3);
        ProgramEnding::loopRunning();
        auto hold = ExitHold::make("the photo");
        standardErrorStalls();
        if (destroyed)
            ProgramEnding::windowDestroyed();
        else
            ::raise(SIGTERM);
        Log::error("host", "the main thread waits in the log");
        ::_exit(7);
    };
    EXPECT_EXIT(askAndWrite(false), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(askAndWrite(true), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            testsupport::takeDefaultSignals();
            ProgramEnding::installSignalHandlers();
            standardErrorStalls();
            ::raise(SIGTERM);
            ::_exit(7);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

// Of two bounds the earlier holds, armed first or second, with the first one's status.
TEST(ProgramLeaving, TheEarlierOfTwoBoundsHoldsWithTheFirstStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto armTwice = [](double first, double second) {
        endwatch::start();
        endwatch::arm(3, first);
        endwatch::arm(4, second);
        waitPastTheBound();
    };
    EXPECT_EXIT(armTwice(0.3, 30), ::testing::ExitedWithCode(3), "the end ran out of time");
    EXPECT_EXIT(armTwice(30, 0.3), ::testing::ExitedWithCode(3), "the end ran out of time");
}

// The grace ends before the watch's bound: what it cuts off is named, and the program leaves with
// its status on its own road, naming the grace it gave.
TEST_F(ProgramEndingTest, TheGraceEndsBeforeTheWatchsBound) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto cutOff = [this] {
        // Said on standard error whatever the test run asked of the log.
        Log::setQuiet(false);
        testsupport::takeDefaultSignals();
        ProgramEnding::installSignalHandlers();
        ProgramEnding::watchTheEnd(1.5);
        ProgramEnding::loopRunning();
        ::raise(SIGTERM);
        auto hold = ExitHold::make("the photo");
        ProgramEnding::leave(0, ProgramEnding::finish(*host, 30));
    };
    EXPECT_EXIT(cutOff(), ::testing::ExitedWithCode(0),
                "the photo was not saved(.|\n)*background work still running after 1 s");
}
