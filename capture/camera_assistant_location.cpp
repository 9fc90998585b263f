// CameraAssistant: a location fix at most once a minute while location is allowed.
#include "capture/camera_assistant.h"

namespace {
constexpr double kLocationInterval = 60.0;
}

void CameraAssistant::makeLocationManager() {
    if (locManager_) return;
    locManager_ = CLLocationManager::make();
    locManager_->setDelegate(std::weak_ptr<CLLocationManagerDelegate>(me()));
    locManager_->setDesiredAccuracy(kCLLocationAccuracyBest);
    locManager_->setDistanceFilter(kCLDistanceFilterNone);
}

void CameraAssistant::locationStart() {
    auto status = CLLocationManager::authorizationStatus();
    if (status != CLAuthorizationStatus::AuthorizedAlways && status != CLAuthorizationStatus::AuthorizedWhenInUse)
        return;
    makeLocationManager();
    if (timerLocation_) timerLocation_->invalidate();
    std::weak_ptr<CameraAssistant> weak = me();
    timerLocation_ = NSTimer::scheduledTimer(kLocationInterval, true, [weak](const std::shared_ptr<NSTimer>&) {
        auto a = weak.lock();
        if (a && a->locManager_) a->locManager_->startUpdatingLocation();
    });
    locManager_->startUpdatingLocation();
}

void CameraAssistant::locationEnd() {
    if (timerLocation_) timerLocation_->invalidate();
    timerLocation_ = nullptr;
    // An open permission prompt keeps the manager, whose answer is still to come.
    if (authLocationOpening_) return;
    if (locManager_) locManager_->stopUpdatingLocation();
    locManager_ = nullptr;
}

void CameraAssistant::setLocationIncluded(bool included) {
    if (included == has(kLocation)) return;
    options_ = included ? options_ | kLocation : options_ & ~std::int64_t(kLocation);
    if (!included) location_ = nullptr;
    if (!started_) return;
    if (included)
        locationStart();
    else
        locationEnd();
}

void CameraAssistant::didUpdateLocations(const std::shared_ptr<CLLocationManager>& manager,
                                         const std::vector<std::shared_ptr<CLLocation>>& locations) {
    // A fix that was under way when location was removed is not kept.
    if (!locations.empty() && has(kLocation)) location_ = locations.back();
    if (manager) manager->stopUpdatingLocation();
}
