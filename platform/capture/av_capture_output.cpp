// Connections and the output base.
#include "platform/capture/av_capture_output.h"

bool AVCaptureConnection::isEnabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void AVCaptureConnection::setEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    enabled_ = enabled;
}

bool AVCaptureConnection::isActive() const {
    std::lock_guard lock(mutex_);
    return active_ && enabled_;
}

AVCaptureVideoOrientation AVCaptureConnection::videoOrientation() const {
    std::lock_guard lock(mutex_);
    return orientation_;
}

bool AVCaptureConnection::setVideoOrientation(AVCaptureVideoOrientation orientation) {
    auto v = static_cast<std::int64_t>(orientation);
    if (!isVideoOrientationSupported() || v < 1 || v > 4) return false;
    std::lock_guard lock(mutex_);
    orientation_ = orientation;
    return true;
}

bool AVCaptureConnection::isVideoMirrored() const {
    std::lock_guard lock(mutex_);
    if (automaticMirroring_) return position_ == AVCaptureDevicePosition::Front;
    return mirrored_;
}

bool AVCaptureConnection::setVideoMirrored(bool mirrored) {
    std::lock_guard lock(mutex_);
    if (!isVideoMirroringSupported() || automaticMirroring_) return false;
    mirrored_ = mirrored;
    return true;
}

bool AVCaptureConnection::automaticallyAdjustsVideoMirroring() const {
    std::lock_guard lock(mutex_);
    return automaticMirroring_;
}

void AVCaptureConnection::setAutomaticallyAdjustsVideoMirroring(bool automatic) {
    std::lock_guard lock(mutex_);
    if (automaticMirroring_ && !automatic) mirrored_ = position_ == AVCaptureDevicePosition::Front;
    automaticMirroring_ = automatic;
}

void AVCaptureConnection::setActive(bool active, AVCaptureDevicePosition position, bool framesUpright) {
    std::lock_guard lock(mutex_);
    active_ = active;
    position_ = position;
    framesUpright_ = framesUpright;
}

AVCaptureVideoOrientation AVCaptureConnection::frameOrientation() const {
    std::lock_guard lock(mutex_);
    return framesUpright_ ? AVCaptureVideoOrientation::LandscapeRight : orientation_;
}

std::shared_ptr<AVCaptureConnection> AVCaptureOutput::connectionWithMediaType(AVMediaType type) const {
    std::lock_guard lock(outputMutex_);
    return connection_ && connection_->mediaType() == type ? connection_ : nullptr;
}

std::vector<std::shared_ptr<AVCaptureConnection>> AVCaptureOutput::connections() const {
    std::lock_guard lock(outputMutex_);
    if (!connection_) return {};
    return {connection_};
}

std::shared_ptr<AVCaptureSession> AVCaptureOutput::session() const {
    std::lock_guard lock(outputMutex_);
    return session_.lock();
}

void AVCaptureOutput::attach(const std::shared_ptr<AVCaptureSession>& session) {
    auto self = std::static_pointer_cast<AVCaptureOutput>(shared_from_this());
    std::lock_guard lock(outputMutex_);
    session_ = session;
    connection_ = AVCaptureConnection::make(mediaType(), self);
}

void AVCaptureOutput::detach() {
    std::lock_guard lock(outputMutex_);
    session_.reset();
    connection_.reset();
}
