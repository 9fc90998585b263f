// CameraHostDelegate: the ten events a capture host sends, each with the host first. Every event
// is optional; the defaults do nothing. The thread each one comes on is noted beside it.
#pragma once

#include <memory>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/geometry.h"

class CameraHost;

class CameraHostDelegate {
public:
    virtual ~CameraHostDelegate() = default;

    // Main queue, after the device was pointed at pt.
    virtual void onCameraHostWillFocus(const std::shared_ptr<CameraHost>&, CGPoint pt) { (void)pt; }
    // The thread on which the device reports that focusing and exposing ended.
    virtual void onCameraHostDidFocus(const std::shared_ptr<CameraHost>&) {}
    // Main queue; b: the torch is now on.
    virtual void onCameraHostDidTorchChange(const std::shared_ptr<CameraHost>&, bool b) { (void)b; }
    // The caller's thread, before the build is queued.
    virtual void onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>&) {}
    // Main queue.
    virtual void onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>&) {}
    // The caller's thread, before the teardown is queued.
    virtual void onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>&) {}
    // Main queue.
    virtual void onCameraHostDidSessionStop(const std::shared_ptr<CameraHost>&) {}
    // The thread that posts the session's interruption.
    virtual void onCameraHostWasInterruped(const std::shared_ptr<CameraHost>&) {}
    // The host's capture queue; the buffer must not be kept beyond what the frame needs.
    virtual void onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&,
                                               const CMSampleBufferRef& sampleBuffer) {
        (void)sampleBuffer;
    }
    virtual void onCameraHostSampleBufferAudio(const std::shared_ptr<CameraHost>&,
                                               const CMSampleBufferRef& sampleBuffer) {
        (void)sampleBuffer;
    }
};
