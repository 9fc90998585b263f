#include "platform/media/av_player.h"

#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/media/player_pictures.h"

AVPlayer::AVPlayer(std::shared_ptr<AVPlayerItem> item) : item_(std::move(item)) {}

AVPlayer::~AVPlayer() {
    if (output_) output_->stop();
}

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
    float was = rate_;
    anchor_ = seconds();
    anchorClock_ = Clock::now();
    rate_ = rate;
    if (was != rate_) syncSound();
}

CMTime AVPlayer::currentTime() const {
    return CMTimeMakeWithSeconds(seconds(), 600);
}

void AVPlayer::seekToTime(CMTime time) {
    anchor_ = std::clamp(CMTimeGetSeconds(time), 0.0, std::max(0.0, end()));
    anchorClock_ = Clock::now();
    if (rate_ != 0) syncSound();
}

std::shared_ptr<CGImage> AVPlayer::currentPicture() {
    if (!pictures_) pictures_ = std::make_unique<PlayerPictures>(item_ ? item_->asset() : nullptr);
    return pictures_->pictureAt(seconds());
}

AudioOutput& AVPlayer::output() {
    if (!output_) output_ = AudioOutput::make();
    return *output_;
}

AudioOutput::Kind AVPlayer::audioOutputKind() {
    return output().kind();
}

void AVPlayer::setAudioOutput(std::unique_ptr<AudioOutput> output) {
    if (output_) output_->stop();
    output_ = std::move(output);
    if (rate_ != 0) syncSound();
}

void AVPlayer::syncSound() {
    // Only sound at the normal rate: the output cannot play faster, slower or backwards.
    if (rate_ != 1 || seconds() >= end()) {
        output().stop();
        return;
    }
    auto pieces = mediaPieces(item_ ? item_->asset() : nullptr, AVMediaTypeAudio);
    int at = pieceAt(pieces, seconds());
    if (at < 0) {
        output().stop();
        return;
    }
    const MediaPiece& piece = pieces[std::size_t(at)];
    double into = seconds() - piece.targetStart;
    if (into < 0 || into >= piece.duration) {
        output().stop();
        return;
    }
    output().start(piece.path, piece.sourceStart + into);
}
