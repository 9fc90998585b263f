// AVAudioSession: the app's audio category and activity, and the system output volume. Only what
// the volume-button shutter uses. Thread-safe.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/result.h"

inline constexpr const char* AVAudioSessionCategoryAmbient = "AVAudioSessionCategoryAmbient";
inline constexpr const char* AVAudioSessionCategorySoloAmbient = "AVAudioSessionCategorySoloAmbient";
inline constexpr const char* AVAudioSessionCategoryPlayback = "AVAudioSessionCategoryPlayback";
inline constexpr const char* AVAudioSessionCategoryRecord = "AVAudioSessionCategoryRecord";
inline constexpr const char* AVAudioSessionCategoryPlayAndRecord = "AVAudioSessionCategoryPlayAndRecord";

class AVAudioSession : public NSObject {
public:
    KORVA_MAKE(AVAudioSession)
    static std::shared_ptr<AVAudioSession> sharedInstance();

    std::string category() const;
    // Unknown categories are refused.
    Result<void> setCategory(const std::string& category);
    bool isActive() const;
    Result<void> setActive(bool active);
    // The system volume, 0...1 (see SystemVolume).
    float outputVolume() const;

protected:
    AVAudioSession() = default;

private:
    mutable std::mutex mutex_;
    std::string category_ = AVAudioSessionCategorySoloAmbient;
    bool active_ = false;
};
