// Photo-library permission state.
#include "platform/photos/ph_authorization.h"

#include <mutex>

#include "platform/dispatch/queue.h"
#include "platform/runtime/permission_preset.h"

namespace {

struct State {
    std::mutex mutex;
    bool loaded = false;
    PHAuthorizationStatus status = PHAuthorizationStatus::Authorized;
    PHAuthorizationStatus answer = PHAuthorizationStatus::Authorized;
};

State& state() {
    static State s;
    return s;
}

void load(State& s) {
    if (s.loaded) return;
    s.loaded = true;
    s.status = permissionStatusFromEnvironment("KORVA_PHOTOS_AUTH", PHAuthorizationStatus::Authorized);
}

}  // namespace

PHAuthorizationStatus PhotoLibraryAuthorization::status() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    return s.status;
}

void PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus status) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    s.status = status;
}

void PhotoLibraryAuthorization::setRequestAnswer(PHAuthorizationStatus answer) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    s.answer = answer;
}

void PhotoLibraryAuthorization::request(std::function<void(PHAuthorizationStatus)> handler) {
    PHAuthorizationStatus result;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        load(s);
        if (s.status == PHAuthorizationStatus::NotDetermined) s.status = s.answer;
        result = s.status;
    }
    if (handler) dispatch_get_global_queue()->async([handler = std::move(handler), result] { handler(result); });
}

void PhotoLibraryAuthorization::reset() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.loaded = false;
    s.answer = PHAuthorizationStatus::Authorized;
}
