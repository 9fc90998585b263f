// The output-volume observer.
#include "app/base/my_volume_controller.h"

#include "platform/sensors/av_audio_session.h"
#include "platform/sensors/system_volume.h"

void MyVolumeController::viewDidAppear(bool animated) {
    MyAdController::viewDidAppear(animated);
    if (isMyVolumeEnabled()) addObserverVolume();
}

void MyVolumeController::viewWillDisappear(bool animated) {
    MyAdController::viewWillDisappear(animated);
    removeObserverVolume();
}

void MyVolumeController::addObserverVolume() {
    if (observingAudioSession_) return;
    std::weak_ptr<MyVolumeController> weak = self<MyVolumeController>();
    volumeToken_ = NSNotificationCenter::defaultCenter()->addObserver(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
        [weak](const std::shared_ptr<NSNotification>&) {
            if (auto strong = weak.lock()) strong->onMyVolumeChanged();
        });
    (void)AVAudioSession::sharedInstance()->setActive(true);  // the volume is watched either way
    observingAudioSession_ = true;
}

void MyVolumeController::removeObserverVolume() {
    if (!observingAudioSession_) return;
    NSNotificationCenter::defaultCenter()->removeObserver(volumeToken_);
    volumeToken_.reset();
    observingAudioSession_ = false;
}
