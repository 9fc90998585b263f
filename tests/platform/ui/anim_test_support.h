// A fixture that runs each test on a fresh virtual clock with an empty run loop and animation engine.
#pragma once

#include <gtest/gtest.h>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/animation/ui_view_animation.h"

struct AnimClockTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
        CAAnimationEngine::reset();
        CATransaction::reset();
        UIViewAnimation::reset();
    }
    void TearDown() override {
        CAAnimationEngine::reset();
        CATransaction::reset();
        RunLoop::main().reset();
        Clock::useReal();
    }
    static void advance(double seconds) { RunLoop::main().advance(seconds); }
};
