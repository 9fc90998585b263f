// Capture permission state.
#include "platform/capture/capture_authorization.h"

#include <mutex>

#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/permission_preset.h"

namespace {

struct Entry {
    AVAuthorizationStatus status = AVAuthorizationStatus::Authorized;
    bool answer = true;
    int requests = 0;
};

struct State {
    std::mutex mutex;
    Entry entries[2];
    bool loaded = false;
};

State& state() {
    static State s;
    return s;
}

Entry& entry(State& s, AVMediaType type) {
    if (!s.loaded) {
        s.loaded = true;
        s.entries[0].status = s.entries[1].status =
            permissionStatusFromEnvironment("KORVA_CAPTURE_AUTH", AVAuthorizationStatus::Authorized);
    }
    return s.entries[type == AVMediaType::Video ? 0 : 1];
}

}  // namespace

AVAuthorizationStatus CaptureAuthorization::status(AVMediaType type) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return entry(s, type).status;
}

void CaptureAuthorization::setStatus(AVMediaType type, AVAuthorizationStatus status) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    entry(s, type).status = status;
}

void CaptureAuthorization::setRequestAnswer(AVMediaType type, bool granted) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    entry(s, type).answer = granted;
}

void CaptureAuthorization::request(AVMediaType type, std::function<void(bool)> handler) {
    bool granted;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        Entry& e = entry(s, type);
        ++e.requests;
        if (e.status == AVAuthorizationStatus::NotDetermined)
            e.status = e.answer ? AVAuthorizationStatus::Authorized : AVAuthorizationStatus::Denied;
        granted = e.status == AVAuthorizationStatus::Authorized;
    }
    if (handler) dispatch_get_global_queue()->async([handler = std::move(handler), granted] { handler(granted); });
}

int CaptureAuthorization::requestCount(AVMediaType type) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return entry(s, type).requests;
}

void CaptureAuthorization::reset() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.loaded = false;
    s.entries[0] = s.entries[1] = Entry{};
}

AVAuthorizationStatus AVCaptureDevice::authorizationStatusForMediaType(AVMediaType type) {
    return CaptureAuthorization::status(type);
}

void AVCaptureDevice::requestAccessForMediaType(AVMediaType type, std::function<void(bool)> handler) {
    CaptureAuthorization::request(type, std::move(handler));
}
