// CameraHost: one capture session with a camera input, an optional microphone input and their
// data outputs, built and torn down on the host's serial queue "CameraHost", with every frame and
// every session, focus and torch event handed to one delegate.
//
// States: Stopped -> (start / restartCamera) -> Running -> (stop) -> Stopped. The running flag is
// set on the caller's thread at start and cleared at stop, before the work is queued, so two quick
// starts build one session. The session and its inputs and outputs are made and dropped on the
// queue and read through locked getters from any thread. Focus flags are atomics: they are written
// on the queue and cleared on the device's reporting thread. A runtime error of a running session
// restarts it; one raised while a session is being built only fails that build.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/camera_host_delegate.h"
#include "foundation/camera_settings.h"
#include "platform/capture/av_capture_audio_data_output.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/object.h"

class FilterContext;
class NSNotification;

class CameraHost : public NSObject, public AVCaptureDataOutputSampleBufferDelegate {
public:
    using Completion = std::function<void(bool success)>;
    using Hook = std::function<void()>;

    // make(video, audio): the capture flags, back camera.
    KORVA_MAKE(CameraHost)
    ~CameraHost() override;

    std::shared_ptr<CameraHostDelegate> cameraDelegate() const;
    void setCameraDelegate(std::weak_ptr<CameraHostDelegate> delegate);
    // Made on first read and kept for the host's life.
    const std::shared_ptr<FilterContext>& context();
    const dispatch_queue_t& q();

    std::shared_ptr<AVCaptureSession> session() const;
    std::shared_ptr<AVCaptureDeviceInput> vInput() const;
    std::shared_ptr<AVCaptureDeviceInput> aInput() const;
    std::shared_ptr<AVCaptureVideoDataOutput> vOutput() const;
    std::shared_ptr<AVCaptureAudioDataOutput> aOutput() const;
    // The camera of vInput, or null.
    std::shared_ptr<AVCaptureDevice> camera() const;

    // The camera the host opens.
    CameraSide position() const { return position_.load(); }
    void setPosition(CameraSide p) { position_ = p; }
    // Session presets in order of preference; empty means the default list.
    std::vector<std::string> presets() const;
    void setPresets(std::vector<std::string> presets);
    static const std::vector<std::string>& defaultPresets();

    bool captureVideo() const { return captureVideo_; }
    bool captureAudio() const { return captureAudio_; }

    // Session control. Completions come on the main queue, except the immediate NO of a start on
    // a running host or a stop on a stopped one, which comes at once on the caller's thread.
    void start(Completion completion);
    void stop(Completion completion);
    bool isRunning() const { return running_.load(); }
    void restartCamera(Completion completion);
    void switchCamera(Completion completion);
    // Build and teardown; subclasses wrap the hook (which runs inside the configuration) and call the base.
    virtual void camera1(Hook hook, Completion complete);
    virtual void camera0(Completion complete);

    // Focus and exposure at a point of interest (0...1 on each axis).
    void setFocus(CGPoint pt);
    void setFocus0(CGPoint pt, std::function<void()> complete);
    void focusFinished();
    void focusAddObservers();
    void focusRemoveObservers();
    void cameraAddObservers();
    void cameraRemoveObservers();
    bool adjustingFocus() const { return adjustingFocus_.load(); }
    bool adjustingExposure() const { return adjustingExposure_.load(); }
    bool observingFocus() const;
    bool observingCamera() const;
    CGPoint lastFocused() const;

    // Zoom and torch.
    double zoomCurrent() const;
    double zoomMax() const;
    // Completion on the main queue; not called when the camera cannot be locked.
    void setZoom(double factor, std::function<void()> complete);
    bool isTorchSupported() const;
    // Flips the torch on the caller's thread (the argument is not consulted).
    void setTorch(bool b);

    // Sample buffers from both data outputs, on q.
    void captureOutput(const std::shared_ptr<AVCaptureOutput>& output, const CMSampleBufferRef& sampleBuffer,
                       const std::shared_ptr<AVCaptureConnection>& connection) override;

    void onSessionRuntimeError(const std::shared_ptr<NSNotification>& n);
    void onSessionWasInterrupted(const std::shared_ptr<NSNotification>& n);
    void onSessionInterruptionEnded(const std::shared_ptr<NSNotification>& n);
    void onDeviceSubjectAreaDidChange(const std::shared_ptr<NSNotification>& n);

    std::string className() const override { return "CameraHost"; }

protected:
    CameraHost(bool video, bool audio) : captureAudio_(audio), captureVideo_(video) {}

    std::shared_ptr<CameraHost> me() { return self<CameraHost>(); }
    // Runs the block on the main queue with the host kept alive.
    void onMain(std::function<void(const std::shared_ptr<CameraHost>&)> block);
    // Build steps on q (camera_host_session.cpp).
    bool buildSession(const Hook& hook);
    void tearDownSession();

private:
    // Whether this call removed them (one of two racing ends sends the event).
    bool removeFocusObservers();
    void observeFocusValue(const std::string& keyPath, const Value& newValue);

    const bool captureAudio_;
    const bool captureVideo_;
    std::atomic<bool> running_{false};
    std::atomic<bool> building_{false};  // a build is running on q
    std::atomic<bool> adjustingFocus_{false};
    std::atomic<bool> adjustingExposure_{false};
    std::atomic<CameraSide> position_{CameraSide::Back};

    mutable std::mutex mutex_;  // guards everything below
    std::weak_ptr<CameraHostDelegate> cameraDelegate_;
    std::shared_ptr<FilterContext> context_;
    dispatch_queue_t q_;
    std::shared_ptr<AVCaptureSession> session_;
    std::shared_ptr<AVCaptureDeviceInput> vInput_, aInput_;
    std::shared_ptr<AVCaptureVideoDataOutput> vOutput_;
    std::shared_ptr<AVCaptureAudioDataOutput> aOutput_;
    std::vector<std::string> presets_;
    CGPoint lastFocused_{0, 0};
    // Observers, with the objects they were registered on so that they are removed from those.
    bool observingCamera_ = false;
    std::vector<std::shared_ptr<NSObject>> cameraTokens_;
    bool observingFocus_ = false;
    std::shared_ptr<AVCaptureDevice> focusDevice_;
    std::vector<std::shared_ptr<NSObject>> focusTokens_;
};
