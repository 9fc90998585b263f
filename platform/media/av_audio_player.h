// AVAudioPlayer: plays a sound file. Its time runs on the Clock (so tests step it); the sound goes
// to the audio output made with the player (the device, or a null sink when headless, on the
// virtual clock or without a device). States: Stopped or Paused -> (play) Playing -> (pause, or
// the end of the file) Paused. Main thread or any one thread at a time.
#pragma once

#include <memory>

#include "platform/media/audio_output.h"
#include "platform/net/url.h"
#include "platform/runtime/result.h"

class AVAudioPlayer : public NSObject {
public:
    KORVA_MAKE(AVAudioPlayer)
    // Fails for a file without a readable sound track.
    static Result<std::shared_ptr<AVAudioPlayer>> playerWithContentsOfURL(const std::shared_ptr<NSURL>& url);

    const std::shared_ptr<NSURL>& url() const { return url_; }
    double duration() const { return duration_; }
    // Seconds from the start of the file, within 0...duration.
    double currentTime() const;
    void setCurrentTime(double seconds);
    bool play();
    void pause();
    void stop();
    bool isPlaying() const;
    AudioOutput::Kind outputKind() const { return output_->kind(); }
    // Replaces the output (a playing player goes on sounding through the new one).
    void setOutput(std::unique_ptr<AudioOutput> output);

    std::string className() const override { return "AVAudioPlayer"; }

protected:
    AVAudioPlayer(std::shared_ptr<NSURL> url, std::string path, double duration)
        : url_(std::move(url)), path_(std::move(path)), duration_(duration), output_(AudioOutput::make()) {}

private:
    const std::shared_ptr<NSURL> url_;
    const std::string path_;  // the file a library URL names
    const double duration_;
    std::unique_ptr<AudioOutput> output_;
    bool playing_ = false;
    double position_ = 0;   // while paused: the time; while playing: the time at playStart_
    double playStart_ = 0;  // Clock time when play began
};
