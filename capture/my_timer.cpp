#include "capture/my_timer.h"

#include "platform/dispatch/run_loop.h"

void MyTimer::restart() {
    reset();
    if (delay_ > 0) {
        std::weak_ptr<MyTimer> weak = self<MyTimer>();
        dtimer_ = NSTimer::scheduledTimer(delay_, false, [weak](const std::shared_ptr<NSTimer>&) {
            if (auto t = weak.lock()) {
                t->resetd();
                t->restart0();
            }
        });
    } else {
        restart0();
    }
}

void MyTimer::restart0() {
    timer_ = NSTimer::scheduledTimer(interval_, repeats_, block_);
    if (runLoop_) RunLoop::current().addTimer(timer_, RunLoopMode::Common);
}

void MyTimer::resetd() {
    if (dtimer_) dtimer_->invalidate();
    dtimer_ = nullptr;
}

void MyTimer::reset() {
    resetd();
    if (timer_) timer_->invalidate();
    timer_ = nullptr;
}
