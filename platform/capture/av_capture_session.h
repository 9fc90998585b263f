// AVCaptureSession: inputs, outputs and a preset, run as an explicit state machine.
//
//   Stopped --startRunning--> Running --stopRunning--> Stopped
//   Running --interrupt--> Interrupted --endInterruption--> Running
//   Running/Interrupted --runtime error--> Stopped (AVCaptureSessionRuntimeErrorNotification)
//
// startRunning between beginConfiguration and commitConfiguration, and a commit without a begin,
// are refused with a failure. Changes made while running take effect at the outermost commit (or
// at once outside a configuration). Notifications go through the default centre with the session
// as object. startRunning and stopRunning block until the streams are up or down, as on the
// platform; call them off the main thread. Thread-safe.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_output.h"
#include "platform/capture/capture_device_driver.h"
#include "platform/runtime/error.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"

class AVCaptureSession : public NSObject {
public:
    KORVA_MAKE(AVCaptureSession)

    enum class State { Stopped, Running, Interrupted };

    State state() const;
    bool isRunning() const;
    bool isInterrupted() const;

    // Presets: a known name that every video input's device supports (any known name without one).
    std::string sessionPreset() const;
    bool canSetSessionPreset(const std::string& preset) const;
    bool setSessionPreset(const std::string& preset);

    void beginConfiguration();
    Result<void> commitConfiguration();
    bool isConfiguring() const;

    // One input per media type; an input or output belongs to one session at a time.
    bool canAddInput(const std::shared_ptr<AVCaptureInput>& input) const;
    bool addInput(const std::shared_ptr<AVCaptureInput>& input);
    void removeInput(const std::shared_ptr<AVCaptureInput>& input);
    std::vector<std::shared_ptr<AVCaptureInput>> inputs() const;
    bool canAddOutput(const std::shared_ptr<AVCaptureOutput>& output) const;
    bool addOutput(const std::shared_ptr<AVCaptureOutput>& output);
    void removeOutput(const std::shared_ptr<AVCaptureOutput>& output);
    std::vector<std::shared_ptr<AVCaptureOutput>> outputs() const;

    Result<void> startRunning();
    void stopRunning();

    // What the host or a backend reports: the camera was taken away or given back, or failed.
    void interrupt(AVCaptureSessionInterruptionReason reason);
    void endInterruption();
    void reportRuntimeError(const std::shared_ptr<NSError>& error);

    bool automaticallyConfiguresApplicationAudioSession() const;
    void setAutomaticallyConfiguresApplicationAudioSession(bool on);
    bool usesApplicationAudioSession() const;
    void setUsesApplicationAudioSession(bool on);

    // The camera feeding the session, if any (the photo output takes its pictures from it).
    std::shared_ptr<AVCaptureDevice> videoDevice() const;
    // The size of the frames the preset gives, in the sensor's orientation.
    CMVideoDimensions frameDimensions() const;

    std::string className() const override { return "AVCaptureSession"; }
    ~AVCaptureSession() override;

protected:
    AVCaptureSession() = default;

private:
    void distributeVideo(std::uint64_t generation, const CVPixelBufferRef& frame, CMTime pts, CMTime duration);
    void distributeAudio(std::uint64_t generation, CMAudioBlock audio, CMTime pts);
    void restartIfNeeded(std::unique_lock<std::mutex>& lock);
    void failRunning(std::unique_lock<std::mutex>& lock, const std::string& message);

    // All of these expect mutex_ held.
    std::shared_ptr<AVCaptureDeviceInput> inputFor(AVMediaType type) const;
    bool presetSupported(const std::string& preset) const;
    void applyConnections();
    Result<void> startStreams();
    std::vector<std::unique_ptr<CaptureStream>> takeStreams();
    void post(const char* name, Value userInfo = {});

    mutable std::mutex mutex_;
    State state_ = State::Stopped;
    int configurationDepth_ = 0;
    bool dirty_ = false;
    std::string preset_ = "AVCaptureSessionPresetHigh";
    std::vector<std::shared_ptr<AVCaptureInput>> inputs_;
    std::vector<std::shared_ptr<AVCaptureOutput>> outputs_;
    std::vector<std::unique_ptr<CaptureStream>> streams_;
    std::uint64_t streamGeneration_ = 0;
    bool configuresAudioSession_ = true;
    bool usesAudioSession_ = true;
};

// Whether a name is one of the session presets this platform knows.
bool isKnownSessionPreset(const std::string& preset);
