// CameraHost: focus and exposure at a point with the end of adjusting observed, zoom and torch.
#include "capture/camera_host.h"
#include "capture/capture_device_custom.h"
#include "foundation/numeric.h"

namespace {
const char* kAdjustingFocus = "adjustingFocus";
const char* kAdjustingExposure = "adjustingExposure";
}  // namespace

void CameraHost::setFocus(CGPoint pt) {
    focusAddObservers();
    std::weak_ptr<CameraHost> weak = me();
    setFocus0(pt, [weak, pt] {
        auto host = weak.lock();
        if (!host || !(host->adjustingFocus() || host->adjustingExposure())) return;
        if (auto d = host->cameraDelegate()) d->onCameraHostWillFocus(host, pt);
    });
}

void CameraHost::setFocus0(CGPoint pt, std::function<void()> complete) {
    auto host = me();
    q()->async([host, pt, complete = std::move(complete)] {
        auto device = host->camera();
        if (!device || !device->lockForConfiguration()) return;
        if (device->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus)) {
            host->adjustingFocus_ = true;
            device->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus);
            device->setFocusPointOfInterest(pt);
        }
        if (device->isExposureModeSupported(AVCaptureExposureMode::AutoExpose)) {
            host->adjustingExposure_ = true;
            device->setExposureMode(AVCaptureExposureMode::AutoExpose);
            device->setExposurePointOfInterest(pt);
        }
        device->unlockForConfiguration();
        {
            std::lock_guard lock(host->mutex_);
            host->lastFocused_ = pt;
        }
        host->onMain([complete](const std::shared_ptr<CameraHost>&) {
            if (complete) complete();
        });
    });
}

void CameraHost::focusFinished() {
    // Only the observers' own end counts: once they are gone, a late report sends nothing more.
    if (!removeFocusObservers()) return;
    if (auto d = cameraDelegate()) d->onCameraHostDidFocus(me());
}

void CameraHost::focusAddObservers() {
    // Without a camera (no session yet) nothing is observed and the flag stays clear, so that the
    // first focus on the running camera still registers.
    auto device = camera();
    if (!device) return;
    {
        std::lock_guard lock(mutex_);
        if (observingFocus_) return;
        observingFocus_ = true;
    }
    std::weak_ptr<CameraHost> weak = me();
    auto callback = [weak](const std::string& keyPath, const Value& newValue) {
        if (auto host = weak.lock()) host->observeFocusValue(keyPath, newValue);
    };
    auto focusToken = device->addObserver(kAdjustingFocus, callback);
    auto exposureToken = device->addObserver(kAdjustingExposure, callback);
    std::lock_guard lock(mutex_);
    focusDevice_ = device;
    focusTokens_ = {focusToken, exposureToken};
}

void CameraHost::focusRemoveObservers() {
    removeFocusObservers();
}

bool CameraHost::removeFocusObservers() {
    std::shared_ptr<AVCaptureDevice> device;
    std::vector<std::shared_ptr<NSObject>> tokens;
    {
        std::lock_guard lock(mutex_);
        if (!observingFocus_) return false;
        observingFocus_ = false;
        device = std::move(focusDevice_);
        tokens = std::move(focusTokens_);
        focusDevice_ = nullptr;
        focusTokens_.clear();
    }
    if (device)
        for (auto& t : tokens) device->removeObserver(t);
    return true;
}

void CameraHost::observeFocusValue(const std::string& keyPath, const Value& newValue) {
    if (!newValue.isBool() || newValue.boolValue()) return;
    if (keyPath == kAdjustingFocus) {
        if (adjustingFocus_.exchange(false) && !adjustingExposure_.load()) focusFinished();
    } else if (keyPath == kAdjustingExposure) {
        if (adjustingExposure_.exchange(false) && !adjustingFocus_.load()) focusFinished();
    }
}

double CameraHost::zoomCurrent() const {
    auto device = camera();
    return device ? device->videoZoomFactor() : 1.0;
}

double CameraHost::zoomMax() const {
    auto device = camera();
    return device ? maxZoom(*device) : 1.0;
}

void CameraHost::setZoom(double factor, std::function<void()> complete) {
    auto host = me();
    q()->async([host, factor, complete = std::move(complete)] {
        auto device = host->camera();
        if (!device || !device->lockForConfiguration()) return;
        device->setVideoZoomFactor(clampFloat(float(factor), 1.0f, float(maxZoom(*device))));
        device->unlockForConfiguration();
        host->onMain([complete](const std::shared_ptr<CameraHost>&) {
            if (complete) complete();
        });
    });
}

bool CameraHost::isTorchSupported() const {
    auto device = camera();
    if (!device) return false;
    bool on = device->torchMode() == AVCaptureTorchMode::On;
    return device->isTorchModeSupported(on ? AVCaptureTorchMode::Off : AVCaptureTorchMode::On);
}

void CameraHost::setTorch(bool) {
    auto device = camera();
    if (!device || !device->lockForConfiguration()) return;
    bool on = device->torchMode() == AVCaptureTorchMode::On;
    device->setTorchMode(on ? AVCaptureTorchMode::Off : AVCaptureTorchMode::On);
    bool nowOn = device->torchMode() == AVCaptureTorchMode::On;
    device->unlockForConfiguration();
    onMain([nowOn](const std::shared_ptr<CameraHost>& h) {
        if (auto d = h->cameraDelegate()) d->onCameraHostDidTorchChange(h, nowOn);
    });
}
