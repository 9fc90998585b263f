// A test fixture on the virtual clock with a clean main run loop.
#pragma once

#include <gtest/gtest.h>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"

class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::useVirtual(kStart);
        RunLoop::main().reset();
    }
    void TearDown() override {
        RunLoop::main().drainAll();
        RunLoop::main().reset();
    }
    static constexpr double kStart = 1000.0;
    RunLoop& loop() { return RunLoop::main(); }
};
