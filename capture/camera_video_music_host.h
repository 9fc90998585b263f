// CameraVideoMusicHost: records silent segments from the front camera while a piece of music
// plays, and merges them into one movie whose sound is a stretch of that music.
//
// The segments are those of the general host without the microphone (writing starts with the
// first picture). The music plays from where the finished segments end; the audio session is in
// playback from record until a finished segment reports. The merge drops the first 0.2 s of the
// first segment (a first segment no longer than that is left out), lays the segments back to back
// and puts the music under them from "startAt", moved earlier when too little music would remain.
// save asks the presets and file types one pair at a time, in order, and completes exactly once.
#pragma once

#include "capture/camera_video_general_host.h"
#include "platform/media/av_audio_player.h"
#include "platform/media/av_mutable_composition.h"

struct MusicStretch {
    float start = 0;
    float length = 0;
};
// Where the music under a video of videoSeconds begins and how long it lasts.
MusicStretch musicStretch(float startAt, float musicSeconds, float videoSeconds);

class CameraVideoMusicHost : public CameraVideoGeneralHost {
public:
    // The music: "url" (a file URL, as an object or text) and "startAt" (seconds).
    KORVA_MAKE(CameraVideoMusicHost)
    void init() override;

    const ValueDictionary& music() const { return music_; }
    void setMusic(ValueDictionary music) { music_ = std::move(music); }
    // Made on first use; none when the music cannot be loaded (recording goes on without it).
    std::shared_ptr<AVAudioPlayer> player();
    void setPlayer(std::shared_ptr<AVAudioPlayer> player);

    std::shared_ptr<AVMutableComposition> save0();
    void save(RecordCompletion completion) override;

    // The presets the merge may use, in the order they are tried.
    static const std::vector<std::string>& candidatePresets();

    std::string className() const override { return "CameraVideoMusicHost"; }

protected:
    explicit CameraVideoMusicHost(ValueDictionary music)
        : CameraVideoGeneralHost(true, false), music_(std::move(music)) {}

    void recordWillStart() override;
    void recordDidStart() override;
    void recordWillPause() override;
    void segmentWillReport() override;

private:
    std::shared_ptr<NSURL> musicURL() const;

    ValueDictionary music_;
    std::mutex playerMutex_;
    bool playerTried_ = false;
    std::shared_ptr<AVAudioPlayer> player_;
};
