// Haptic: three kinds of haptic feedback, once or repeated every 1.5 s; Vibration: the system
// vibration, once or repeated every 1.5 s. The repeating timer is a slot of its owner: it holds
// the owner weakly and stops when the owner goes.
//
// Main-thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/object.h"

class Haptic : public NSObject {
public:
    KORVA_MAKE(Haptic)

    static constexpr double kInterval = 1.5;

    // Impact, selection-changed and success-notification feedback; each prepares again after.
    void tick_level0();
    void tick_level1();
    void tick_level2();

    // 0 impact, 1 selection, 2 notification; other levels tick nothing.
    std::int64_t level() const { return level_; }
    void start(std::int64_t level);
    void stop() { resetTimer(); }
    void restartTimer();
    void resetTimer() { timer_.reset(); }
    bool isRunning() const { return timer_.running(); }

    std::string className() const override { return "Haptic"; }

protected:
    Haptic() = default;

private:
    void onTimer();
    void prepareOnce(int generator);

    std::int64_t level_ = 0;
    bool prepared_[3] = {false, false, false};
    RepeatingTimer timer_;
};

class Vibration : public NSObject {
public:
    KORVA_MAKE(Vibration)

    static constexpr std::uint32_t kVibrateSound = 4095;

    void start();
    void stop() { timer_.reset(); }
    // Plays the vibration once.
    void tick();
    bool isRunning() const { return timer_.running(); }

    std::string className() const override { return "Vibration"; }

protected:
    Vibration() = default;

private:
    RepeatingTimer timer_;
};
