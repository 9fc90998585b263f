// Timer slots and weakly bound callbacks: a restart replaces the pending fire, a dead owner is
// never called, and arguments reach a member that takes them.
#include <gtest/gtest.h>

#include "platform/dispatch/timer.h"
#include "platform/dispatch/timer_slots.h"
#include "tests/platform/dispatch/virtual_clock.h"

namespace {

struct Owner {
    int ticks = 0;
    int last = 0;
    void tick() { ++ticks; }
    void take(int v) { last = v; }
};

using TimerSlots = VirtualClockTest;

TEST_F(TimerSlots, OneShotRestartReplacesThePendingFireAndResetCancelsIt) {
    auto owner = std::make_shared<Owner>();
    OneShotTimer slot;
    slot.restart(0.5, weakBind(owner, &Owner::tick));
    loop().advance(0.4);
    slot.restart(0.5, weakBind(owner, &Owner::tick));
    loop().advance(0.4);
    EXPECT_EQ(owner->ticks, 0);
    EXPECT_TRUE(slot.pending());
    loop().advance(0.2);
    EXPECT_EQ(owner->ticks, 1);
    EXPECT_FALSE(slot.pending());

    slot.restart(0.1, weakBind(owner, &Owner::tick));
    slot.reset();
    loop().advance(1.0);
    EXPECT_EQ(owner->ticks, 1);
}

TEST_F(TimerSlots, RepeatingFiresUntilResetAndNeverCallsADeadOwner) {
    auto owner = std::make_shared<Owner>();
    RepeatingTimer slot;
    slot.restart(0.1, weakBind(owner, &Owner::tick));
    loop().advance(0.35);
    EXPECT_EQ(owner->ticks, 3);
    slot.reset();
    loop().advance(1.0);
    EXPECT_EQ(owner->ticks, 3);
    EXPECT_FALSE(slot.running());

    slot.restart(0.1, weakBind(owner, &Owner::tick));
    std::weak_ptr<Owner> gone = owner;
    owner.reset();
    loop().advance(0.5);  // fires into a dead owner: nothing happens
    EXPECT_TRUE(gone.expired());
}

// A view that goes takes its timers with it, even while whatever its ticks reach lives on.
TEST_F(TimerSlots, ASlotThatGoesInvalidatesItsTimer) {
    auto owner = std::make_shared<Owner>();
    std::shared_ptr<NSTimer> repeating, oneShot;
    {
        RepeatingTimer slot;
        OneShotTimer once;
        slot.restart(0.1, weakBind(owner, &Owner::tick));
        once.restart(0.1, weakBind(owner, &Owner::tick));
        repeating = slot.timer();
        oneShot = once.timer();
        ASSERT_TRUE(repeating && oneShot);
    }
    EXPECT_FALSE(repeating->isValid());
    EXPECT_FALSE(oneShot->isValid());
    loop().advance(0.5);
    EXPECT_EQ(owner->ticks, 0);
}

TEST(WeakBind, ForwardsArgumentsTheMemberTakesAndDropsTheRest) {
    auto owner = std::make_shared<Owner>();
    auto take = weakBind(owner, &Owner::take);
    auto tick = weakBind(owner, &Owner::tick);
    take(7);
    tick(42, "ignored");
    EXPECT_EQ(owner->last, 7);
    EXPECT_EQ(owner->ticks, 1);
    owner.reset();
    take(9);  // no owner, no call
}

}  // namespace
