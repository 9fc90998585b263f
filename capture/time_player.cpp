#include "capture/time_player.h"

#include "platform/dispatch/clock.h"

void TimePlayer::reset() {
    paused_ = false;
    pos0_ = Clock::now();
    pos1_ = pos0_;
}

void TimePlayer::play() {
    reset();
    played_ = true;
}

void TimePlayer::stop() {
    reset();
    played_ = false;
}

void TimePlayer::save() {
    pos1_ = Clock::now() - pos0_;
}

void TimePlayer::pause() {
    if (paused_) return;
    paused_ = true;
    save();
}

void TimePlayer::resume() {
    if (!paused_) return;
    paused_ = false;
    pos0_ = Clock::now() - pos1_;
}

double TimePlayer::position() {
    if (!played_) return 0;
    if (!paused_) save();
    return pos1_;
}
