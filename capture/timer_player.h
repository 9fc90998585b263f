// TimerPlayer: a silent player of a given length that ticks every 0.1 s on the run loop and tells
// its delegate when it has played to the end. A finished player keeps its final position.
// Main thread.
#pragma once

#include <memory>

#include "platform/dispatch/timer.h"

class TimerPlayer;

class TimerPlayerDelegate {
public:
    virtual ~TimerPlayerDelegate() = default;
    virtual void onTimerPlayerFinished(const std::shared_ptr<TimerPlayer>& player) = 0;
};

class TimerPlayer : public NSObject {
public:
    KORVA_MAKE(TimerPlayer)
    static constexpr double kTick = 0.1;

    void start(double duration);
    void start();
    void pause();
    void resume();
    void restartTimer();
    void resetTimer();
    void onTimer(const std::shared_ptr<NSTimer>& timer);

    double position() const;
    double duration() const { return duration_; }
    bool isPlaying() const { return timer_ && timer_->isValid(); }
    const std::shared_ptr<NSTimer>& timer() const { return timer_; }

    std::string className() const override { return "TimerPlayer"; }

protected:
    explicit TimerPlayer(std::weak_ptr<TimerPlayerDelegate> delegate) : delegate_(std::move(delegate)) {}

private:
    std::weak_ptr<TimerPlayerDelegate> delegate_;
    double duration_ = 0;
    double time0_ = 0;
    double time1_ = 0;
    std::shared_ptr<NSTimer> timer_;
};
