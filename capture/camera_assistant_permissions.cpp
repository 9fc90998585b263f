// CameraAssistant: the permission steps for camera, microphone, photo library and location.
#include "capture/camera_assistant.h"
#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/queue.h"

namespace {

// Permission answers come on background queues; the assistant handles them on the main queue.
template <class F>
void onMain(const std::shared_ptr<CameraAssistant>& assistant, F block) {
    dispatch_async(dispatch_get_main_queue(), [assistant, block = std::move(block)] { block(*assistant); });
}

bool refused(AVAuthorizationStatus s) {
    return s == AVAuthorizationStatus::Restricted || s == AVAuthorizationStatus::Denied;
}

}  // namespace

void CameraAssistant::cameraAuthInitial() {
    if (AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video) != AVAuthorizationStatus::NotDetermined)
        return cameraAuthCheck();
    if (auto d = delegate()) d->onCameraAssistantCameraAuthDenied(me());
    auto self = me();
    AVCaptureDevice::requestAccessForMediaType(AVMediaType::Video, [self](bool granted) {
        onMain(self, [granted](CameraAssistant& a) {
            if (granted) {
                if (auto d = a.delegate()) d->onCameraAssistantCameraAuthApproved(a.me());
            } else {
                a.alert("Camera Authorization Required");
            }
        });
    });
}

void CameraAssistant::cameraAuthCheck() {
    auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video);
    if (refused(status)) {
        if (auto d = delegate()) d->onCameraAssistantCameraAuthDenied(me());
        alert("Camera Authorization Required");
    } else if (status == AVAuthorizationStatus::Authorized) {
        if (auto d = delegate()) d->onCameraAssistantCameraAuthApproved(me());
    }
}

void CameraAssistant::microphoneAuthInitial() {
    if (AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Audio) != AVAuthorizationStatus::NotDetermined)
        return microphoneAuthCheck();
    if (auto d = delegate()) d->onCameraAssistantMicrophoneAuthDenied(me());
    auto self = me();
    AVCaptureDevice::requestAccessForMediaType(AVMediaType::Audio, [self](bool granted) {
        if (!granted) return;
        onMain(self, [](CameraAssistant& a) {
            if (auto d = a.delegate()) d->onCameraAssistantMicrophoneAuthApproved(a.me());
        });
    });
}

void CameraAssistant::microphoneAuthCheck() {
    auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Audio);
    if (refused(status)) {
        if (auto d = delegate()) d->onCameraAssistantMicrophoneAuthDenied(me());
        alert("Microphone Authorization Required");
    } else if (status == AVAuthorizationStatus::Authorized) {
        if (auto d = delegate()) d->onCameraAssistantMicrophoneAuthApproved(me());
    }
}

void CameraAssistant::photosAuthInitial() {
    if (PHPhotoLibrary::authorizationStatus() != PHAuthorizationStatus::NotDetermined) return photosAuthCheck();
    auto self = me();
    PHPhotoLibrary::requestAuthorization([self](PHAuthorizationStatus status) {
        onMain(self, [status](CameraAssistant& a) {
            if (status == PHAuthorizationStatus::Authorized) {
                if (auto d = a.delegate()) d->onCameraAssistantPhotoChanged(a.me());
            } else {
                a.alert("Photos Authorization Required");
            }
        });
    });
}

void CameraAssistant::photosAuthCheck() {
    auto status = PHPhotoLibrary::authorizationStatus();
    if (status == PHAuthorizationStatus::Restricted || status == PHAuthorizationStatus::Denied) {
        if (auto d = delegate()) d->onCameraAssistantPhotoChanged(me());
        alert("Photos Authorization Required");
    } else if (status == PHAuthorizationStatus::Authorized) {
        if (auto d = delegate()) d->onCameraAssistantPhotoChanged(me());
    }
}

void CameraAssistant::locationAuthInitial() {
    if (CLLocationManager::authorizationStatus() != CLAuthorizationStatus::NotDetermined) return locationAuthCheck();
    authLocationOpening_ = true;
    makeLocationManager();
    locManager_->requestWhenInUseAuthorization();
}

void CameraAssistant::locationAuthCheck() {
    auto d = delegate();
    auto status = CLLocationManager::authorizationStatus();
    if (!d || !d->onCameraAssistantLocationGetUserSetting(me())) return;
    if (status != CLAuthorizationStatus::Restricted && status != CLAuthorizationStatus::Denied) return;
    auto vc = lastVC_.lock();
    if (!vc) return;
    std::weak_ptr<CameraAssistantPresenter> weakVC = vc;
    std::weak_ptr<CameraAssistant> weak = me();
    vc->confirm(
        "Location Service Authorization Required.\nOpen Settings Now?",
        [weakVC] {
            if (auto v = weakVC.lock()) v->openDeviceSettings();
        },
        [weak] {
            auto a = weak.lock();
            if (!a) return;
            if (auto d = a->delegate()) {
                d->onCameraAssistantLocationSetUserSetting(a, false);
                d->onCameraAssistantLocationAuthChanged(a);
            }
        });
}

void CameraAssistant::didChangeAuthorizationStatus(const std::shared_ptr<CLLocationManager>&,
                                                   CLAuthorizationStatus status) {
    if (status != CLAuthorizationStatus::NotDetermined) authLocationOpening_ = false;
    if (auto d = delegate()) d->onCameraAssistantLocationAuthChanged(me());
}
