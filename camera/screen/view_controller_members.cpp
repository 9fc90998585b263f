// The camera screen's members made on first use (the store, the assistant and the preview view)
// and the overlays laid over the gesture layer.
#include "camera/overlays/focus_view.h"
#include "camera/overlays/guide_view.h"
#include "camera/screen/view_controller.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/color_custom.h"

namespace {
constexpr std::int64_t kAssistantOptions = CameraAssistant::kMotion | CameraAssistant::kCamera |
                                           CameraAssistant::kPhotoLibrary | CameraAssistant::kVolumeButtons;
constexpr const char* kLastInfoFile = "ViewController.3";
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

void ViewController::dropPreview() {
    if (preview_) preview_->removeFromSuperview();
    preview_ = nullptr;
}

void ViewController::buildOverlays() {
    v_.guideView = GuideView::make();
    v_.focusView = FocusView::make(UIColor::redColor(), std::string("FOCUS"), std::nullopt);
    v_.exposureView =
        FocusView::make(UIColor::blueColor(), std::string("EXPOSURE"), std::optional<std::string>("EXPOSURE"));
    for (const std::shared_ptr<UIView>& v :
         {std::shared_ptr<UIView>(v_.guideView), std::shared_ptr<UIView>(v_.focusView),
          std::shared_ptr<UIView>(v_.exposureView)}) {
        v_.ui->addSubview(v);
        addConstraintsFull(v, v_.ui, 0, 0, 0, 0);
    }
}
