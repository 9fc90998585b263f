// The output-volume observer.
#include "app/base/my_volume_controller.h"

#include "platform/sensors/av_audio_session.h"

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
    volumeToken_ =
        AVAudioSession::sharedInstance()->addObserver("outputVolume", [weak](const std::string&, const Value&) {
            if (auto strong = weak.lock()) strong->onMyVolumeChanged();
        });
    (void)AVAudioSession::sharedInstance()->setActive(true);  // the volume is watched either way
    observingAudioSession_ = true;
}

void MyVolumeController::removeObserverVolume() {
    if (!observingAudioSession_) return;
    AVAudioSession::sharedInstance()->removeObserver(volumeToken_);
    volumeToken_.reset();
    observingAudioSession_ = false;
}
