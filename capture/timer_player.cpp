#include "capture/timer_player.h"

#include "platform/dispatch/clock.h"

void TimerPlayer::start(double duration) {
    duration_ = duration;
    start();
}

void TimerPlayer::start() {
    time0_ = Clock::now();
    time1_ = 0;
    restartTimer();
}

void TimerPlayer::pause() {
    time1_ = Clock::now() - time0_;
    resetTimer();
}

void TimerPlayer::resume() {
    time0_ = Clock::now() - time1_;
    restartTimer();
}

void TimerPlayer::restartTimer() {
    resetTimer();
    std::weak_ptr<TimerPlayer> weak = self<TimerPlayer>();
    timer_ = NSTimer::scheduledTimer(kTick, true, [weak](const std::shared_ptr<NSTimer>& t) {
        if (auto player = weak.lock()) player->onTimer(t);
    });
}

void TimerPlayer::resetTimer() {
    if (timer_) timer_->invalidate();
    timer_ = nullptr;
}

void TimerPlayer::onTimer(const std::shared_ptr<NSTimer>&) {
    if (position() < duration_) return;
    // The end is kept as the position, so a finished player does not read 0.
    time1_ = position();
    resetTimer();
    if (auto d = delegate_.lock()) d->onTimerPlayerFinished(self<TimerPlayer>());
}

double TimerPlayer::position() const {
    return isPlaying() ? Clock::now() - time0_ : time1_;
}
