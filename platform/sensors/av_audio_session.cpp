// The audio session.
#include "platform/sensors/av_audio_session.h"

#include "platform/sensors/system_volume.h"

std::shared_ptr<AVAudioSession> AVAudioSession::sharedInstance() {
    static auto session = AVAudioSession::make();
    return session;
}

std::string AVAudioSession::category() const {
    std::lock_guard lock(mutex_);
    return category_;
}

Result<void> AVAudioSession::setCategory(const std::string& category) {
    for (const char* c :
         {AVAudioSessionCategoryAmbient, AVAudioSessionCategorySoloAmbient, AVAudioSessionCategoryPlayback,
          AVAudioSessionCategoryRecord, AVAudioSessionCategoryPlayAndRecord})
        if (category == c) {
            std::lock_guard lock(mutex_);
            category_ = category;
            return {};
        }
    return fail("unknown audio session category " + category);
}

bool AVAudioSession::isActive() const {
    std::lock_guard lock(mutex_);
    return active_;
}

Result<void> AVAudioSession::setActive(bool active) {
    std::lock_guard lock(mutex_);
    active_ = active;
    return {};
}

float AVAudioSession::outputVolume() const {
    return SystemVolume::outputVolume();
}
