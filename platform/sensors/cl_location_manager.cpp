// Location updates and permission, driven by the host's position.
#include "platform/sensors/cl_location_manager.h"

#include <algorithm>
#include <cstdlib>

#include "platform/dispatch/queue.h"
#include "platform/runtime/permission_preset.h"

namespace {

struct State {
    std::mutex mutex;
    bool loaded = false;
    CLAuthorizationStatus status = CLAuthorizationStatus::AuthorizedWhenInUse;
    CLAuthorizationStatus answer = CLAuthorizationStatus::AuthorizedWhenInUse;
    std::shared_ptr<CLLocation> position;
    CLPositionSource source = CLPositionSource::Scripted;
    std::function<void()> wanted;
    std::vector<std::weak_ptr<CLLocationManager>> managers;
};

State& state() {
    static State s;
    return s;
}

void load(State& s) {
    if (s.loaded) return;
    s.loaded = true;
    s.status = permissionStatusFromEnvironment("KORVA_LOCATION_AUTH", CLAuthorizationStatus::AuthorizedWhenInUse);
}

bool allowed(CLAuthorizationStatus s) {
    return s == CLAuthorizationStatus::AuthorizedAlways || s == CLAuthorizationStatus::AuthorizedWhenInUse;
}

std::vector<std::shared_ptr<CLLocationManager>> liveManagers() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    std::erase_if(s.managers, [](auto& w) { return w.expired(); });
    std::vector<std::shared_ptr<CLLocationManager>> out;
    for (auto& w : s.managers)
        if (auto m = w.lock()) out.push_back(m);
    return out;
}

}  // namespace

void CLLocationManager::init() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.managers.push_back(self<CLLocationManager>());
}

CLLocationManager::~CLLocationManager() = default;

void CLLocationManager::setDevicePosition(std::shared_ptr<CLLocation> location) {
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        s.position = std::move(location);
    }
    dispatch_get_main_queue()->async([] { positionChanged(); });
}

std::shared_ptr<CLLocation> CLLocationManager::devicePosition() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.position;
}

void CLLocationManager::setAuthorizationStatus(CLAuthorizationStatus status) {
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        load(s);
        if (s.status == status) return;
        s.status = status;
    }
    // Every manager's delegate hears of a change of permission.
    dispatch_get_main_queue()->async([status] {
        for (auto& m : liveManagers())
            if (auto d = m->delegate()) d->didChangeAuthorizationStatus(m, status);
    });
}

void CLLocationManager::setAuthorizationAnswer(CLAuthorizationStatus answer) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    s.answer = answer;
}

void CLLocationManager::resetForTesting() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.loaded = false;
    s.answer = CLAuthorizationStatus::AuthorizedWhenInUse;
    s.position.reset();
    s.source = CLPositionSource::Scripted;
    s.wanted = nullptr;
}

void CLLocationManager::setPositionSource(CLPositionSource source) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    s.source = source;
    const char* preset = std::getenv("KORVA_LOCATION_AUTH");
    if (source == CLPositionSource::None && !(preset && *preset)) {
        s.status = CLAuthorizationStatus::NotDetermined;
        s.answer = CLAuthorizationStatus::Denied;
    }
}

void CLLocationManager::setPositionWanted(std::function<void()> wanted) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.wanted = std::move(wanted);
}

CLPositionSource CLLocationManager::positionSource() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.source;
}

CLAuthorizationStatus CLLocationManager::authorizationStatus() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    load(s);
    return s.status;
}

void CLLocationManager::requestWhenInUseAuthorization() {
    request(CLAuthorizationStatus::AuthorizedWhenInUse);
}
void CLLocationManager::requestAlwaysAuthorization() {
    request(CLAuthorizationStatus::AuthorizedAlways);
}

void CLLocationManager::request(CLAuthorizationStatus wanted) {
    CLAuthorizationStatus answer;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        load(s);
        if (s.status != CLAuthorizationStatus::NotDetermined) return;
        answer = allowed(s.answer) ? wanted : s.answer;
    }
    setAuthorizationStatus(answer);
}

void CLLocationManager::startUpdatingLocation() {
    updating_ = true;
    std::function<void()> wanted;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        wanted = s.wanted;
    }
    if (wanted) wanted();
    auto self = this->self<CLLocationManager>();
    dispatch_get_main_queue()->async([self] {
        if (!self->updating_) return;
        if (!allowed(authorizationStatus())) {
            self->updating_ = false;
            if (auto d = self->delegate())
                d->didFailWithError(self,
                                    NSError::withDescription(kCLErrorDomain, kCLErrorDenied, "location access denied"));
            return;
        }
        if (auto p = devicePosition()) self->deliver(p);
    });
}

void CLLocationManager::stopUpdatingLocation() {
    updating_ = false;
}

void CLLocationManager::deliver(const std::shared_ptr<CLLocation>& location) {
    if (!updating_ || !location) return;
    if (last_ && distanceFilter_ > 0 && last_->distanceFromLocation(*location) < distanceFilter_) return;
    last_ = location;
    if (auto d = delegate()) d->didUpdateLocations(self<CLLocationManager>(), {location});
}

void CLLocationManager::positionChanged() {
    auto p = devicePosition();
    if (!p || !allowed(authorizationStatus())) return;
    for (auto& m : liveManagers()) m->deliver(p);
}
