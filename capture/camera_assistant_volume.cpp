// CameraAssistant: the volume buttons as a shutter — one press, or two within 0.5 s.
#include "capture/camera_assistant.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/run_loop.h"
#include "platform/sensors/av_audio_session.h"
#include "platform/sensors/mp_volume_view.h"
#include "platform/sensors/system_volume.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

namespace {
constexpr double kDoublePressWindow = 0.5;
}

void CameraAssistant::volumeStart() {
    if (volumeControlInitialized_) return;
    auto audio = AVAudioSession::sharedInstance();
    (void)audio->setCategory(AVAudioSessionCategoryAmbient);
    (void)audio->setActive(true);
    // One hidden volume view for the assistant's life, placed in the first window while the
    // buttons are watched.
    if (!volumeView_) {
        volumeView_ = MPVolumeView::make();
        volumeView_->setFrame(CGRectMake(0, -100, 10, 0));
        volumeView_->sizeToFit();
    }
    if (!volumeView_->superview()) {
        auto windows = UIApplication::sharedApplication()->windows();
        if (!windows.empty()) windows.front()->addSubview(volumeView_);
    }
    std::weak_ptr<CameraAssistant> weak = me();
    volumeToken_ = NSNotificationCenter::defaultCenter()->addObserver(
        AVSystemController_SystemVolumeDidChangeNotification, nullptr, nullptr,
        [weak](const std::shared_ptr<NSNotification>& n) {
            const Value& reason = n->userInfo()[AVSystemController_AudioVolumeChangeReasonNotificationParameter];
            if (!reason.string() || *reason.string() != kExplicitVolumeChange) return;
            // Presses come on the pressing thread; they are counted on the main thread.
            dispatch_async(dispatch_get_main_queue(), [weak] {
                if (auto a = weak.lock()) a->volumePressed();
            });
        });
    volumeControlInitialized_ = true;
}

void CameraAssistant::volumeEnd() {
    if (!volumeControlInitialized_) return;
    NSNotificationCenter::defaultCenter()->removeObserver(volumeToken_);
    volumeToken_ = nullptr;
    volumeHold_.reset();
    (void)AVAudioSession::sharedInstance()->setActive(false);
    if (volumeView_) volumeView_->removeFromSuperview();
    volumeControlInitialized_ = false;
}

void CameraAssistant::volumePressed() {
    if (!volumeControlInitialized_) return;
    if (volumeTapCount_ < 1) {
        volumeTapCount_ = 1;
        volumeHold_ = ExitHold::make("the photo");
        std::weak_ptr<CameraAssistant> weak = me();
        RunLoop::main().performAfterDelay(kDoublePressWindow, [weak] {
            if (auto a = weak.lock()) a->volumeDelayed();
        });
        return;
    }
    volumeTapCount_ = 0;
    volumeHold_.reset();
    if (auto d = delegate()) d->onCameraAssistantVolumeDblButton(me());
}

void CameraAssistant::volumeDelayed() {
    bool single = volumeTapCount_ == 1;
    volumeTapCount_ = 0;
    // Released once the shot has begun (it holds the end itself from then on).
    auto hold = std::move(volumeHold_);
    if (single)
        if (auto d = delegate()) d->onCameraAssistantVolumeButton(me());
}
