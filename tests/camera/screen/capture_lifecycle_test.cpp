// The capture life cycle: every entry tried in every state, and a start overtaken by a stop.
#include "camera/screen/capture_lifecycle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* nameOf(CaptureState s) {
    switch (s) {
        case CaptureState::Idle: return "Idle";
        case CaptureState::Starting: return "Starting";
        case CaptureState::Running: return "Running";
        case CaptureState::Stopping: return "Stopping";
    }
    return "?";
}

// A life cycle brought to the state by legal steps; `ticket` is the last start's.
CaptureLifecycle reach(CaptureState target, CaptureLifecycle::Ticket& ticket) {
    CaptureLifecycle c;
    if (target == CaptureState::Idle) return c;
    ticket = *c.beginStart();
    if (target == CaptureState::Starting) return c;
    c.finishStart(ticket);
    if (target == CaptureState::Running) return c;
    c.beginStop();
    return c;
}

}  // namespace

TEST(CaptureLifecycle, EachEntryIsTakenOnlyWhereTheLifeCycleAllowsIt) {
    enum Entry { BeginStart, FinishStart, BeginStop, FinishStop };
    struct Row {
        CaptureState from;
        Entry entry;
        bool legal;
        CaptureState to;
    };
    using S = CaptureState;
    const Row rows[] = {
        {S::Idle, BeginStart, true, S::Starting},      {S::Idle, FinishStart, false, S::Idle},
        {S::Idle, BeginStop, false, S::Idle},          {S::Idle, FinishStop, false, S::Idle},
        {S::Starting, BeginStart, false, S::Starting}, {S::Starting, FinishStart, true, S::Running},
        {S::Starting, BeginStop, true, S::Stopping},   {S::Starting, FinishStop, false, S::Starting},
        {S::Running, BeginStart, false, S::Running},   {S::Running, FinishStart, false, S::Running},
        {S::Running, BeginStop, true, S::Stopping},    {S::Running, FinishStop, false, S::Running},
        {S::Stopping, BeginStart, false, S::Stopping}, {S::Stopping, FinishStart, false, S::Stopping},
        {S::Stopping, BeginStop, false, S::Stopping},  {S::Stopping, FinishStop, true, S::Idle},
    };
    for (const Row& r : rows) {
        CaptureLifecycle::Ticket ticket = 0;
        CaptureLifecycle c = reach(r.from, ticket);
        ASSERT_EQ(c.state(), r.from);
        bool taken = false;
        switch (r.entry) {
            case BeginStart: taken = c.beginStart().has_value(); break;
            case FinishStart: taken = c.finishStart(ticket); break;
            case BeginStop: taken = c.beginStop(); break;
            case FinishStop: taken = c.finishStop(); break;
        }
        const std::string where = std::string(nameOf(r.from)) + ", entry " + std::to_string(int(r.entry));
        EXPECT_EQ(taken, r.legal) << where;
        EXPECT_EQ(c.state(), r.to) << where << " ended in " << nameOf(c.state());
        EXPECT_EQ(c.moving(), r.to == S::Starting || r.to == S::Stopping) << where;
    }
}

TEST(CaptureLifecycle, AStartOvertakenByAStopNeverMarksALaterStartRunning) {
    CaptureLifecycle c;
    const auto first = c.beginStart();
    ASSERT_TRUE(first);
    ASSERT_TRUE(c.beginStop());
    EXPECT_FALSE(c.finishStart(*first)) << "the stop won";
    EXPECT_EQ(c.state(), CaptureState::Stopping);
    ASSERT_TRUE(c.finishStop());

    const auto second = c.beginStart();
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *first);
    EXPECT_FALSE(c.finishStart(*first)) << "a late completion of the first start";
    EXPECT_EQ(c.state(), CaptureState::Starting);
    EXPECT_TRUE(c.finishStart(*second));
    EXPECT_EQ(c.state(), CaptureState::Running);
    EXPECT_FALSE(c.finishStart(*second)) << "a completion counts once";
}
