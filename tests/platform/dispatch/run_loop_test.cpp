#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/dispatch/virtual_clock.h"

using TimerList = std::vector<std::string>;

class RunLoopTest : public VirtualClockTest {};

TEST_F(RunLoopTest, TimersFireInTimeOrderAtTheirDates) {
    TimerList fired;
    std::vector<double> at;
    auto record = [&](std::string name) {
        return [&, name](const std::shared_ptr<NSTimer>&) {
            fired.push_back(name);
            at.push_back(Clock::now());
        };
    };
    NSTimer::scheduledTimer(0.3, false, record("c"));
    NSTimer::scheduledTimer(0.1, false, record("a"));
    NSTimer::scheduledTimer(0.2, false, record("b1"));
    NSTimer::scheduledTimer(0.2, false, record("b2"));  // a tie goes in scheduling order

    EXPECT_EQ(loop().advance(0.25), 3u);
    EXPECT_EQ(fired, (TimerList{"a", "b1", "b2"}));
    EXPECT_DOUBLE_EQ(at[0], kStart + 0.1);
    EXPECT_DOUBLE_EQ(at[1], kStart + 0.2);
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 0.25);

    loop().advance(1.0);
    EXPECT_EQ(fired.back(), "c");
    EXPECT_EQ(loop().scheduledTimers(), 0u);
}

TEST_F(RunLoopTest, RepeatingTimerKeepsItsScheduleWithoutDrift) {
    std::vector<double> at;
    auto timer =
        NSTimer::scheduledTimer(0.05, true, [&](const std::shared_ptr<NSTimer>&) { at.push_back(Clock::now()); });
    // Many uneven steps: the occurrences stay on the grid start + k * interval.
    for (int i = 0; i < 1000; ++i) loop().advance(0.013);
    ASSERT_EQ(at.size(), 260u);
    for (std::size_t k = 0; k < at.size(); ++k) EXPECT_NEAR(at[k], kStart + 0.05 * double(k + 1), 1e-9);

    // Time that passed without the loop running (a busy main thread) is skipped, not caught up.
    Clock::setVirtualNow(Clock::now() + 1.02);
    at.clear();
    loop().runUntilIdle();
    EXPECT_EQ(at.size(), 1u);
    double next = timer->fireDate();
    EXPECT_GT(next, Clock::now());
    double k = (next - kStart) / 0.05;
    EXPECT_NEAR(k, std::round(k), 1e-6);
    timer->invalidate();
}

TEST_F(RunLoopTest, InvalidatingInsideOwnCallbackStopsItAndReleasesTarget) {
    struct Target : NSObject {
        int ticks = 0;
        void tick(const std::shared_ptr<NSTimer>& timer) {
            if (++ticks == 3) timer->invalidate();
        }
    };
    auto target = make<Target>();
    std::weak_ptr<Target> weakTarget = target;
    std::weak_ptr<NSTimer> weakTimer = NSTimer::scheduledTimer(1.0, target, &Target::tick, Value(), true);
    Target* raw = target.get();
    target.reset();
    ASSERT_FALSE(weakTarget.expired());  // the timer holds its target

    loop().advance(2.5);
    EXPECT_EQ(raw->ticks, 2);
    loop().advance(10);
    EXPECT_TRUE(weakTarget.expired());
    EXPECT_TRUE(weakTimer.expired());
    EXPECT_EQ(loop().scheduledTimers(), 0u);
}

TEST_F(RunLoopTest, DebouncedTimerReleasesTargetAfterFiringAndNeverFiresWhenInvalidatedEarly) {
    auto owner = std::make_shared<int>(0);
    std::weak_ptr<int> weakOwner = owner;
    auto shot = NSTimer::scheduledTimer(0.5, false, [owner](const std::shared_ptr<NSTimer>& t) {
        ++*owner;
        EXPECT_TRUE(t->isValid());
    });
    int cancelledRuns = 0;
    auto cancelled = NSTimer::scheduledTimer(1.0, false, [&](const std::shared_ptr<NSTimer>&) { ++cancelledRuns; });
    // A timer that invalidates another one due at the same moment.
    NSTimer::scheduledTimer(0.9, false, [&](const std::shared_ptr<NSTimer>&) { cancelled->invalidate(); });
    owner.reset();

    loop().advance(2);
    EXPECT_TRUE(weakOwner.expired());
    EXPECT_FALSE(shot->isValid());
    EXPECT_EQ(cancelledRuns, 0);
    shot->fire();  // an invalidated timer does nothing
}

