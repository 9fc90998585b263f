// The capture life cycle's guarded transitions.
#include "camera/screen/capture_lifecycle.h"

std::optional<CaptureLifecycle::Ticket> CaptureLifecycle::beginStart() {
    if (state_ != CaptureState::Idle) return std::nullopt;
    state_ = CaptureState::Starting;
    return ++ticket_;
}

bool CaptureLifecycle::finishStart(Ticket ticket) {
    if (state_ != CaptureState::Starting || ticket != ticket_) return false;
    state_ = CaptureState::Running;
    return true;
}

bool CaptureLifecycle::beginStop() {
    if (!canStop()) return false;
    // A start still under way loses its ticket: its completion no longer moves the state.
    ++ticket_;
    state_ = CaptureState::Stopping;
    return true;
}

bool CaptureLifecycle::finishStop() {
    if (state_ != CaptureState::Stopping) return false;
    state_ = CaptureState::Idle;
    return true;
}
