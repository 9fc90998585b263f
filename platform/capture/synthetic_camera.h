// The synthetic camera: a built-in moving scene that answers the controls like a sensor, and the
// backend tests script. Frames are timed by the process Clock, so the virtual clock drives them.
//
// Exposure: brightness follows duration x ISO (1/60 s at ISO 100 is a correct exposure of the
// scene at brightness 1). White balance: the cast is the device gains over the gains that suit
// the scene's illuminant. Focus: blur grows with the distance of the lens position from the
// scene's focus position. Zoom: magnification about the centre. Automatic modes settle after a
// scripted time, reporting the adjusting flags on the driver's own queue.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/capture_device_driver.h"
#include "platform/capture/synthetic_scene.h"

struct SyntheticCameraScript {
    double focusSettleTime = 0.3;
    double exposureSettleTime = 0.2;
    double whiteBalanceSettleTime = 0.2;
    // Automatic modes start adjusting but never report the end.
    bool focusNeverSettles = false;
    bool exposureNeverSettles = false;
    // Lock failures: the next n locks fail; or every lock fails while set.
    int failNextLocks = 0;
    bool lockAlwaysFails = false;
    bool torchFails = false;
    // The scene.
    double sceneBrightness = 1.0;   // light relative to what 1/60 s at ISO 100 exposes correctly
    float sceneTemperature = 5500;  // illuminant in kelvin
    float sceneTint = 0;
    float sceneFocusPosition = 0.6f;  // lens position at which the scene is sharp
    bool sceneMoves = true;
    // Light added by the torch (per unit of level) and by the flash, in scene brightness units.
    double torchLight = 0.5;
    double flashLight = 1.0;
};

class SyntheticCameraDriver : public CaptureDeviceDriver {
public:
    explicit SyntheticCameraDriver(SyntheticCameraScript script = {});
    ~SyntheticCameraDriver() override;

    // The script may be changed at any time; changes apply from the next frame or request.
    SyntheticCameraScript script() const;
    void setScript(const SyntheticCameraScript& script);
    template <class F>
    void editScript(F&& edit) {
        std::lock_guard lock(mutex_);
        edit(script_);
    }
    // The scene changed under the camera: posts the subject-area notification when monitoring is
    // on and makes continuous focus and exposure adjust again.
    void changeSubjectArea();
    // The parameters the next frame would be rendered with (for tests and the photo output).
    SyntheticSceneParams sceneParams(double time) const;
    std::size_t framesRendered() const { return framesRendered_.load(); }

    // The camera starts focused, exposed and balanced for its scene.
    void attach(const std::shared_ptr<AVCaptureDevice>& device) override;
    Result<void> lockForConfiguration() override;
    void controlChanged(CaptureControl control) override;
    Result<void> applyTorch(AVCaptureTorchMode mode, float level) override;
    Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                      CaptureVideoSink sink) override;
    Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) override;

private:
    // The parameters, stamping the frame (when given) with the exposure they were taken with.
    SyntheticSceneParams sceneParams(double time, CVPixelBuffer* stamp) const;
    void adjustFocus();
    void adjustExposure();
    void adjustWhiteBalance();
    bool settleExposure(AVCaptureDevice& device);
    // The settle time the script gives an adjustment, or none when it never settles.
    using SettleTimeOf = std::optional<double> (*)(const SyntheticCameraScript&);
    void scheduleAdjustment(const std::shared_ptr<AVCaptureDevice>& device,
                            std::uint64_t SyntheticCameraDriver::*generationOf, SettleTimeOf settleTimeOf, bool held,
                            void (AVCaptureDevice::*reportAdjusting)(bool),
                            std::function<bool(AVCaptureDevice&)> settle);
    AVCaptureWhiteBalanceGains sceneGains(const AVCaptureDevice& device) const;

    mutable std::mutex mutex_;
    SyntheticCameraScript script_;
    std::uint64_t focusGeneration_ = 0, exposureGeneration_ = 0, whiteBalanceGeneration_ = 0;
    std::atomic<std::size_t> framesRendered_{0};
    std::shared_ptr<NSObject> queue_;  // the driver's serial queue (held as an object)
};

// A synthetic camera with capabilities of the caller's choosing (modes, ranges, formats, torch),
// for tests that need a camera unlike the built-in ones; install it with
// CaptureDeviceRegistry::setDevices.
std::shared_ptr<AVCaptureDevice> makeSyntheticCamera(AVCaptureDeviceCapabilities capabilities,
                                                     SyntheticCameraScript script = {});

// The capabilities of the synthetic back and front cameras.
AVCaptureDeviceCapabilities syntheticBackCameraCapabilities();
AVCaptureDeviceCapabilities syntheticFrontCameraCapabilities();
AVCaptureDeviceCapabilities microphoneCapabilities();

// A microphone that delivers quiet noise in blocks of 1024 frames at 44.1 kHz, timed by the Clock.
class SyntheticMicrophoneDriver : public CaptureDeviceDriver {
public:
    Result<std::unique_ptr<CaptureStream>> startAudio(CaptureAudioSink sink) override;
};
