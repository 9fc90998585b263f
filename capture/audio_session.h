// AudioSession: the application's audio-session service (Global's `audioSession`): switches the
// shared session between playback, ambient and recording set-ups and names the recording inputs
// "<port name> (<n>)", n counting inputs of the same port name from 1.
//
// Main thread; the session's errors are ignored.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sensors/av_audio_session.h"

class AudioSession : public NSObject {
public:
    using Inputs = std::vector<std::pair<std::string, std::shared_ptr<AVAudioSessionPortDescription>>>;

    KORVA_MAKE(AudioSession)
    // Lists the capture registry's microphones as inputs unless another provider is installed.
    void init() override;

    std::shared_ptr<AVAudioSession> session() const { return AVAudioSession::sharedInstance(); }
    void setActive_NO();
    void setPlayback(bool on);
    // Name to port, in the order the session lists them; cached.
    const Inputs& recordInputs();
    const std::vector<std::string>& recordInputNames();
    // The name when it is an input; else the first Bluetooth hands-free input; else the first; none without inputs.
    std::optional<std::string> defRecordInput(const std::string& name);
    void setRecord0(const std::optional<std::string>& name, const std::string& mode);
    void setRecord(const std::optional<std::string>& name) { setRecord0(name, AVAudioSessionModeDefault); }
    void setRecognition(const std::optional<std::string>& name) { setRecord0(name, AVAudioSessionModeMeasurement); }
    void setRecordPlay() { setPlayback(true); }

    std::string className() const override { return "AudioSession"; }

protected:
    AudioSession() = default;

private:
    void clearCaches();
    std::shared_ptr<AVAudioSessionPortDescription> portNamed(const std::string& name);

    std::optional<Inputs> recordInputs_;
    std::optional<std::vector<std::string>> recordInputNames_;
};