TEST_F(RunLoopTest, TrackingModeHoldsDefaultTimersButNotCommonOnes) {
    int defaultTicks = 0, commonTicks = 0;
    auto def = NSTimer::scheduledTimer(0.1, true, [&](const std::shared_ptr<NSTimer>&) { ++defaultTicks; });
    auto common = NSTimer::timer(0.1, true, [&](const std::shared_ptr<NSTimer>&) { ++commonTicks; });
    loop().addTimer(common, RunLoopMode::Common);

    loop().setMode(RunLoopMode::Tracking);
    loop().advance(1.05);
    EXPECT_EQ(defaultTicks, 0);
    EXPECT_EQ(commonTicks, 10);

    loop().setMode(RunLoopMode::Default);
    loop().runUntilIdle();
    EXPECT_EQ(defaultTicks, 1);  // the missed ticks collapse into one
    def->invalidate();
    common->invalidate();
}

TEST_F(RunLoopTest, DelayedCallsAndSetFireDate) {
    TimerList order;
    loop().performAfterDelay(0.5, [&] { order.push_back("delayed"); });
    auto cancelled = loop().performAfterDelay(0.2, [&] { order.push_back("cancelled"); });
    cancelled->invalidate();
    auto postponed =
        NSTimer::scheduledTimer(0.1, false, [&](const std::shared_ptr<NSTimer>&) { order.push_back("postponed"); });
    postponed->setFireDate(Clock::now() + 0.7);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 300 * NSEC_PER_MSEC), dispatch_get_main_queue(),
                   [&] { order.push_back("after"); });

    loop().advance(0.45);
    EXPECT_EQ(order, (TimerList{"after"}));
    loop().advance(1);
    EXPECT_EQ(order, (TimerList{"after", "delayed", "postponed"}));
}

TEST_F(RunLoopTest, MainQueueBlocksRunInOrderIncludingOnesTheyAdd) {
    TimerList order;
    dispatch_async(dispatch_get_main_queue(), [&] {
        order.push_back("a");
        dispatch_async(dispatch_get_main_queue(), [&] { order.push_back("d"); });
    });
    loop().perform([&] { order.push_back("b"); });
    std::thread([&] { loop().perform([&] { order.push_back("c"); }); }).join();
    EXPECT_TRUE(order.empty());  // nothing runs until the loop does
    EXPECT_EQ(loop().runUntilIdle(), 4u);
    EXPECT_EQ(order, (TimerList{"a", "b", "c", "d"}));
}

TEST_F(RunLoopTest, ATurnEndsWhateverItsTimersCost) {
    // Each fire costs more than the interval: the clock has moved past the next date when it returns.
    int fires = 0;
    auto slow = NSTimer::scheduledTimer(0.05, true, [&](const std::shared_ptr<NSTimer>&) {
        ++fires;
        Clock::setVirtualNow(Clock::now() + 0.08);
    });
    TimerList order;
    loop().perform([&] {
        order.push_back("queued");
        loop().perform([&] { order.push_back("added"); });
    });
    Clock::setVirtualNow(kStart + 0.05);
    // The block queued when the turn began and the timer once; what they add waits for the next turn.
    EXPECT_EQ(loop().runTurn(), 2u);
    EXPECT_EQ(fires, 1);
    EXPECT_EQ(order, (TimerList{"queued"}));
    EXPECT_EQ(loop().runTurn(), 2u);
    EXPECT_EQ(fires, 2);
    EXPECT_EQ(order, (TimerList{"queued", "added"}));
    // Running until idle stops at what was due when the call began.
    EXPECT_EQ(loop().runUntilIdle(), 1u);
    EXPECT_EQ(fires, 3);
    slow->invalidate();
}

