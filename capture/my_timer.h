// MyTimer: a block timer that starts after an initial delay; optionally also runs in the run
// loop's common modes (so that it fires while the user scrolls). Main thread.
#pragma once

#include <functional>
#include <memory>

#include "platform/dispatch/timer.h"

class MyTimer : public NSObject {
public:
    using Block = std::function<void(const std::shared_ptr<NSTimer>&)>;

    KORVA_MAKE(MyTimer)

    void restart();
    void restart0();
    void resetd();
    void reset();
    // False while waiting out the delay.
    bool isValidAfterDelay() const { return timer_ && timer_->isValid(); }
    const std::shared_ptr<NSTimer>& timer() const { return timer_; }

    std::string className() const override { return "MyTimer"; }

protected:
    MyTimer(double delay, double interval, bool repeats, bool runLoop, Block block)
        : repeats_(repeats), runLoop_(runLoop), interval_(interval), block_(std::move(block)), delay_(delay) {}

private:
    bool repeats_;
    bool runLoop_;
    std::shared_ptr<NSTimer> timer_;
    double interval_;
    Block block_;
    double delay_;
    std::shared_ptr<NSTimer> dtimer_;
};
