// The shutter road: three triggers, the self-timer, the tap that first waits for focus and
// exposure to settle, the call into the photo host, and the new photo's flight into the library
// button.
#include "camera/screen/view_controller.h"

#include <algorithm>
#include <cmath>

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/overlays/focus_view.h"
#include "camera/screen/screen_geometry.h"
#include "editor/photo/ph_asset_custom.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/log.h"
#include "platform/runtime/format.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/status_button_path.h"

namespace {

constexpr float kNearlyZero = 1.0f / (1 << 23);
constexpr double kLateShotCap = 1.0;
constexpr double kLateShotScale = 10.0;
constexpr double kFlightDelay = 0.2;
constexpr double kFlightDuration = 0.5;
constexpr const char* kAdjustingFocus = "adjustingFocus";
constexpr const char* kAdjustingExposure = "adjustingExposure";

bool timerSet() { return std::fabs(Global::shared()->timerShot()) >= kNearlyZero; }

enum class AutoControl { Focus, Exposure, WhiteBalance };

// Puts one control of the device back to continuous (else single) automatic at the point.
void applyAuto(const std::shared_ptr<AVCaptureDevice>& device, AutoControl control, CGPoint point) {
    if (!device) return;
    switch (control) {
    case AutoControl::Focus: {
        auto mode = device->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus)
                        ? AVCaptureFocusMode::ContinuousAutoFocus
                        : AVCaptureFocusMode::AutoFocus;
        if (!device->isFocusModeSupported(mode) || !device->lockForConfiguration().ok()) return;
        device->setFocusPointOfInterest(point);
        device->setFocusMode(mode);
        break;
    }
    case AutoControl::Exposure: {
        auto mode = device->isExposureModeSupported(AVCaptureExposureMode::ContinuousAutoExposure)
                        ? AVCaptureExposureMode::ContinuousAutoExposure
                        : AVCaptureExposureMode::AutoExpose;
        if (!device->isExposureModeSupported(mode) || !device->lockForConfiguration().ok()) return;
        device->setExposurePointOfInterest(point);
        device->setExposureMode(mode);
        break;
    }
    case AutoControl::WhiteBalance: {
        auto mode = device->isWhiteBalanceModeSupported(AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance)
                        ? AVCaptureWhiteBalanceMode::ContinuousAutoWhiteBalance
                        : AVCaptureWhiteBalanceMode::AutoWhiteBalance;
        if (!device->isWhiteBalanceModeSupported(mode) || !device->lockForConfiguration().ok()) return;
        device->setWhiteBalanceMode(mode);
        break;
    }
    }
    device->unlockForConfiguration();
}

bool hasAutoFocus(const AVCaptureDevice& d) {
    return d.isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus) ||
           d.isFocusModeSupported(AVCaptureFocusMode::AutoFocus);
}
bool hasAutoExposure(const AVCaptureDevice& d) {
    return d.isExposureModeSupported(AVCaptureExposureMode::ContinuousAutoExposure) ||
           d.isExposureModeSupported(AVCaptureExposureMode::AutoExpose);
}

}  // namespace

void ViewController::updateFocusAuto() { applyAuto(device(), AutoControl::Focus, lastFocused_); }
void ViewController::updateExpoAuto() { applyAuto(device(), AutoControl::Exposure, lastExposured_); }
void ViewController::updateWBAuto() { applyAuto(device(), AutoControl::WhiteBalance, {}); }

void ViewController::onShot() {
    hideFilter();
    hideManual();
    auto manual = popManual();
    if (!manual->popFocus()->isUserManual()) updateFocusAuto();
    if (!manual->popExp()->isUserManual()) updateExpoAuto();
    if (!manual->popWB()->isUserManual()) updateWBAuto();
    shot0();
}

void ViewController::onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) {
    hideFilter();
    hideManual();
    shot0();
}

void ViewController::shot0() {
    std::weak_ptr<ViewController> weak = me();
    if (timerSet()) {
        shotTimer([weak] { if (auto s = weak.lock()) s->shot1(); });
    } else if (!ignoreShot_) {
        shot1();
    }
}

void ViewController::shotTimer(std::function<void()> block) {
    if (timerTimer_) {
        resetTimerTimer();
        showMessage("CANCELED");
        return;
    }
    timerShotComplete_ = std::move(block);
    showBigMessage(formatString("%0.0f", {Value(double(Global::shared()->timerShot()))}));
    restartTimerTimer();
}

