// The system volume.
#include "platform/sensors/system_volume.h"

#include <algorithm>
#include <mutex>

#include "platform/dispatch/notification_center.h"

namespace {

std::mutex volumeMutex;
float volume = 0.5f;

void post(float v, const std::string& reason) {
    NSNotificationCenter::defaultCenter()->post(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr,
        Value::dictionary({{AVSystemController_AudioVolumeChangeReasonNotificationParameter, Value(reason)},
                           {AVSystemController_AudioVolumeNotificationParameter, Value(v)}}));
}

}  // namespace

float SystemVolume::outputVolume() {
    std::lock_guard lock(volumeMutex);
    return volume;
}

void SystemVolume::press(VolumeButton button) {
    float v;
    {
        std::lock_guard lock(volumeMutex);
        volume = std::clamp(volume + (button == VolumeButton::Up ? 1.0f : -1.0f) / 16.0f, 0.0f, 1.0f);
        v = volume;
    }
    post(v, kExplicitVolumeChange);
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
