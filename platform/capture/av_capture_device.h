// AVCaptureDevice: a camera or microphone with the platform's controls (focus, exposure, white
// balance, zoom, torch, flash), its formats, the configuration lock and observable state.
//
// Thread-safe: every property may be read from any thread; setters require the configuration lock
// (as on the platform) and answer false, changing nothing, without it, for an unsupported mode or
// for a value outside the active format's range. Observers of "adjustingFocus",
// "adjustingExposure", "adjustingWhiteBalance", "lensPosition", "ISO", "exposureDuration",
// "torchActive" and "videoZoomFactor" are called on the thread that made the change.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/capture/av_capture_device_format.h"
#include "platform/capture/av_capture_types.h"
#include "platform/capture/capture_device_driver.h"
#include "platform/capture/white_balance.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/key_value_observing.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"

// What a device can do; backends fill it in, tests script it.
struct AVCaptureDeviceCapabilities {
    std::string uniqueID;
    std::string localizedName;
    std::string modelID = "Korva";
    AVMediaType mediaType = AVMediaType::Video;
    AVCaptureDevicePosition position = AVCaptureDevicePosition::Unspecified;
    AVCaptureDeviceType deviceType = AVCaptureDeviceType::BuiltInWideAngleCamera;

    std::set<AVCaptureFocusMode> focusModes;
    bool focusPointOfInterestSupported = false;
    bool lockingFocusWithCustomLensPositionSupported = false;
    std::set<AVCaptureExposureMode> exposureModes;
    bool exposurePointOfInterestSupported = false;
    float minExposureTargetBias = -8, maxExposureTargetBias = 8;
    std::set<AVCaptureWhiteBalanceMode> whiteBalanceModes;
    bool lockingWhiteBalanceWithCustomDeviceGainsSupported = false;
    float maxWhiteBalanceGain = 4;
    SensorResponse sensorResponse{};
    bool hasTorch = false;
    std::set<AVCaptureTorchMode> torchModes{AVCaptureTorchMode::Off};
    bool hasFlash = false;
    // The lens's fixed f-number and focal length in millimetres; 0 where the source does not know.
    float lensAperture = 0;
    float focalLength = 0;
    std::set<AVCaptureFlashMode> flashModes{AVCaptureFlashMode::Off};

    // Formats, and for each session preset the format it selects and the size of its frames.
    std::vector<std::shared_ptr<AVCaptureDeviceFormat>> formats;
    struct PresetChoice {
        std::size_t formatIndex = 0;
        CMVideoDimensions outputDimensions;
    };
    std::map<std::string, PresetChoice> presets;
    // The frames come the right way up already (a picture or a video file), so connections do
    // not turn them from the sensor's landscape to their orientation.
    bool framesUpright = false;
};

class AVCaptureDevice : public NSObject, public KeyValueObservable {
public:
    KORVA_MAKE(AVCaptureDevice)

    // Discovery through the host's backend (see CaptureDeviceRegistry).
    static std::vector<std::shared_ptr<AVCaptureDevice>> devicesWithMediaType(AVMediaType type);
    static std::shared_ptr<AVCaptureDevice> defaultDeviceWithMediaType(AVMediaType type);
    static std::shared_ptr<AVCaptureDevice> defaultDevice(AVCaptureDeviceType deviceType, AVMediaType type,
                                                          AVCaptureDevicePosition position);
    static std::shared_ptr<AVCaptureDevice> deviceWithUniqueID(const std::string& uniqueID);

    // Permission to use cameras and microphones (see CaptureAuthorization for the test controls).
    static AVAuthorizationStatus authorizationStatusForMediaType(AVMediaType type);
    // The handler runs once, on a background queue, with the answer.
    static void requestAccessForMediaType(AVMediaType type, std::function<void(bool granted)> handler);

    const std::string& uniqueID() const { return caps_.uniqueID; }
    const std::string& localizedName() const { return caps_.localizedName; }
    const std::string& modelID() const { return caps_.modelID; }
    AVCaptureDevicePosition position() const { return caps_.position; }
    AVCaptureDeviceType deviceType() const { return caps_.deviceType; }
    bool hasMediaType(AVMediaType type) const { return caps_.mediaType == type; }
    bool isConnected() const;
    const AVCaptureDeviceCapabilities& capabilities() const { return caps_; }
    CaptureDeviceDriver& driver() const { return *driver_; }

