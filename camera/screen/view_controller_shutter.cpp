// The shutter road: the three triggers handed to the shot sequencer, the screen's side of the road
// (the countdown's display, the device prepared and watched for the tap, the call into the photo
// host), and the new photo's flight into the library button.
#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/overlays/focus_view.h"
#include "camera/screen/camera_popups.h"
#include "camera/screen/screen_geometry.h"
#include "camera/screen/view_controller.h"
#include "editor/photo/edit_controller.h"
#include "editor/photo/ph_asset_custom.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/format.h"
#include "platform/runtime/log.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/status_button_path.h"

namespace {

constexpr double kFlightDelay = 0.2;
constexpr double kFlightDuration = 0.5;
constexpr const char* kAdjustingFocus = "adjustingFocus";
constexpr const char* kAdjustingExposure = "adjustingExposure";

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

void ViewController::updateFocusAuto() {
    applyAuto(hosts_->device(), AutoControl::Focus, lastFocused_);
}
void ViewController::updateExpoAuto() {
    applyAuto(hosts_->device(), AutoControl::Exposure, lastExposured_);
}
void ViewController::updateWBAuto() {
    applyAuto(hosts_->device(), AutoControl::WhiteBalance, {});
}

// --- The screen's side of the shot road: what the sequencer shows, prepares and starts ---

double ViewController::selfTimerSeconds() {
    return Global::shared()->timerShot();
}

void ViewController::showCountdown(double secondsLeft) {
    showBigMessage(formatString("%0.0f", {Value(secondsLeft)}));
}

void ViewController::showCountdownShare(double share) {
    if (auto option = popups_->optionIfMade()) option->btnTimer()->setPercent(share);
}

void ViewController::countdownSecondPassed() {
    hideFocusView();
}

void ViewController::countdownCanceled() {
    showMessage("CANCELED");
}

FocusWait ViewController::beginFocusWait() {
    popups_->hideManual();
    cameraAddObservers();
    auto dev = hosts_->device();
    auto manual = popups_->manual();
    // A control the device cannot run automatically, or one set by hand, counts as settled.
    FocusWait wait;
    wait.focus = dev && hasAutoFocus(*dev) && !manual->popFocus()->isUserManual();
    wait.exposure = dev && hasAutoExposure(*dev) && !manual->popExp()->isUserManual();
    const bool wbAuto = !manual->popWB()->isUserManual();
    const CGPoint focusAt = lastFocused_, exposeAt = lastExposured_;
    auto prepared = weakBind(me(), &ViewController::onShotDevicePrepared);
    dispatch_async(hosts_->current()->q(), [dev, wait, wbAuto, focusAt, exposeAt, prepared] {
        if (wait.focus) applyAuto(dev, AutoControl::Focus, focusAt);
        if (wait.exposure) applyAuto(dev, AutoControl::Exposure, exposeAt);
        if (wbAuto) applyAuto(dev, AutoControl::WhiteBalance, {});
        dispatch_async(dispatch_get_main_queue(), prepared);
    });
    return wait;
}

void ViewController::endFocusWait() {
    cameraRemoveObservers();
}

bool ViewController::startShot() {
    // Only a running camera gives a frame together with the facts a photo carries; a stopped one
    // would leave the last frame shown, without its camera's metadata.
    if (hosts_->state() != CaptureState::Running) {
        Log::info("camera", "no shot: capture is not running");
        return false;
    }
    auto host = hosts_->photo();
    // A new session ends the road's shot while the host may still be saving its photo (a restart
    // during the shot): that photo goes on, and this press is dropped as a press during a shot is.
    if (host->isShooting()) {
        Log::info("camera", "no shot: a photo is still under way");
        return false;
    }
    if (!host->context()->ciGPU()) return false;
    v_.focusView->take_0();
    // The shot's first feedback, in the next frame: the preview shows the newest frame at once
    // and holds it until the shot is done.
    drawPreview(road_->lastScreen());
    auto global = Global::shared();
    auto location = global->geoTagging() && assist_ ? assist_->location() : nullptr;
    auto justBefore = weakBind(me(), &ViewController::onShotSaving);
    // A photo not saved is logged whether or not the screen is still there to say it.
    auto done = [finished = weakBind(me(), &ViewController::onShotFinished)](Result<void> saved) {
        if (!saved) Log::warning("camera", "the photo was not saved: " + saved.error());
        finished(std::move(saved));
    };
    std::shared_ptr<FilterElement> element = screenElement_;
    if (global->silentMode()) {
        std::weak_ptr<PreviewRoad> road = road_;
        host->shot_silent(
            lastOrientation_, global->frontMirrored(), location, ratioWpH_, element,
            [road]() -> std::shared_ptr<CIImage> {
                auto r = road.lock();
                return r ? r->lastSample() : nullptr;
            },
            justBefore, done);
    } else {
        host->shot_normal(lastOrientation_, global->frontMirrored(), location, ratioWpH_, element, justBefore, done);
    }
    return true;
}

void ViewController::onShot() {
    popups_->hideFilter();
    popups_->hideManual();
    auto manual = popups_->manual();
    if (!manual->popFocus()->isUserManual()) updateFocusAuto();
    if (!manual->popExp()->isUserManual()) updateExpoAuto();
    if (!manual->popWB()->isUserManual()) updateWBAuto();
    shots_->shutterTap();
}

void ViewController::onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) {
    popups_->hideFilter();
    popups_->hideManual();
    shots_->volumeKey();
}

