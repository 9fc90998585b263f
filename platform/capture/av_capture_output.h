// Capture outputs and the connections that tie them to a session's input.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/capture/av_capture_types.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/object.h"

class AVCaptureOutput;
class AVCaptureSession;

// Orientation and mirroring of what an output receives. Thread-safe.
class AVCaptureConnection : public NSObject {
public:
    KORVA_MAKE(AVCaptureConnection)

    AVMediaType mediaType() const { return mediaType_; }
    std::shared_ptr<AVCaptureOutput> output() const { return output_.lock(); }

    bool isEnabled() const;
    void setEnabled(bool enabled);
    bool isActive() const;

    bool isVideoOrientationSupported() const { return mediaType_ == AVMediaType::Video; }
    AVCaptureVideoOrientation videoOrientation() const;
    // Values outside 1...4 are refused (false), as is any change on an audio connection.
    bool setVideoOrientation(AVCaptureVideoOrientation orientation);

    bool isVideoMirroringSupported() const { return mediaType_ == AVMediaType::Video; }
    bool isVideoMirrored() const;
    // Refused while automaticallyAdjustsVideoMirroring is on, as on the platform.
    bool setVideoMirrored(bool mirrored);
    bool automaticallyAdjustsVideoMirroring() const;
    void setAutomaticallyAdjustsVideoMirroring(bool automatic);

    // Set by the session: whether the connection has a running input, its camera position
    // (automatic mirroring mirrors the front camera) and whether its frames come upright.
    void setActive(bool active, AVCaptureDevicePosition position, bool framesUpright = false);
    // The turn frames get on their way to the output: the video orientation, or none for a
    // source whose frames come upright.
    AVCaptureVideoOrientation frameOrientation() const;

    std::string className() const override { return "AVCaptureConnection"; }

protected:
    AVCaptureConnection(AVMediaType type, std::weak_ptr<AVCaptureOutput> output)
        : mediaType_(type), output_(std::move(output)) {}

private:
    AVMediaType mediaType_;
    std::weak_ptr<AVCaptureOutput> output_;
    mutable std::mutex mutex_;
    bool enabled_ = true;
    bool active_ = false;
    AVCaptureDevicePosition position_ = AVCaptureDevicePosition::Unspecified;
    bool framesUpright_ = false;
    // Frames come in the sensor's landscape orientation until an output asks otherwise.
    AVCaptureVideoOrientation orientation_ = AVCaptureVideoOrientation::LandscapeRight;
    bool mirrored_ = false;
    bool automaticMirroring_ = true;
};

class AVCaptureOutput : public NSObject {
public:
    // The media this output takes; a session connects it to the input of that type.
    virtual AVMediaType mediaType() const = 0;
    std::shared_ptr<AVCaptureConnection> connectionWithMediaType(AVMediaType type) const;
    std::vector<std::shared_ptr<AVCaptureConnection>> connections() const;
    std::shared_ptr<AVCaptureSession> session() const;

    // Called by the session.
    virtual void attach(const std::shared_ptr<AVCaptureSession>& session);
    virtual void detach();

protected:
    mutable std::mutex outputMutex_;
    std::weak_ptr<AVCaptureSession> session_;
    std::shared_ptr<AVCaptureConnection> connection_;
};
