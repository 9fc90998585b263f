// Starting, stopping and restarting capture, the application's life-cycle notifications, the
// camera permission memory and the controls' turn with the device.
#include <utility>

#include "camera/overlays/guide_view.h"
#include "camera/screen/camera_popups.h"
#include "camera/screen/flash_setting.h"
#include "camera/screen/screen_geometry.h"
#include "camera/screen/view_controller.h"
#include "filter/filter_context.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/runtime/log.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/app/ui_application.h"
#include "ui/controls/anim_button.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr double kTurnDuration = 0.2;
constexpr const char* kLastCameraDenied = "lastCameraDenied";
}  // namespace

void ViewController::onMain(std::function<void(ViewController&)> block) {
    if (RunLoop::isMainThread()) {
        block(*this);
        return;
    }
    std::weak_ptr<ViewController> weak = me();
    dispatch_async(dispatch_get_main_queue(), [weak, block = std::move(block)] {
        if (auto s = weak.lock()) block(*s);
    });
}

void ViewController::start(std::function<void()> completion) {
    if (!appeared_) return;
    const auto ticket = hosts_->beginStart();
    if (!ticket) return;
    dropPreview();
    std::weak_ptr<ViewController> weak = me();
    hosts_->current()->start([weak, ticket = *ticket, completion = std::move(completion)](bool) {
        dispatch_async(dispatch_get_main_queue(), [weak, ticket, completion] {
            auto s = weak.lock();
            if (!s) return;
            auto assistant = s->assist();
            // Geotagging may have changed while the screen was away.
            assistant->setLocationIncluded(Global::shared()->geoTagging());
            assistant->start(std::weak_ptr<CameraAssistantPresenter>(s->popups_));
            if (completion) completion();
            // A start that a stop overtook (a denial found by the assistant above) draws nothing:
            // the stop has ended the drawing and its stall watch.
            if (s->hosts_->finishStart(ticket)) s->road_->sessionDidStart(CACurrentMediaTime());
        });
    });
}

void ViewController::stop(std::function<void()> completion) {
    // A stop asked for after a start was queued behind another stop wins over it.
    startAfterStop_ = false;
    cameraRemoveObservers();
    auto host = hosts_->beginStop();
    if (!host) return;
    road_->resetTimerScreen();
    if (!noFocusReset_) {
        lastFocused_ = {0.5, 0.5};
        lastExposured_ = {0.5, 0.5};
    }
    if (assist_) assist_->stop();
    std::weak_ptr<ViewController> weak = me();
    host->stop([weak, completion = std::move(completion)](bool) {
        dispatch_async(dispatch_get_main_queue(), [weak, completion] {
            auto s = weak.lock();
            if (!s) return;
            s->dropPreview();
            // Idle before the completion, so that a restart's start is taken.
            s->hosts_->finishStop();
            if (completion) completion();
            if (std::exchange(s->startAfterStop_, false)) s->start({});
        });
    });
}

void ViewController::restart(std::function<void()> completion) {
    const double began = CACurrentMediaTime();
    road_->restartBegins(began);
    Log::debug("camera", "capture restart begins");
    std::weak_ptr<ViewController> weak = me();
    stop([weak, began, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        Log::debug("camera", "capture stopped after " + std::to_string(CACurrentMediaTime() - began) + " s");
        // A last frame of the old session, drawn while it stopped, ended the road's restart; the
        // restart lasts until the new session's first frame.
        s->road_->restartBegins(began);
        s->start(completion);
    });
}

void ViewController::onCameraHostWillSessionStart(const std::shared_ptr<CameraHost>& host) {
    // A runtime-error restart reports this from the capture queue.
    onMain([host](ViewController& s) {
        auto context = host ? host->context() : nullptr;
        if (context && context->gl() && s.preview_) s.preview_->setContext(context->gl());
        s.generalFocusing_ = false;
        s.road_->sessionWillStart();
    });
}

