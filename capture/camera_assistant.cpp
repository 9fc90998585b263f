// CameraAssistant: start and stop in their order, the orientation from gravity and library changes.
#include "capture/camera_assistant.h"

void CameraAssistant::start(std::weak_ptr<CameraAssistantPresenter> vc) {
    lastVC_ = std::move(vc);
    started_ = true;
    bool first = !authInitialCalled_;
    authInitialCalled_ = true;
    if (has(kCamera)) first ? cameraAuthInitial() : cameraAuthCheck();
    if (has(kMicrophone)) first ? microphoneAuthInitial() : microphoneAuthCheck();
    if (has(kPhotoLibrary)) first ? photosAuthInitial() : photosAuthCheck();
    if (has(kLocation)) first ? locationAuthInitial() : locationAuthCheck();
    if (has(kVolumeButtons)) volumeStart();
    if (has(kLocation)) locationStart();
    if (has(kMotion)) motionStart();
    if (has(kPhotoLibrary))
        if (auto library = PHPhotoLibrary::sharedPhotoLibrary()) {
            // A start without a stop in between must not make every change arrive twice.
            library->unregisterChangeObserver(me());
            library->registerChangeObserver(me());
        }
}

void CameraAssistant::stop() {
    started_ = false;
    if (has(kLocation)) locationEnd();
    if (has(kVolumeButtons)) volumeEnd();
    if (has(kMotion)) motionEnd();
    if (has(kPhotoLibrary))
        if (auto library = PHPhotoLibrary::sharedPhotoLibrary()) library->unregisterChangeObserver(me());
}

std::int64_t CameraAssistant::calcDeviceOrientation(double x, double y, double) {
    if (x >= 0.5) return 4;
    if (x <= -0.5) return 3;
    if (y >= 0.5) return 2;
    if (y <= -0.5) return 1;
    return 0;
}

void CameraAssistant::photoLibraryDidChange(const std::shared_ptr<PHChange>&) {
    if (auto d = delegate()) d->onCameraAssistantPhotoChanged(me());
}

void CameraAssistant::alert(const char* message) {
    auto vc = lastVC_.lock();
    if (!vc) return;
    std::weak_ptr<CameraAssistantPresenter> weak = vc;
    vc->alert(message, [weak] {
        if (auto v = weak.lock()) v->openDeviceSettings();
    });
}
