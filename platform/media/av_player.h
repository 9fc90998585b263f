// AVPlayerItem and AVPlayer: playing an asset: play, pause, rate and the current time, which runs
// on the Clock and stops at the item's end. The picture at the current time is decoded for the
// player's layers (AVPlayerLayer); the sound goes to the player's audio output (the device, or a
// null sink when headless or on the virtual clock), started at the current time whenever the
// player starts playing or seeks while playing, and silenced when it pauses. Main thread.
#pragma once

#include <memory>

#include "platform/image/cg_image.h"
#include "platform/media/audio_output.h"
#include "platform/media/av_asset.h"

class PlayerPictures;

class AVPlayerItem : public NSObject {
public:
    KORVA_MAKE(AVPlayerItem)
    static std::shared_ptr<AVPlayerItem> playerItemWithAsset(std::shared_ptr<AVAsset> asset) {
        return make(std::move(asset));
    }
    // An item without an asset when the URL is not readable (its duration is zero).
    static std::shared_ptr<AVPlayerItem> playerItemWithURL(const std::shared_ptr<NSURL>& url) {
        return make(std::static_pointer_cast<AVAsset>(AVURLAsset::URLAssetWithURL(url)));
    }
    const std::shared_ptr<AVAsset>& asset() const { return asset_; }
    CMTime duration() const { return asset_ ? asset_->duration() : kCMTimeZero; }

protected:
    explicit AVPlayerItem(std::shared_ptr<AVAsset> asset) : asset_(std::move(asset)) {}

private:
    std::shared_ptr<AVAsset> asset_;
};

class AVPlayer : public NSObject {
public:
    KORVA_MAKE(AVPlayer)
    static std::shared_ptr<AVPlayer> playerWithPlayerItem(std::shared_ptr<AVPlayerItem> item) {
        return make(std::move(item));
    }
    static std::shared_ptr<AVPlayer> playerWithURL(const std::shared_ptr<NSURL>& url) {
        return make(AVPlayerItem::playerItemWithURL(url));
    }

    const std::shared_ptr<AVPlayerItem>& currentItem() const { return item_; }
    void play() { setRate(1); }
    void pause() { setRate(0); }
    // 0 once the item has played to its end.
    float rate() const;
    void setRate(float rate);
    CMTime currentTime() const;
    void seekToTime(CMTime time);

    // The item's picture at the current time; none for an item without pictures.
    std::shared_ptr<CGImage> currentPicture();
    AudioOutput::Kind audioOutputKind();
    // Replaces the sound's output (a playing player goes on sounding through the new one).
    void setAudioOutput(std::unique_ptr<AudioOutput> output);

    ~AVPlayer() override;
    std::string className() const override { return "AVPlayer"; }

protected:
    explicit AVPlayer(std::shared_ptr<AVPlayerItem> item);

private:
    double seconds() const;
    double end() const;
    AudioOutput& output();
    // Sounds the item from the current time, or silences it when the player is not playing.
    void syncSound();

    std::shared_ptr<AVPlayerItem> item_;
    std::unique_ptr<PlayerPictures> pictures_;
    std::unique_ptr<AudioOutput> output_;  // made on first use
    float rate_ = 0;
    double anchor_ = 0;       // item time at anchorClock_
    double anchorClock_ = 0;  // Clock time when the rate last changed
};
