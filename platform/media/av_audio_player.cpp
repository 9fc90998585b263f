// The player's clock-timed position and its output.
#include "platform/media/av_audio_player.h"

#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/media/av_asset.h"

Result<std::shared_ptr<AVAudioPlayer>> AVAudioPlayer::playerWithContentsOfURL(const std::shared_ptr<NSURL>& url) {
    auto asset = AVURLAsset::URLAssetWithURL(url);
    if (!asset) return fail("cannot open " + (url ? url->absoluteString() : std::string("no URL")));
    auto sound = asset->tracksWithMediaType(AVMediaTypeAudio);
    if (sound.empty()) return fail(url->absoluteString() + " has no sound");
    return make(url, asset->path(), CMTimeGetSeconds(sound.front()->timeRange().duration));
}

double AVAudioPlayer::currentTime() const {
    if (!playing_) return position_;
    return std::clamp(position_ + Clock::now() - playStart_, 0.0, duration_);
}

void AVAudioPlayer::setCurrentTime(double seconds) {
    position_ = std::clamp(seconds, 0.0, duration_);
    playStart_ = Clock::now();
    if (playing_) output_->start(path_, position_);
}

void AVAudioPlayer::setOutput(std::unique_ptr<AudioOutput> output) {
    output_->stop();
    output_ = std::move(output);
    if (playing_) output_->start(path_, currentTime());
}

bool AVAudioPlayer::play() {
    if (playing_) return true;
    if (position_ >= duration_) return false;
    playing_ = true;
    playStart_ = Clock::now();
    output_->start(path_, position_);
    return true;
}

void AVAudioPlayer::pause() {
    position_ = currentTime();
    playing_ = false;
    output_->stop();
}

void AVAudioPlayer::stop() {
    pause();
}

bool AVAudioPlayer::isPlaying() const {
    return playing_ && currentTime() < duration_;
}