void ViewController::onCameraHostDidSessionStart(const std::shared_ptr<CameraHost>& host) {
    onMain([host](ViewController& s) {
        s.shots_->sessionStarted();
        if (!s.noFocusReset_) {
            settleFlashSetting(s.hosts_->device());
            if (host) host->setFocus(s.lastFocused_);
        }
        s.noFocusReset_ = false;
        // After the focus above, which puts the device's exposure back to automatic.
        s.popups_->captureDidStart();
        if (const double began = s.road_->restartBegan(); began > 0)
            Log::debug("camera", "capture started after " + std::to_string(CACurrentMediaTime() - began) + " s");
        s.updateView();
    });
}

void ViewController::appAddObservers() {
    if (observingApp_) return;
    observingApp_ = true;
    auto center = NSNotificationCenter::defaultCenter();
    auto self = me();
    using Handler = void (ViewController::*)(const std::shared_ptr<NSNotification>&);
    struct Entry {
        const char* name;
        Handler handler;
    };
    static const Entry kEntries[] = {
        {UIApplicationDidEnterBackgroundNotification, &ViewController::onDeactivateNotification},
        {UIApplicationWillResignActiveNotification, &ViewController::onDeactivateNotification},
        {UIApplicationDidBecomeActiveNotification, &ViewController::onDidBecomeActiveNotification},
        {UIApplicationWillEnterForegroundNotification, &ViewController::onQuietNotification},
        {UIApplicationDidFinishLaunchingNotification, &ViewController::onQuietNotification},
        {UIApplicationDidReceiveMemoryWarningNotification, &ViewController::onQuietNotification},
        {UIApplicationWillTerminateNotification, &ViewController::onQuietNotification},
        {UIApplicationSignificantTimeChangeNotification, &ViewController::onQuietNotification},
        {Global::kGeoTaggingChangedNotification, &ViewController::onGeoTaggingChanged},
    };
    for (const auto& e : kEntries) center->addObserver(self, e.handler, e.name);
}

void ViewController::appRemoveObservers() {
    if (!observingApp_) return;
    observingApp_ = false;
    NSNotificationCenter::defaultCenter()->removeObserver(me());
}

void ViewController::onDeactivateNotification(const std::shared_ptr<NSNotification>&) {
    appDeactivate();
}

void ViewController::onDidBecomeActiveNotification(const std::shared_ptr<NSNotification>&) {
    appActivate();
    if (tutorialActive()) tutorialStop();
}

void ViewController::onQuietNotification(const std::shared_ptr<NSNotification>&) {}

void ViewController::onGeoTaggingChanged(const std::shared_ptr<NSNotification>&) {
    if (assist_) assist_->setLocationIncluded(Global::shared()->geoTagging());
}

void ViewController::appActivate() {
    start({});
}

void ViewController::appDeactivate() {
    // Capture stops below, while the run loop and its timers go on in the background: a
    // self-timer or a focus wait left running would shoot from the stopped camera.
    shots_->leaveForeground();
    popups_->hideFilter();
    popups_->hideManual();
    stop({});
}

namespace {

bool refused(AVMediaType type) {
    const auto status = AVCaptureDevice::authorizationStatusForMediaType(type);
    return status == AVAuthorizationStatus::Restricted || status == AVAuthorizationStatus::Denied;
}

}  // namespace

bool ViewController::cameraRefused() const {
    return refused(AVMediaType::Video);
}

bool ViewController::captureRefused() const {
    auto host = hosts_->stored();
    return cameraRefused() || (host && host->captureAudio() && refused(AVMediaType::Audio));
}

void ViewController::onCameraAssistantCameraAuthDenied(const std::shared_ptr<CameraAssistant>&) {
    stop({});
    auto info = lastInfo();
    info->set(Value(true), kLastCameraDenied);
    info->save();
}

void ViewController::onCameraAssistantMicrophoneAuthDenied(const std::shared_ptr<CameraAssistant>& a) {
    onCameraAssistantCameraAuthDenied(a);
}

