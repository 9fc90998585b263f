// The system volume.
#include "platform/sensors/system_volume.h"

#include <algorithm>
#include <mutex>

#include "platform/dispatch/notification_center.h"

namespace {

std::mutex volumeMutex;
float volume = 0.5f;

void post(float v, const std::string& reason, std::optional<double> madeAt = std::nullopt) {
    Value info = Value::dictionary({{AVSystemController_AudioVolumeChangeReasonNotificationParameter, Value(reason)},
                                    {AVSystemController_AudioVolumeNotificationParameter, Value(v)}});
    if (madeAt) info.dictionaryPtr()->set(kVolumePressMadeAtParameter, Value(*madeAt));
    NSNotificationCenter::defaultCenter()->post(AVSystemController_SystemVolumeDidChangeNotification, nullptr,
                                                std::move(info));
}

}  // namespace

float SystemVolume::outputVolume() {
    std::lock_guard lock(volumeMutex);
    return volume;
}

void SystemVolume::press(VolumeButton button, std::optional<double> madeAt) {
    float v;
    {
        std::lock_guard lock(volumeMutex);
        volume = std::clamp(volume + (button == VolumeButton::Up ? 1.0f : -1.0f) / 16.0f, 0.0f, 1.0f);
        v = volume;
    }
    post(v, kExplicitVolumeChange, madeAt);
}

void SystemVolume::change(float v, const std::string& reason) {
    {
        std::lock_guard lock(volumeMutex);
        volume = std::clamp(v, 0.0f, 1.0f);
        v = volume;
    }
    post(v, reason);
}

void SystemVolume::reset() {
    std::lock_guard lock(volumeMutex);
    volume = 0.5f;
}