TEST_F(RunLoopTest, NestedTurnInsideCallbackRunsQueuedWorkOnce) {
    TimerList order;
    int ticks = 0;
    auto timer = NSTimer::scheduledTimer(0.1, true, [&](const std::shared_ptr<NSTimer>&) {
        ++ticks;
        loop().perform([&] { order.push_back("inner"); });
        loop().runUntilIdle();  // a nested turn up to the present moment
        order.push_back("after nested");
    });
    loop().advance(0.1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(order, (TimerList{"inner", "after nested"}));
    timer->invalidate();
}

TEST_F(RunLoopTest, VirtualWallClockMovesWithVirtualTime) {
    double wall = CFAbsoluteTimeGetCurrent();
    EXPECT_DOUBLE_EQ(wall, 788918400.0);
    loop().advance(2.5);
    EXPECT_DOUBLE_EQ(CFAbsoluteTimeGetCurrent(), wall + 2.5);
    EXPECT_DOUBLE_EQ(CACurrentMediaTime(), kStart + 2.5);
    Clock::setVirtualNow(kStart);  // never backwards
    EXPECT_DOUBLE_EQ(Clock::now(), kStart + 2.5);
}

TEST(RunLoopRealClock, RunWaitsForWorkFromOtherThreadsAndStops) {
    Clock::useReal();
    RunLoop::main().reset();
    EXPECT_TRUE(RunLoop::isMainThread());
    bool ranOnMain = false;
    int ticks = 0;
    auto timer = NSTimer::scheduledTimer(0.01, true, [&](const std::shared_ptr<NSTimer>&) { ++ticks; });
    std::thread worker([&] {
        EXPECT_FALSE(RunLoop::isMainThread());
        dispatch_async(dispatch_get_main_queue(), [&] {
            ranOnMain = RunLoop::isMainThread();
            if (ticks >= 2)
                RunLoop::main().stop();
            else
                NSTimer::scheduledTimer(0.05, false, [](const std::shared_ptr<NSTimer>&) { RunLoop::main().stop(); });
        });
    });
    RunLoop::main().run();
    worker.join();
    EXPECT_TRUE(ranOnMain);
    timer->invalidate();
    RunLoop::main().reset();
}

TEST_F(RunLoopTest, NonFiniteIntervalsNeitherHangNorFireEarly) {
    int nanTicks = 0, infTicks = 0;
    std::atomic<int> afterRuns{0};
    auto nanTimer = NSTimer::scheduledTimer(std::nan(""), true, [&](const std::shared_ptr<NSTimer>&) { ++nanTicks; });
    auto infTimer = NSTimer::scheduledTimer(INFINITY, false, [&](const std::shared_ptr<NSTimer>&) { ++infTicks; });
    nanTimer->setFireDate(std::nan(""));  // ignored
    DispatchQueue::main()->after(INFINITY, [&] { ++afterRuns; });
    DispatchQueue::serial("test.nan")->after(std::nan(""), [&] { ++afterRuns; });

    loop().advance(0.00105);
    loop().drainAll();
    EXPECT_EQ(nanTicks, 10);  // the 0.1 ms floor
    EXPECT_EQ(infTicks, 0);
    EXPECT_EQ(afterRuns.load(), 1);
    ASSERT_TRUE(loop().nextTimerDate().has_value());
    EXPECT_GT(*loop().nextTimerDate(), Clock::now());
    EXPECT_LE(*loop().nextTimerDate(), Clock::now() + 0.0001);
    nanTimer->invalidate();
    infTimer->invalidate();
}

TEST_F(RunLoopTest, BeforeWaitingObserversRunAfterTheWorkOfATurn) {
    TimerList order;
    int passes = 0;
    auto id = loop().addBeforeWaitingObserver([&] {
        ++passes;
        order.push_back("flush");
        if (passes == 1) loop().perform([&] { order.push_back("work from flush"); });
    });
    loop().perform([&] { order.push_back("a"); });
    loop().perform([&] { order.push_back("b"); });
    loop().runUntilIdle();
    EXPECT_EQ(order, (TimerList{"a", "b", "flush", "work from flush", "flush"}));

    // An observer that always makes more work cannot hold the loop forever.
    auto greedy = loop().addBeforeWaitingObserver([&] { loop().perform([] {}); });
    passes = 0;
    loop().runUntilIdle();
    EXPECT_LE(passes, 4);
    loop().removeBeforeWaitingObserver(greedy);
    loop().removeBeforeWaitingObserver(id);
    loop().runUntilIdle();
    passes = 0;
    loop().runUntilIdle();
    EXPECT_EQ(passes, 0);
}