    // Configuration lock. Nested locks count; each needs its unlock.
    Result<void> lockForConfiguration();
    void unlockForConfiguration();
    bool isLockedForConfiguration() const;

    // Formats and presets.
    std::vector<std::shared_ptr<AVCaptureDeviceFormat>> formats() const { return caps_.formats; }
    std::shared_ptr<AVCaptureDeviceFormat> activeFormat() const;
    bool setActiveFormat(const std::shared_ptr<AVCaptureDeviceFormat>& format);
    bool supportsAVCaptureSessionPreset(const std::string& preset) const;
    // The session selects its preset's format without the configuration lock, as on the platform.
    void selectFormatForSession(const std::shared_ptr<AVCaptureDeviceFormat>& format);
    CMTime activeVideoMinFrameDuration() const;
    bool setActiveVideoMinFrameDuration(CMTime duration);

    // Focus.
    bool isFocusModeSupported(AVCaptureFocusMode mode) const { return caps_.focusModes.count(mode) > 0; }
    bool isFocusPointOfInterestSupported() const { return caps_.focusPointOfInterestSupported; }
    bool isLockingFocusWithCustomLensPositionSupported() const {
        return caps_.lockingFocusWithCustomLensPositionSupported;
    }
    AVCaptureFocusMode focusMode() const;
    bool setFocusMode(AVCaptureFocusMode mode);
    CGPoint focusPointOfInterest() const;
    bool setFocusPointOfInterest(CGPoint point);
    bool isAdjustingFocus() const;
    float lensPosition() const;
    // Locks focus at the position (0 near ... 1 far; AVCaptureLensPositionCurrent keeps it); the
    // handler gets the time of the first frame with the new position, on a background queue.
    bool setFocusModeLockedWithLensPosition(float position, std::function<void(CMTime)> handler = {});

    // Exposure.
    bool isExposureModeSupported(AVCaptureExposureMode mode) const { return caps_.exposureModes.count(mode) > 0; }
    bool isExposurePointOfInterestSupported() const { return caps_.exposurePointOfInterestSupported; }
    AVCaptureExposureMode exposureMode() const;
    bool setExposureMode(AVCaptureExposureMode mode);
    CGPoint exposurePointOfInterest() const;
    bool setExposurePointOfInterest(CGPoint point);
    bool isAdjustingExposure() const;
    CMTime exposureDuration() const;
    float ISO() const;
    float exposureTargetBias() const;
    float minExposureTargetBias() const { return caps_.minExposureTargetBias; }
    float maxExposureTargetBias() const { return caps_.maxExposureTargetBias; }
    bool setExposureTargetBias(float bias, std::function<void(CMTime)> handler = {});
    // Duration and ISO must lie in the active format's ranges (or be the "current" markers).
    bool setExposureModeCustomWithDuration(CMTime duration, float iso, std::function<void(CMTime)> handler = {});

    // White balance.
    bool isWhiteBalanceModeSupported(AVCaptureWhiteBalanceMode mode) const {
        return caps_.whiteBalanceModes.count(mode) > 0;
    }
    bool isLockingWhiteBalanceWithCustomDeviceGainsSupported() const {
        return caps_.lockingWhiteBalanceWithCustomDeviceGainsSupported;
    }
    AVCaptureWhiteBalanceMode whiteBalanceMode() const;
    bool setWhiteBalanceMode(AVCaptureWhiteBalanceMode mode);
    bool isAdjustingWhiteBalance() const;
    AVCaptureWhiteBalanceGains deviceWhiteBalanceGains() const;
    float maxWhiteBalanceGain() const { return caps_.maxWhiteBalanceGain; }
    // Each gain must lie in [1, maxWhiteBalanceGain] (or be the "current" marker).
    bool setWhiteBalanceModeLockedWithDeviceWhiteBalanceGains(AVCaptureWhiteBalanceGains gains,
                                                              std::function<void(CMTime)> handler = {});
    AVCaptureWhiteBalanceTemperatureAndTintValues temperatureAndTintValuesForDeviceWhiteBalanceGains(
        AVCaptureWhiteBalanceGains gains) const;
    AVCaptureWhiteBalanceGains deviceWhiteBalanceGainsForTemperatureAndTintValues(
        AVCaptureWhiteBalanceTemperatureAndTintValues values) const;

