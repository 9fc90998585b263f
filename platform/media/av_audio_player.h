// AVAudioPlayer: plays a sound file. Its time runs on the Clock (so tests step it); no sound is
// sent to an output device here. States: Stopped or Paused -> (play) Playing -> (pause, or the
// end of the file) Paused. Main thread or any one thread at a time.
#pragma once

#include <memory>

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

    std::string className() const override { return "AVAudioPlayer"; }

protected:
    AVAudioPlayer(std::shared_ptr<NSURL> url, double duration) : url_(std::move(url)), duration_(duration) {}

private:
    const std::shared_ptr<NSURL> url_;
    const double duration_;
    bool playing_ = false;
    double position_ = 0;   // while paused: the time; while playing: the time at playStart_
    double playStart_ = 0;  // Clock time when play began
};
