// The camera screen's members made on first use: the store, the assistant, the capture hosts, the
// preview view and the pop-ups, and the overlays laid over the gesture layer.
#include "camera/screen/view_controller.h"

#include "camera/overlays/focus_view.h"
#include "camera/overlays/guide_view.h"
#include "filter/glk_view.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color_custom.h"

namespace {
constexpr std::int64_t kAssistantOptions = CameraAssistant::kMotion | CameraAssistant::kCamera |
                                           CameraAssistant::kPhotoLibrary | CameraAssistant::kVolumeButtons;
constexpr CGFloat kManualBackdropAlpha = 0.7;
}  // namespace

std::shared_ptr<LastInfo> ViewController::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(Sandbox::libraryDirectory() + "/" + kLastInfoFile);
    return lastInfo_;
}

std::shared_ptr<CameraAssistant> ViewController::assist() {
    if (!assist_) {
        assist_ = CameraAssistant::make(kAssistantOptions);
        assist_->setLocationIncluded(Global::shared()->geoTagging());
        assist_->setDelegate(std::weak_ptr<CameraAssistantDelegate>(me()));
    }
    return assist_;
}

std::shared_ptr<CameraPhotoGeneralHost> ViewController::makerPhoto() {
    std::lock_guard lock(makerMutex_);
    if (!makerPhoto_) {
        auto host = CameraPhotoGeneralHost::make();
        if (Global::shared()->silentMode())
            host->setPresets({AVCaptureSessionPreset::P3840x2160, AVCaptureSessionPreset::Photo});
        else
            host->setPresets({AVCaptureSessionPreset::Photo});
        host->setPosition(integerOf(Global::shared()->position()));
        host->setDelegate(std::weak_ptr<CameraPhotoGeneralHostDelegate>(me()));
        makerPhoto_ = host;
    }
    return makerPhoto_;
}

std::shared_ptr<CameraVideoGeneralHost> ViewController::makerVideo() {
    std::lock_guard lock(makerMutex_);
    if (!makerVideo_) {
        std::vector<std::string> presets = {
            AVCaptureSessionPreset::Photo,    AVCaptureSessionPreset::High,           AVCaptureSessionPreset::Medium,
            AVCaptureSessionPreset::P1280x720, AVCaptureSessionPreset::P352x288,      AVCaptureSessionPreset::P640x480,
            AVCaptureSessionPreset::IFrame960x540, AVCaptureSessionPreset::Low,       AVCaptureSessionPreset::Photo};
        if (!Global::shared()->device()->IsIPad()) presets.erase(presets.begin());
        auto host = CameraVideoGeneralHost::make();
        host->setPresets(std::move(presets));
        host->setPosition(integerOf(Global::shared()->position()));
        host->setDelegate(std::weak_ptr<CameraVideoHostDelegate>(me()));
        makerVideo_ = host;
    }
    return makerVideo_;
}

std::shared_ptr<CameraHost> ViewController::maker() {
    if (Global::shared()->shotMode() == ShotMode::Video) return makerVideo();
    return makerPhoto();
}

std::shared_ptr<CameraHost> ViewController::currentMaker() const {
    std::lock_guard lock(makerMutex_);
    if (makerVideo_) return makerVideo_;
    return makerPhoto_;
}

void ViewController::clearMaker() {
    {
        std::lock_guard lock(makerMutex_);
        makerPhoto_ = nullptr;
        makerVideo_ = nullptr;
    }
    if (preview_) preview_->removeFromSuperview();
    preview_ = nullptr;
}

std::shared_ptr<AVCaptureDevice> ViewController::device() const {
    auto host = currentMaker();
    auto input = host ? host->vInput() : nullptr;
    return input ? input->device() : nullptr;
}

std::shared_ptr<GLKView> ViewController::preview() {
    if (!preview_) {
        preview_ = GLKView::make();
        preview_->setContentMode(UIViewContentMode::ScaleAspectFit);
        preview_->setEnableSetNeedsDisplay(false);
        view()->addSubview(preview_);
        addConstraintsFull(preview_, view(), 0, 0, 0, 0);
        view()->sendSubviewToBack(preview_);
        if (auto gradient = gradientView()) view()->sendSubviewToBack(gradient);
    }
    return preview_;
}

std::shared_ptr<PopLeftView> ViewController::popLeft() {
    if (!popLeft_) {
        popLeft_ = PopLeftView::make(self<UIViewController>());
        popLeft_->setDelegate(std::shared_ptr<PopLeftViewDelegate>(me(), static_cast<PopLeftViewDelegate*>(this)));
    }
    return popLeft_;
}

std::shared_ptr<PopOptionView> ViewController::popOption() {
    if (!popOption_) {
        popOption_ = PopOptionView::make(self<UIViewController>());
        popOption_->setDelegate(std::shared_ptr<PopOptionViewDelegate>(me(), static_cast<PopOptionViewDelegate*>(this)));
        popOption_->setShowAboveIfBothAvailable(true);
    }
    return popOption_;
}

std::shared_ptr<PopManualView> ViewController::popManual() {
    if (!popManual_) {
        popManual_ = PopManualView::make(self<UIViewController>());
        popManual_->setDelegate(std::shared_ptr<PopManualViewDelegate>(me(), static_cast<PopManualViewDelegate*>(this)));
        popManual_->setShowAboveIfBothAvailable(true);
        if (auto bg = popManual_->bg()) bg->setBackgroundColor(UIColor::clearColor());
        popManual_->setBgColor(UIColor::colorWithWhite(0, kManualBackdropAlpha));
    }
    return popManual_;
}

void ViewController::buildOverlays() {
    guideView_ = GuideView::make();
    focusView_ = FocusView::make(UIColor::redColor(), std::string("FOCUS"), std::nullopt);
    exposureView_ = FocusView::make(UIColor::blueColor(), std::string("EXPOSURE"), std::optional<std::string>("EXPOSURE"));
    for (const std::shared_ptr<UIView>& v :
         {std::shared_ptr<UIView>(guideView_), std::shared_ptr<UIView>(focusView_), std::shared_ptr<UIView>(exposureView_)}) {
        ui_->addSubview(v);
        addConstraintsFull(v, ui_, 0, 0, 0, 0);
    }
}
