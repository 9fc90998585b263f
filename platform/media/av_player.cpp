#include "platform/media/av_player.h"

#include <algorithm>

#include "platform/dispatch/clock.h"

double AVPlayer::end() const {
    return item_ ? CMTimeGetSeconds(item_->duration()) : 0;
}

double AVPlayer::seconds() const {
    return std::clamp(anchor_ + (Clock::now() - anchorClock_) * rate_, 0.0, std::max(0.0, end()));
}

float AVPlayer::rate() const {
    if (rate_ > 0 && seconds() >= end()) return 0;
    return rate_;
}

void AVPlayer::setRate(float rate) {
    anchor_ = seconds();
    anchorClock_ = Clock::now();
    rate_ = rate;
}

CMTime AVPlayer::currentTime() const {
    return CMTimeMakeWithSeconds(seconds(), 600);
}

void AVPlayer::seekToTime(CMTime time) {
    anchor_ = std::clamp(CMTimeGetSeconds(time), 0.0, std::max(0.0, end()));
    anchorClock_ = Clock::now();
}
