// The shutter road: the three triggers handed to the shot sequencer, the screen's side of the road
// (the countdown's display, the device prepared and watched for the tap, the call into the photo
// host), and the new photo's flight into the library button.
#include "camera/screen/view_controller.h"

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/overlays/focus_view.h"
#include "camera/screen/screen_geometry.h"
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
#include "platform/runtime/log.h"
#include "platform/runtime/format.h"
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

void ViewController::updateFocusAuto() { applyAuto(device(), AutoControl::Focus, lastFocused_); }
void ViewController::updateExpoAuto() { applyAuto(device(), AutoControl::Exposure, lastExposured_); }
void ViewController::updateWBAuto() { applyAuto(device(), AutoControl::WhiteBalance, {}); }

// The screen's side of the shot road: what the sequencer shows, prepares and starts.
class ViewControllerShotRoad final : public ShotSequencerDelegate {
public:
    explicit ViewControllerShotRoad(ViewController& screen) : s_(screen) {}

    double selfTimerSeconds() override { return Global::shared()->timerShot(); }
    void showCountdown(double secondsLeft) override {
        s_.showBigMessage(formatString("%0.0f", {Value(secondsLeft)}));
    }
    void showCountdownShare(double share) override {
        if (s_.popOption_) s_.popOption_->btnTimer()->setPercent(share);
    }
    void countdownSecondPassed() override { s_.hideFocusView(); }
    void countdownCanceled() override { s_.showMessage("CANCELED"); }
    FocusWait beginFocusWait() override;
    void endFocusWait() override { s_.cameraRemoveObservers(); }
    bool startShot() override;

private:
    ViewController& s_;
};

FocusWait ViewControllerShotRoad::beginFocusWait() {
    s_.hideManual();
    s_.cameraAddObservers();
    auto dev = s_.device();
    auto manual = s_.popManual();
    // A control the device cannot run automatically, or one set by hand, counts as settled.
    FocusWait wait;
    wait.focus = dev && hasAutoFocus(*dev) && !manual->popFocus()->isUserManual();
    wait.exposure = dev && hasAutoExposure(*dev) && !manual->popExp()->isUserManual();
    const bool wbAuto = !manual->popWB()->isUserManual();
    const CGPoint focusAt = s_.lastFocused_, exposeAt = s_.lastExposured_;
    auto prepared = weakBind(s_.me(), &ViewController::onShotDevicePrepared);
    dispatch_async(s_.maker()->q(), [dev, wait, wbAuto, focusAt, exposeAt, prepared] {
        if (wait.focus) applyAuto(dev, AutoControl::Focus, focusAt);
        if (wait.exposure) applyAuto(dev, AutoControl::Exposure, exposeAt);
        if (wbAuto) applyAuto(dev, AutoControl::WhiteBalance, {});
        dispatch_async(dispatch_get_main_queue(), prepared);
    });
    return wait;
}

bool ViewControllerShotRoad::startShot() {
    auto host = s_.makerPhoto();
    if (!host->context()->ciGPU()) return false;
    s_.focusView_->take_0();
    // The shot's first feedback, in the next frame: the preview shows the newest frame at once
    // and holds it until the shot is done.
    s_.drawPreview(s_.lastScreen());
    auto global = Global::shared();
    auto location = global->geoTagging() && s_.assist_ ? s_.assist_->location() : nullptr;
    auto justBefore = weakBind(s_.me(), &ViewController::onShotSaving);
    auto done = weakBind(s_.me(), &ViewController::onShotFinished);
    std::shared_ptr<FilterElement> element = s_.screenElement_;
    if (global->silentMode()) {
        std::weak_ptr<ViewController> weak = s_.me();
        host->shot_silent(s_.lastOrientation_, global->frontMirrored(), location, s_.ratioWpH_, element,
                          [weak]() -> std::shared_ptr<CIImage> {
                              auto s = weak.lock();
                              return s ? s->lastSample() : nullptr;
                          },
                          justBefore, done);
    } else {
        host->shot_normal(s_.lastOrientation_, global->frontMirrored(), location, s_.ratioWpH_, element, justBefore,
                          done);
    }
    return true;
}

ShotSequencer& ViewController::shots() {
    if (!shots_) shots_ = std::make_unique<ShotSequencer>(std::make_unique<ViewControllerShotRoad>(*this));
    return *shots_;
}

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
    shots().volumeKey();
}

void ViewController::shot0() { shots().shutterTap(); }
void ViewController::shot1() { shots().shoot(); }
void ViewController::onShotTap() { shots().focusThenShoot(); }
void ViewController::shotDelayed() { shots().waitExpired(); }

void ViewController::onTap(UIGestureRecognizer& gesture) {
    const auto status = AVCaptureDevice::authorizationStatusForMediaType(AVMediaType::Video);
    if (status == AVAuthorizationStatus::Restricted || status == AVAuthorizationStatus::Denied) {
        alert("Camera Authorization Required", weakBind(me(), &ViewController::openDeviceSettings));
        return;
    }
    auto view = preview();
    const CGSize size = view->bounds().size;
    if (size.width > 0 && size.height > 0) {
        const CGPoint p = gesture.locationInView(view);
        lastFocused_ = lastExposured_ = {p.x / size.width, 1 - p.y / size.height};
    }
    shots().tapToShoot();
}

void ViewController::onShotDevicePrepared() {
    focusView_->take_at(lastFocused_);
    shots().devicePrepared();
}

void ViewController::onShotSaving() { shots().photoSaving(); }

void ViewController::onShotFinished(Result<void> saved) {
    focusView_->take_1();
    shots().shotFinished(saved.ok());
    if (saved) return;
    Log::warning("camera", "the photo was not saved: " + saved.error());
    // As the photo editor says it, with the reason below.
    alert(std::string(EditController::kNotSaved) + "\n" + saved.error(), [] {});
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
                // The device reports on its own thread; the shot's road lives on the main thread.
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
    shots().adjustingEnded(focus);
}

void ViewController::onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) { updateAssetButtonImage(); }

void ViewController::updateAssetButtonImage() {
    if (PHPhotoLibrary::authorizationStatus() != PHAuthorizationStatus::Authorized) return;
    std::weak_ptr<ViewController> weak = me();
    request(recent(), [weak](std::shared_ptr<UIImage> image) {
        auto s = weak.lock();
        if (!s) return;
        if (image && s->shots_ && s->shots_->resultFlightPending()) {
            s->showResultImage(image);
            s->shots_->resultFlightShown();
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
