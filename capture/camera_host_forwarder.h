// CameraHostForwarder: a host's own camera delegate that hands each of the ten capture events, as
// received, to a target the subclass names (none: the event goes nowhere).
#pragma once

#include "capture/camera_host_delegate.h"

class CameraHostForwarder : public CameraHostDelegate {
public:
    void onCameraHostWillFocus(const std::shared_ptr<CameraHost>& h, CGPoint pt) override {
        if (auto d = forwardTarget()) d->onCameraHostWillFocus(h, pt);
    }
    void onCameraHostDidFocus(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostDidFocus(h);
    }
    void onCameraHostDidTorchChange(const std::shared_ptr<CameraHost>& h, bool b) override {
        if (auto d = forwardTarget()) d->onCameraHostDidTorchChange(h, b);
    }
    void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostWillSessionStart(h);
    }
    void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostDidSessionStart(h);
    }
    void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostWillSessionStop(h);
    }
    void onCameraHostDidSessionStop(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostDidSessionStop(h);
    }
    void onCameraHostWasInterruped(const std::shared_ptr<CameraHost>& h) override {
        if (auto d = forwardTarget()) d->onCameraHostWasInterruped(h);
    }
    void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override {
        if (auto d = forwardTarget()) d->onCameraHostSampleBufferVideo(h, s);
    }
    void onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>& h, const CMSampleBufferRef& s) override {
        if (auto d = forwardTarget()) d->onCameraHostSampleBufferAudio(h, s);
    }

protected:
    virtual std::shared_ptr<CameraHostDelegate> forwardTarget() = 0;
};
