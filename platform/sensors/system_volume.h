// The system volume and its buttons. The host presses a volume button (the window host's + and
// - keys, tests); the volume moves one step and the system volume notification is posted, on the
// pressing thread, with the reason "ExplicitVolumeChange" and, when the host told it, the time the
// press was made (Clock seconds, a double under kVolumePressMadeAtParameter). Other changes (a route change, another
// app) post other reasons. Thread-safe.
#pragma once

#include <optional>
#include <string>

inline constexpr const char* AVSystemController_SystemVolumeDidChangeNotification =
    "AVSystemController_SystemVolumeDidChangeNotification";
inline constexpr const char* AVSystemController_AudioVolumeChangeReasonNotificationParameter =
    "AVSystemController_AudioVolumeChangeReasonNotificationParameter";
inline constexpr const char* AVSystemController_AudioVolumeNotificationParameter =
    "AVSystemController_AudioVolumeNotificationParameter";
inline constexpr const char* kVolumePressMadeAtParameter = "VolumePressMadeAt";
inline constexpr const char* kExplicitVolumeChange = "ExplicitVolumeChange";

enum class VolumeButton { Up, Down };

class SystemVolume {
public:
    // 0...1; starts at 0.5.
    static float outputVolume();
    // A press moves the volume by 1/16 (clamped) and posts the notification, even at an end of
    // the range, as the buttons still count as pressed there. `madeAt` is when the button went
    // down, on the Clock, if known.
    static void press(VolumeButton button, std::optional<double> madeAt = std::nullopt);
    // A change not made by the user's buttons.
    static void change(float volume, const std::string& reason = "RouteChange");
    static void reset();
};
