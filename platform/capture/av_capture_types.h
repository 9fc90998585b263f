// Enumerations and small value types of the capture service, with the platform's numbering.
#pragma once

#include <cstdint>
#include <string>

#include "platform/capture/cm_time.h"

enum class AVMediaType { Video, Audio };
// The platform's four-character media type names ("vide", "soun").
const char* AVMediaTypeName(AVMediaType type);

enum class AVCaptureDevicePosition : std::int64_t { Unspecified = 0, Back = 1, Front = 2 };

enum class AVCaptureDeviceType { BuiltInWideAngleCamera, BuiltInMicrophone, External };

enum class AVAuthorizationStatus : std::int64_t { NotDetermined = 0, Restricted = 1, Denied = 2, Authorized = 3 };

enum class AVCaptureFocusMode : std::int64_t { Locked = 0, AutoFocus = 1, ContinuousAutoFocus = 2 };
enum class AVCaptureExposureMode : std::int64_t { Locked = 0, AutoExpose = 1, ContinuousAutoExposure = 2, Custom = 3 };
enum class AVCaptureWhiteBalanceMode : std::int64_t {
    Locked = 0,
    AutoWhiteBalance = 1,
    ContinuousAutoWhiteBalance = 2
};
enum class AVCaptureTorchMode : std::int64_t { Off = 0, On = 1, Auto = 2 };
enum class AVCaptureFlashMode : std::int64_t { Off = 0, On = 1, Auto = 2 };

enum class AVCaptureVideoOrientation : std::int64_t {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

struct CMVideoDimensions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const CMVideoDimensions&) const = default;
};

struct AVCaptureWhiteBalanceGains {
    float redGain = 1, greenGain = 1, blueGain = 1;
    bool operator==(const AVCaptureWhiteBalanceGains&) const = default;
};

struct AVCaptureWhiteBalanceTemperatureAndTintValues {
    float temperature = 0, tint = 0;
};

// The platform's "keep the current value" markers for custom exposure.
inline constexpr CMTime AVCaptureExposureDurationCurrent{0, 0, 0, 0};
inline constexpr float AVCaptureISOCurrent = 0;
inline constexpr float AVCaptureLensPositionCurrent = -1;
inline constexpr float AVCaptureMaxAvailableTorchLevel = 3.4028234663852886e38f;
inline const AVCaptureWhiteBalanceGains AVCaptureWhiteBalanceGainsCurrent{0, 0, 0};

// Session presets, by the platform's names.
namespace AVCaptureSessionPreset {
inline constexpr const char* Photo = "AVCaptureSessionPresetPhoto";
inline constexpr const char* High = "AVCaptureSessionPresetHigh";
inline constexpr const char* Medium = "AVCaptureSessionPresetMedium";
inline constexpr const char* Low = "AVCaptureSessionPresetLow";
inline constexpr const char* P352x288 = "AVCaptureSessionPreset352x288";
inline constexpr const char* P640x480 = "AVCaptureSessionPreset640x480";
inline constexpr const char* P1280x720 = "AVCaptureSessionPreset1280x720";
inline constexpr const char* P1920x1080 = "AVCaptureSessionPreset1920x1080";
inline constexpr const char* P3840x2160 = "AVCaptureSessionPreset3840x2160";
inline constexpr const char* IFrame960x540 = "AVCaptureSessionPresetiFrame960x540";
inline constexpr const char* IFrame1280x720 = "AVCaptureSessionPresetiFrame1280x720";
inline constexpr const char* InputPriority = "AVCaptureSessionPresetInputPriority";
}  // namespace AVCaptureSessionPreset

// Notification names and user-info keys.
inline constexpr const char* AVCaptureSessionRuntimeErrorNotification = "AVCaptureSessionRuntimeErrorNotification";
inline constexpr const char* AVCaptureSessionDidStartRunningNotification =
    "AVCaptureSessionDidStartRunningNotification";
inline constexpr const char* AVCaptureSessionDidStopRunningNotification = "AVCaptureSessionDidStopRunningNotification";
inline constexpr const char* AVCaptureSessionWasInterruptedNotification = "AVCaptureSessionWasInterruptedNotification";
inline constexpr const char* AVCaptureSessionInterruptionEndedNotification =
    "AVCaptureSessionInterruptionEndedNotification";
inline constexpr const char* AVCaptureSessionErrorKey = "AVCaptureSessionErrorKey";
inline constexpr const char* AVCaptureSessionInterruptionReasonKey = "AVCaptureSessionInterruptionReasonKey";
inline constexpr const char* AVCaptureDeviceSubjectAreaDidChangeNotification =
    "AVCaptureDeviceSubjectAreaDidChangeNotification";
inline constexpr const char* AVFoundationErrorDomain = "AVFoundationErrorDomain";

enum class AVCaptureSessionInterruptionReason : std::int64_t {
    VideoDeviceNotAvailableInBackground = 1,
    AudioDeviceInUseByAnotherClient = 2,
    VideoDeviceInUseByAnotherClient = 3,
    VideoDeviceNotAvailableWithMultipleForegroundApps = 4,
    VideoDeviceNotAvailableDueToSystemPressure = 5,
};

// Capture error codes used here.
enum AVError : std::int64_t {
    AVErrorUnknown = -11800,
    AVErrorDeviceNotConnected = -11814,
    AVErrorDeviceLockedForConfigurationByAnotherProcess = -11817,
    AVErrorSessionNotRunning = -11803,
    AVErrorMediaServicesWereReset = -11819,
    AVErrorApplicationIsNotAuthorizedToUseDevice = -11852,
};