    // Zoom: 1 ... activeFormat.videoMaxZoomFactor.
    double videoZoomFactor() const;
    bool setVideoZoomFactor(double factor);

    // Torch and flash.
    bool hasTorch() const { return caps_.hasTorch; }
    bool isTorchAvailable() const;
    bool isTorchModeSupported(AVCaptureTorchMode mode) const { return caps_.torchModes.count(mode) > 0; }
    AVCaptureTorchMode torchMode() const;
    bool setTorchMode(AVCaptureTorchMode mode);
    float torchLevel() const;
    bool isTorchActive() const;
    // Level in (0, 1] or AVCaptureMaxAvailableTorchLevel; fails when the torch is unavailable.
    Result<void> setTorchModeOnWithLevel(float level);
    bool hasFlash() const { return caps_.hasFlash; }
    float lensAperture() const { return caps_.lensAperture; }
    float focalLength() const { return caps_.focalLength; }
    bool isFlashAvailable() const;
    bool isFlashModeSupported(AVCaptureFlashMode mode) const { return caps_.flashModes.count(mode) > 0; }
    AVCaptureFlashMode flashMode() const;
    bool setFlashMode(AVCaptureFlashMode mode);

    // Subject-area change: posted as AVCaptureDeviceSubjectAreaDidChangeNotification (object: the
    // device) when monitoring is on and the backend sees the scene change.
    bool isSubjectAreaChangeMonitoringEnabled() const;
    bool setSubjectAreaChangeMonitoringEnabled(bool enabled);

    // Reports from the backend (no configuration lock needed): state the device arrived at itself.
    void reportAdjustingFocus(bool adjusting);
    void reportAdjustingExposure(bool adjusting);
    void reportAdjustingWhiteBalance(bool adjusting);
    void reportLensPosition(float position);
    void reportExposure(CMTime duration, float iso);
    void reportWhiteBalanceGains(AVCaptureWhiteBalanceGains gains);
    void reportTorchActive(bool active);
    void reportSubjectAreaDidChange();
    void reportConnected(bool connected);

    std::string className() const override { return "AVCaptureDevice"; }
    void init() override;

protected:
    AVCaptureDevice(AVCaptureDeviceCapabilities caps, std::unique_ptr<CaptureDeviceDriver> driver);

private:
    bool canConfigure(const char* what) const;  // requires mutex_ held
    void changed(CaptureControl control);

    AVCaptureDeviceCapabilities caps_;
    std::unique_ptr<CaptureDeviceDriver> driver_;

    mutable std::recursive_mutex mutex_;
    int lockCount_ = 0;
    bool connected_ = true;
    std::shared_ptr<AVCaptureDeviceFormat> activeFormat_;
    CMTime minFrameDuration_ = CMTimeMake(1, 30);
    AVCaptureFocusMode focusMode_ = AVCaptureFocusMode::Locked;
    CGPoint focusPoint_{0.5, 0.5};
    bool adjustingFocus_ = false;
    float lensPosition_ = 1.0f;
    AVCaptureExposureMode exposureMode_ = AVCaptureExposureMode::Locked;
    CGPoint exposurePoint_{0.5, 0.5};
    bool adjustingExposure_ = false;
    CMTime exposureDuration_ = CMTimeMake(1, 60);
    float iso_ = 100;
    float targetBias_ = 0;
    AVCaptureWhiteBalanceMode whiteBalanceMode_ = AVCaptureWhiteBalanceMode::Locked;
    bool adjustingWhiteBalance_ = false;
    AVCaptureWhiteBalanceGains gains_{};
    double zoom_ = 1;
    AVCaptureTorchMode torchMode_ = AVCaptureTorchMode::Off;
    float torchLevel_ = 0;
    bool torchActive_ = false;
    AVCaptureFlashMode flashMode_ = AVCaptureFlashMode::Off;
    bool subjectAreaMonitoring_ = false;
};
