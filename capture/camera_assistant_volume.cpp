// CameraAssistant: the volume buttons as a shutter — one press, or two made within 0.5 s.
#include <algorithm>
#include <cmath>

#include "capture/camera_assistant.h"
#include "platform/dispatch/clock.h"
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
            std::optional<double> madeAt;
            if (const Value& made = n->userInfo()[kVolumePressMadeAtParameter]; made.isFloating())
                madeAt = made.doubleValue();
            // Presses come on the pressing thread; they are counted on the main thread.
            dispatch_async(dispatch_get_main_queue(), [weak, madeAt] {
                if (auto a = weak.lock()) a->volumePressed(madeAt);
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

// Presses are told apart by when they were made, not when they were read: a program slow to read
// its input may get two presses made far apart in one go. The decision on a first press still
// waits 0.5 s from its reading, so that a second one made in time but read late can join it.
void CameraAssistant::volumePressed(std::optional<double> madeAt) {
    if (!volumeControlInitialized_) return;
    const double now = Clock::now();
    // No press is made after it is read; one of unknown (or nonsense) time was made as read.
    const double made = madeAt && std::isfinite(*madeAt) ? std::min(*madeAt, now) : now;
    if (volumeTapCount_ == 1) {
        if (std::abs(made - volumeFirstMadeAt_) <= kDoublePressWindow) {
            volumeTapCount_ = 0;
            ++volumeGeneration_;
            volumeHold_.reset();
            if (auto d = delegate()) d->onCameraAssistantVolumeDblButton(me());
            return;
        }
        // The first press's window had closed when this one was made: it was a press of its own,
        // decided now rather than when its delayed call comes.
        volumeDelayed(volumeGeneration_);
        // Its shot may have stopped the assistant.
        if (!volumeControlInitialized_) return;
    }
    volumeTapCount_ = 1;
    volumeFirstMadeAt_ = made;
    volumeHold_ = ExitHold::make("the photo");
    const std::uint64_t generation = ++volumeGeneration_;
    std::weak_ptr<CameraAssistant> weak = me();
    RunLoop::main().performAfterDelay(kDoublePressWindow, [weak, generation] {
        if (auto a = weak.lock()) a->volumeDelayed(generation);
    });
}

void CameraAssistant::volumeDelayed(std::uint64_t generation) {
    // Meant for a press that has since been decided.
    if (generation != volumeGeneration_) return;
    bool single = volumeTapCount_ == 1;
    volumeTapCount_ = 0;
    ++volumeGeneration_;
    // Released once the shot has begun (it holds the end itself from then on).
    auto hold = std::move(volumeHold_);
    if (single)
        if (auto d = delegate()) d->onCameraAssistantVolumeButton(me());
}