void ViewController::onCameraAssistantCameraAuthApproved(const std::shared_ptr<CameraAssistant>&) {
    auto info = lastInfo();
    Value denied = info->get(kLastCameraDenied);
    if (denied.isNull() || !denied.boolValue()) return;
    resumeAfterDenial();
    info->removeObjectForKey(kLastCameraDenied);
    info->save();
}

void ViewController::resumeAfterDenial() {
    // The denial stopped capture, so a restart would find nothing to stop and start nothing: the
    // permission asked for on first use is granted while that stop is still under way, or after it.
    // Granted with the program in the background, capture starts on its return.
    if (UIApplication::sharedApplication()->applicationState() == UIApplicationState::Background) return;
    switch (hosts_->state()) {
        case CaptureState::Idle: start({}); break;
        case CaptureState::Stopping: startAfterStop_ = true; break;
        case CaptureState::Starting:
        case CaptureState::Running: restart({}); break;
    }
}

void ViewController::onCameraAssistantMicrophoneAuthApproved(const std::shared_ptr<CameraAssistant>& a) {
    onCameraAssistantCameraAuthApproved(a);
}

bool ViewController::onCameraAssistantLocationGetUserSetting(const std::shared_ptr<CameraAssistant>&) {
    return Global::shared()->geoTagging();
}

void ViewController::onCameraAssistantLocationSetUserSetting(const std::shared_ptr<CameraAssistant>&, bool b) {
    Global::shared()->setGeoTagging(b);
    Global::shared()->saveCurrentSettings();
}

void ViewController::onCameraAssistantMotionOrientation(const std::shared_ptr<CameraAssistant>&, std::int64_t o) {
    updateOrientation(o);
}

void ViewController::updateOrientation(std::int64_t o) {
    auto turn = controlsTurnFor(o);
    if (!turn) return;
    lastOrientation_ = turn->orientation;
    lastTransform_ = CGAffineTransformMakeRotation(turn->angle);
    std::vector<std::shared_ptr<UIView>> controls = {v_.btnMenu,  v_.btnHelp, v_.btnSwap,  v_.btnFilter,
                                                     v_.btnAsset, v_.btnShot, v_.btnManual};
    const CGAffineTransform t = lastTransform_;
    UIViewAnimation::animate(kTurnDuration, [controls, t] {
        for (auto& c : controls)
            if (c) c->setTransform(t);
    });
}

bool ViewController::isLandscape() const {
    return isLandscapeOrientation(lastOrientation_);
}

void ViewController::onCameraAssistantMotionGravity(const std::shared_ptr<CameraAssistant>&, double x, double y,
                                                    double z) {
    if (!v_.guideView || v_.guideView->isHidden() || !hosts_->stored() || hosts_->moving()) return;
    v_.guideView->updateGravity(x, y, z);
}

void ViewController::onSwap() {
    popups_->hideFilter();
    popups_->hideManual();
    lastFocused_ = {0.5, 0.5};
    if (auto manual = popups_->manualIfMade()) manual->resetTimer();
    auto host = hosts_->stored();
    if (!host) return;
    std::weak_ptr<ViewController> weak = me();
    host->switchCamera([weak](bool) {
        if (auto s = weak.lock()) s->afterCameraRestart(true);
    });
}

void ViewController::restartCamera(bool quietly) {
    auto host = hosts_->stored();
    if (!host) return;
    std::weak_ptr<ViewController> weak = me();
    host->restartCamera([weak, quietly](bool) {
        if (auto s = weak.lock()) s->afterCameraRestart(!quietly);
    });
}

void ViewController::afterCameraRestart(bool refreshOption) {
    if (auto manual = popups_->manualIfMade()) manual->setAuto();
    syncPositionWithHost();
    updateView();
    auto option = popups_->optionIfMade();
    if (refreshOption && option && !option->hidden()) option->updateView();
}

void ViewController::syncPositionWithHost() {
    auto host = hosts_->stored();
    if (!host) return;
    auto global = Global::shared();
    if (global->position() != host->position()) {
        global->setPosition(host->position());
        global->saveCurrentSettings();
    }
}

void ViewController::onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) {
    onSwap();
    updateView();
}
