// CaptureHosts: the camera screen's capture hosts, owned together with the capture life cycle they
// follow (capture_lifecycle.h). A start drops the old hosts, so each start builds them afresh on
// first use; a finished stop drops them too. The photo host serves the photo modes, the video host
// shot mode 3; both report to the one host delegate.
//
// Threads: the life cycle is main-thread only. The stored hosts sit behind one lock, because the
// manual controls ask for the device from the capture queue: stored() and device() are
// thread-safe and never make a host.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "camera/screen/capture_lifecycle.h"
#include "capture/camera_photo_general_host.h"
#include "capture/camera_video_general_host.h"

class AVCaptureDevice;

class CaptureHosts {
public:
    explicit CaptureHosts(std::weak_ptr<CameraVideoHostDelegate> delegate) : delegate_(std::move(delegate)) {}
    CaptureHosts(const CaptureHosts&) = delete;
    CaptureHosts& operator=(const CaptureHosts&) = delete;

    // --- The life cycle ---
    CaptureState state() const { return lifecycle_.state(); }
    bool moving() const { return lifecycle_.moving(); }
    bool canStop() const { return lifecycle_.canStop(); }
    // Idle -> Starting, with the old hosts dropped: the ticket the start's completion hands back;
    // none in any other state.
    std::optional<CaptureLifecycle::Ticket> beginStart();
    // Starting -> Running for the start holding the ticket; false for an overtaken start.
    bool finishStart(CaptureLifecycle::Ticket ticket) { return lifecycle_.finishStart(ticket); }
    // Starting or Running -> Stopping: the host to stop; none without a host or in another state.
    std::shared_ptr<CameraHost> beginStop();
    // Stopping -> Idle, with the hosts dropped.
    void finishStop();

    // --- The hosts ---
    // The host of the current shot mode, made on first use.
    std::shared_ptr<CameraHost> current();
    std::shared_ptr<CameraPhotoGeneralHost> photo();
    std::shared_ptr<CameraVideoGeneralHost> video();
    // The stored host (the video host when there is one) without making one.
    std::shared_ptr<CameraHost> stored() const;
    // The stored host's camera, or none.
    std::shared_ptr<AVCaptureDevice> device() const;
    void clear();

private:
    CaptureLifecycle lifecycle_;
    std::weak_ptr<CameraVideoHostDelegate> delegate_;
    mutable std::mutex mutex_;  // guards the two hosts
    std::shared_ptr<CameraPhotoGeneralHost> photo_;
    std::shared_ptr<CameraVideoGeneralHost> video_;
};