void ViewController::onTap(UIGestureRecognizer& gesture) {
    if (cameraRefused()) {
        popups_->alert("Camera Authorization Required",
                       weakBind(std::shared_ptr<CameraPopups>(popups_), &CameraPopups::openDeviceSettings));
        return;
    }
    auto view = preview();
    const CGSize size = view->bounds().size;
    if (size.width > 0 && size.height > 0) {
        const CGPoint p = gesture.locationInView(view);
        lastFocused_ = lastExposured_ = {p.x / size.width, 1 - p.y / size.height};
    }
    shots_->tapToShoot();
}

void ViewController::onShotDevicePrepared() {
    v_.focusView->take_at(lastFocused_);
    shots_->devicePrepared();
}

void ViewController::onShotSaving() {
    shots_->photoSaving();
}

void ViewController::onShotFinished(Result<void> saved) {
    v_.focusView->take_1();
    shots_->shotFinished(saved.ok());
    if (saved) return;
    // As the photo editor says it, with the reason below.
    popups_->alert(std::string(EditController::kNotSaved) + "\n" + saved.error(), [] {});
}

void ViewController::cameraAddObservers() {
    if (observingCamera_) return;
    auto dev = hosts_->device();
    if (!dev) return;
    observingCamera_ = true;
    observedDevice_ = dev;
    std::weak_ptr<ViewController> weak = me();
    for (bool focus : {true, false}) {
        observationTokens_.push_back(dev->addObserver(focus ? kAdjustingFocus : kAdjustingExposure,
                                                      [weak, focus](const std::string&, const Value& v) {
                                                          // The device reports on its own thread; the shot's road lives
                                                          // on the main thread.
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
    if (!newValue.isBool() || newValue.boolValue()) return;
    shots_->adjustingEnded(focus);
}

void ViewController::onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) {
    updateAssetButtonImage();
}

void ViewController::updateAssetButtonImage() {
    if (PHPhotoLibrary::authorizationStatus() != PHAuthorizationStatus::Authorized) return;
    std::weak_ptr<ViewController> weak = me();
    request(recent(), [weak](std::shared_ptr<UIImage> image) {
        auto s = weak.lock();
        if (!s) return;
        if (image && s->shots_->resultFlightPending()) {
            s->showResultImage(image);
            s->shots_->resultFlightShown();
        }
        s->v_.btnAsset->setImage(image, UIControlStateNormal);
    });
}

void ViewController::showResultImage(const std::shared_ptr<UIImage>& image) {
    auto root = view();
    CGRect src = preview()->convertRectToView(preview()->bounds(), root);
    const CGRect dst = v_.btnAsset->convertRectToView(v_.btnAsset->bounds(), root);
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
