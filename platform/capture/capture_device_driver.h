// The backend behind an AVCaptureDevice: what a synthetic scene, a V4L2 webcam or a file does
// when the device streams, takes a still or changes a control.
#pragma once

#include <functional>
#include <memory>

#include "platform/capture/av_capture_device_format.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/result.h"

class AVCaptureDevice;

// Which control changed, so that a backend pushes only that one to the hardware.
enum class CaptureControl { Focus, Exposure, WhiteBalance, Zoom, Torch, Flash, Format, SubjectAreaMonitoring };

using CaptureVideoSink = std::function<void(CVPixelBufferRef frame, CMTime presentationTime)>;
using CaptureAudioSink = std::function<void(CMAudioBlock audio, CMTime presentationTime)>;

// A running stream; stop() returns once no more frames will be delivered.
class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    virtual void stop() = 0;
};

struct CaptureStillRequest {
    CMVideoDimensions dimensions;
    AVCaptureFlashMode flashMode = AVCaptureFlashMode::Off;
};

class CaptureDeviceDriver {
public:
    virtual ~CaptureDeviceDriver() = default;

    // Called once when the device is made; the driver reads and reports state through it.
    virtual void attach(const std::shared_ptr<AVCaptureDevice>& device) { device_ = device; }

    // May refuse (another process holds the camera, the host scripted a failure).
    virtual Result<void> lockForConfiguration() { return {}; }
    // A control of the device changed under the configuration lock.
    virtual void controlChanged(CaptureControl) {}
    // Switches the torch; may refuse (overheated, scripted), leaving it as it was.
    virtual Result<void> applyTorch(AVCaptureTorchMode mode, float level) {
        (void)mode, (void)level;
        return {};
    }

    // Frames of `size` at up to `frameRate`, each handed to the sink on a thread of the driver.
    virtual Result<std::unique_ptr<CaptureStream>> startVideo(CMVideoDimensions size, double frameRate,
                                                              CaptureVideoSink sink) {
        (void)size, (void)frameRate, (void)sink;
        return fail("this device does not deliver video");
    }
    virtual Result<std::unique_ptr<CaptureStream>> startAudio(CaptureAudioSink sink) {
        (void)sink;
        return fail("this device does not deliver audio");
    }
    // One full-resolution picture; the flash fires when the mode says so (and the device has one).
    virtual Result<CVPixelBufferRef> captureStill(const CaptureStillRequest& request) {
        (void)request;
        return fail("this device does not take photos");
    }

protected:
    std::shared_ptr<AVCaptureDevice> device() const { return device_.lock(); }
    // The device's digital zoom, or 1 once the device is gone.
    double zoomFactor() const;

private:
    std::weak_ptr<AVCaptureDevice> device_;
};
