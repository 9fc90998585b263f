// The camera screen's central refresh: one road from the capture state, the settings and the
// filter to the controls.
#include "camera/screen/view_controller.h"

#include <algorithm>

#include "camera/overlays/guide_view.h"
#include "camera/screen/screen_geometry.h"
#include "capture/capture_device_custom.h"
#include "filter/filter_my_element.h"
#include "foundation/global.h"
#include "foundation/image_service.h"
#include "platform/capture/av_capture_device.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/string_drawing.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/label_status_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "widgets/flat/flat_palette.h"
#include "widgets/scroll/scroll_label.h"

namespace {
constexpr CGFloat kLabelPadding = 20 + 30;
constexpr CGFloat kLabelSideRoom = 200;
constexpr CGFloat kLabelHeight = 30;
const char* kOriginal = "ORIGINAL";

std::shared_ptr<UIImage> shutterImageFor(ShotMode shotMode) {
    auto images = Global::shared()->image();
    switch (shotMode) {
    case ShotMode::Burst: return images->shutterBurst();
    case ShotMode::Motion: return images->shutterMotion();
    case ShotMode::Video: return images->shutterVideo();
    case ShotMode::Photo: break;
    }
    return images->shutterGeneral();
}
}  // namespace

void ViewController::updateData() {
    ratioWpH_ = ratioWpHForImageRatio(Global::shared()->imageRatio());
    updateView();
}

void ViewController::updateView() {
    MyViewController::updateView();
    if (!isViewLoaded() || !ui_) return;
    road_->followPlacement();
    if (road_->readyScreenRect()) {
        auto dev = device();
        const double zoom = dev ? dev->videoZoomFactor() : 1.0;
        slZoom_->setTintColor(zoom > 1.0 ? flatOrangeColor() : UIColor::whiteColor());
        if (screenElement_) setFilterLabel(false);
        lblFilter_->setHidden(!screenElement_);
        if (popManual_ && btnManual_->on() != popManual_->isUserManual())
            btnManual_->setOn(popManual_->isUserManual(), [](AnimButton&) {});
        slZoom_->setValue(float(dev ? sliderForZoom(zoom, maxZoom(*dev)) : 0));
        auto shutter = shutterImageFor(Global::shared()->shotMode());
        if (shutter && shutter != btnShot_->imageOff()) btnShot_->setOffImage(shutter, [](AnimButton&) {});
    }
    auto host = currentMaker();
    const bool guide = Global::shared()->gridMode() && host && host->isRunning() && !capture_.moving();
    if (guideView_) guideView_->setHidden(!guide);
}

std::string ViewController::getFilterText() const {
    return screenElement_ ? screenElement_->displayName() : std::string();
}

void ViewController::setFilterLabel(bool unfiltered) {
    const std::string title = unfiltered ? std::string(kOriginal) : getFilterText();
    lblFilter_->setTitle(title);
    auto font = lblFilter_->label()->font();
    NSAttributes attributes;
    if (font) attributes.set(NSFontAttributeName, Value(font));
    const CGFloat textWidth = sizeWithAttributes(title, attributes).width;
    const CGFloat width = std::min(textWidth + kLabelPadding, view()->bounds().size.width - kLabelSideRoom);
    removeMyConstraints(*lblFilter_);
    lblFilter_->removeFromSuperview();
    top_->addSubview(lblFilter_);
    addConstraintsCenter(lblFilter_, top_, 0, 0, width, kLabelHeight);
}