void ViewController::restartTimerTimer() {
    resetTimerTimer();
    std::weak_ptr<ViewController> weak = me();
    timerTimer_ = NSTimer::scheduledTimer(kSelfTimerTick, true, [weak](const std::shared_ptr<NSTimer>&) {
        if (auto s = weak.lock()) s->onTimerTimer();
    });
    atTimerLast_ = atTimerChecked_ = CACurrentMediaTime();
}

void ViewController::resetTimerTimer() {
    if (!timerTimer_) return;
    if (popOption_) popOption_->btnTimer()->setPercent(1.0);
    timerTimer_->invalidate();
    timerTimer_ = nullptr;
}

void ViewController::onTimerTimer() {
    const double now = CACurrentMediaTime();
    const double length = Global::shared()->timerShot();
    if (popOption_ && length > 0) popOption_->btnTimer()->setPercent(std::clamp(1 - (now - atTimerLast_) / length, 0.0, 1.0));
    if (now - atTimerChecked_ <= 1.0) return;
    hideFocusView();
    const double remaining = length - std::floor(now - atTimerLast_);
    atTimerChecked_ = now;
    if (remaining > 0) {
        showBigMessage(formatString("%0.0f", {Value(remaining)}));
        return;
    }
    resetTimerTimer();
    if (timerShotComplete_) timerShotComplete_();
}

void ViewController::onTap(UIGestureRecognizer& gesture) {
    const auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video);
    if (status == AVAuthorizationStatus::Restricted || status == AVAuthorizationStatus::Denied) {
        std::weak_ptr<ViewController> weak = me();
        alert("Camera Authorization Required", [weak] { if (auto s = weak.lock()) s->openDeviceSettings(); });
        return;
    }
    auto view = preview();
    const CGSize size = view->bounds().size;
    if (size.width > 0 && size.height > 0) {
        const CGPoint p = gesture.locationInView(view);
        lastFocused_ = lastExposured_ = {p.x / size.width, 1 - p.y / size.height};
    }
    std::weak_ptr<ViewController> weak = me();
    if (timerSet()) {
        shotTimer([weak] { if (auto s = weak.lock()) s->onShotTap(); });
    } else if (!ignoreShot_) {
        onShotTap();
    }
}

void ViewController::onShotTap() {
    hideManual();
    shottingStartedAt_ = CACurrentMediaTime();
    cameraAddObservers();
    auto dev = device();
    auto manual = popManual();
    trackFocusCompleted_ = !dev || !hasAutoFocus(*dev) || manual->popFocus()->isUserManual();
    trackExposureCompleted_ = !dev || !hasAutoExposure(*dev) || manual->popExp()->isUserManual();
    lateShot_ = !(trackFocusCompleted_ && trackExposureCompleted_);
    const bool focusAuto = !trackFocusCompleted_, expoAuto = !trackExposureCompleted_;
    const bool wbAuto = !manual->popWB()->isUserManual();
    const CGPoint focusAt = lastFocused_, exposeAt = lastExposured_;
    std::weak_ptr<ViewController> weak = me();
    auto host = maker();
    dispatch_async(host->q(), [weak, dev, focusAuto, expoAuto, wbAuto, focusAt, exposeAt] {
        if (focusAuto) applyAuto(dev, AutoControl::Focus, focusAt);
        if (expoAuto) applyAuto(dev, AutoControl::Exposure, exposeAt);
        if (wbAuto) applyAuto(dev, AutoControl::WhiteBalance, {});
        dispatch_async(dispatch_get_main_queue(), [weak] {
            auto s = weak.lock();
            if (!s) return;
            s->focusView_->take_at(s->lastFocused_);
            if (!s->lateShot_) {
                s->shot1();
                return;
            }
            dispatch_after(dispatch_time(DISPATCH_TIME_NOW, std::int64_t(kFocusWaitLimit * NSEC_PER_SEC)),
                           dispatch_get_main_queue(), [weak] {
                               if (auto s2 = weak.lock()) s2->shotDelayed();
                           });
        });
    });
}

void ViewController::shotDelayed() {
    if (!lateShot_) return;
    lateShot_ = false;
    shot1();
}

void ViewController::cameraAddObservers() {
    if (observingCamera_) return;
    auto dev = device();
    if (!dev) return;
    observingCamera_ = true;
    observedDevice_ = dev;
    std::weak_ptr<ViewController> weak = me();
    for (bool focus : {true, false}) {
        observationTokens_.push_back(dev->addObserver(
            focus ? kAdjustingFocus : kAdjustingExposure, [weak, focus](const std::string&, const Value& v) {
                // The device reports on its own thread; the flags live on the main thread.
                dispatch_async(dispatch_get_main_queue(), [weak, focus, v] {
                    if (auto s = weak.lock()) s->observeAdjusting(focus, v);
                });
            }));
    }
}

