#include "capture/audio_session.h"

#include <map>

#include "platform/media/microphone_inputs.h"

void AudioSession::init() {
    installMicrophoneInputs();
}

void AudioSession::clearCaches() {
    recordInputs_.reset();
    recordInputNames_.reset();
}

void AudioSession::setActive_NO() {
    (void)session()->setActive(false);
}

void AudioSession::setPlayback(bool on) {
    clearCaches();
    auto s = session();
    if (on) {
        RemoteControlEvents::begin();
        (void)s->setCategory(AVAudioSessionCategoryPlayback, AVAudioSessionCategoryOptionNone);
    } else {
        RemoteControlEvents::end();
        (void)s->setCategory(AVAudioSessionCategoryAmbient);
    }
    (void)s->setMode(AVAudioSessionModeDefault);
    (void)s->setActive(on);
}

const AudioSession::Inputs& AudioSession::recordInputs() {
    if (!recordInputs_) {
        auto s = session();
        (void)s->setCategory(AVAudioSessionCategoryPlayAndRecord, AVAudioSessionCategoryOptionAllowBluetooth);
        Inputs inputs;
        std::map<std::string, int> seen;
        for (auto& port : s->availableInputs())
            inputs.emplace_back(port->portName() + " (" + std::to_string(++seen[port->portName()]) + ")", port);
        recordInputs_ = std::move(inputs);
    }
    return *recordInputs_;
}

const std::vector<std::string>& AudioSession::recordInputNames() {
    if (!recordInputNames_) {
        std::vector<std::string> names;
        for (auto& [name, port] : recordInputs()) names.push_back(name);
        recordInputNames_ = std::move(names);
    }
    return *recordInputNames_;
}

std::optional<std::string> AudioSession::defRecordInput(const std::string& name) {
    const Inputs& inputs = recordInputs();
    for (auto& [n, port] : inputs)
        if (n == name) return n;
    for (auto& [n, port] : inputs)
        if (port->portType() == AVAudioSessionPortBluetoothHFP) return n;
    if (!inputs.empty()) return inputs.front().first;
    return std::nullopt;
}

std::shared_ptr<AVAudioSessionPortDescription> AudioSession::portNamed(const std::string& name) {
    auto chosen = defRecordInput(name);
    if (!chosen) return nullptr;
    for (auto& [n, port] : recordInputs())
        if (n == *chosen) return port;
    return nullptr;
}

void AudioSession::setRecord0(const std::optional<std::string>& name, const std::string& mode) {
    auto s = session();
    (void)s->setCategory(AVAudioSessionCategoryPlayAndRecord, AVAudioSessionCategoryOptionAllowBluetooth);
    (void)s->setMode(mode);
    (void)s->setActive(true);
    if (!name) return;
    auto port = portNamed(*name);
    if (!port) {
        // The inputs may have changed since they were cached: look once more.
        clearCaches();
        port = portNamed(*name);
    }
    if (port) (void)s->setPreferredInput(port);
}