void ViewController::cameraRemoveObservers() {
    if (!observingCamera_) return;
    observingCamera_ = false;
    // From the device they were registered on: a restart may have swapped the current one.
    if (observedDevice_)
        for (auto& t : observationTokens_) observedDevice_->removeObserver(t);
    observationTokens_.clear();
    observedDevice_ = nullptr;
}

void ViewController::observeAdjusting(bool focus, const Value& newValue) {
    if (!newValue.isBool() || newValue.boolValue() || !lateShot_) return;
    (focus ? trackFocusCompleted_ : trackExposureCompleted_) = true;
    if (!(trackFocusCompleted_ && trackExposureCompleted_)) return;
    lateShot_ = false;
    const double delay = std::min(kLateShotCap, kLateShotScale * (CACurrentMediaTime() - shottingStartedAt_));
    std::weak_ptr<ViewController> weak = me();
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, std::int64_t(delay * NSEC_PER_SEC)), dispatch_get_main_queue(),
                   [weak] {
                       if (auto s = weak.lock()) s->shot1();
                   });
}

void ViewController::shot1() {
    cameraRemoveObservers();
    // A delayed shot never overlaps one under way.
    if (ignoreShot_) return;
    auto host = makerPhoto();
    if (!host->context()->ciGPU()) return;
    focusView_->take_0();
    ignoreShot_ = noScreenUpdate_ = true;
    auto global = Global::shared();
    auto location = global->geoTagging() && assist_ ? assist_->location() : nullptr;
    std::weak_ptr<ViewController> weak = me();
    auto justBefore = [weak] {
        if (auto s = weak.lock()) s->actShowResultImage_ = true;
    };
    auto done = [weak](bool ok) {
        auto s = weak.lock();
        if (!s) return;
        if (!ok) {
            Log::warning("camera", "the photo could not be taken or saved into the library");
            s->actShowResultImage_ = false;
        }
        s->focusView_->take_1();
        s->ignoreShot_ = s->noScreenUpdate_ = false;
    };
    std::shared_ptr<FilterElement> element = screenElement_;
    if (global->silentMode()) {
        host->shot_silent(lastOrientation_, global->frontMirrored(), location, ratioWpH_, element,
                          [weak]() -> std::shared_ptr<CIImage> {
                              auto s = weak.lock();
                              return s ? s->lastSample() : nullptr;
                          },
                          justBefore, done);
    } else {
        host->shot_normal(lastOrientation_, global->frontMirrored(), location, ratioWpH_, element, justBefore, done);
    }
}

void ViewController::onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) { updateAssetButtonImage(); }

void ViewController::updateAssetButtonImage() {
    if (PHPhotoLibrary::authorizationStatus() != PHAuthorizationStatus::Authorized) return;
    std::weak_ptr<ViewController> weak = me();
    request(recent(), [weak](std::shared_ptr<UIImage> image) {
        auto s = weak.lock();
        if (!s) return;
        if (s->actShowResultImage_ && image) {
            s->showResultImage(image);
            s->actShowResultImage_ = false;
        }
        s->btnAsset_->setImage(image, UIControlStateNormal);
    });
}

void ViewController::showResultImage(const std::shared_ptr<UIImage>& image) {
    auto root = view();
    CGRect src = preview()->convertRectToView(preview()->bounds(), root);
    const CGRect dst = btnAsset_->convertRectToView(btnAsset_->bounds(), root);
    if (isLandscape()) src = turnedAboutCentre(src);
    const CGRect target = flightTarget(src, dst, isLandscape());

    auto flying = UIImageView::make(image);
    flying->setBackgroundColor(UIColor::redColor());
    flying->setFrame(src);
    flying->setTransform(lastTransform_);
    flying->setAlpha(1);
    flying->setContentMode(UIViewContentMode::ScaleAspectFit);
    flying->setClipsToBounds(true);
    root->addSubview(flying);
    UIViewAnimation::animate(
        kFlightDuration, kFlightDelay, UIViewAnimationOptions{},
        [flying, target] {
            flying->setFrame(target);
            flying->setAlpha(0);
        },
        [flying](bool) {
            flying->setHidden(true);
            flying->removeFromSuperview();
        });
}
