// The camera screen's central refresh: one road from the capture state, the settings and the
// filter to the controls.
#include <algorithm>

#include "camera/overlays/guide_view.h"
#include "camera/screen/camera_popups.h"
#include "camera/screen/screen_geometry.h"
#include "camera/screen/view_controller.h"
#include "capture/capture_device_custom.h"
#include "editor/browser/filter_list_view.h"
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
    if (!isViewLoaded() || !v_.ui) return;
    road_->followPlacement();
    if (road_->readyScreenRect()) {
        auto dev = hosts_->device();
        const double zoom = dev ? dev->videoZoomFactor() : 1.0;
        v_.slZoom->setTintColor(zoom > 1.0 ? flatOrangeColor() : UIColor::whiteColor());
        if (screenElement_) setFilterLabel(false);
        v_.lblFilter->setHidden(!screenElement_);
        auto manual = popups_->manualIfMade();
        if (manual && v_.btnManual->on() != manual->isUserManual())
            v_.btnManual->setOn(manual->isUserManual(), [](AnimButton&) {});
        v_.slZoom->setValue(float(dev ? sliderForZoom(zoom, maxZoom(*dev)) : 0));
        auto shutter = shutterImageFor(Global::shared()->shotMode());
        if (shutter && shutter != v_.btnShot->imageOff()) v_.btnShot->setOffImage(shutter, [](AnimButton&) {});
    }
    auto host = hosts_->stored();
    const bool guide = Global::shared()->gridMode() && host && host->isRunning() && !hosts_->moving();
    if (v_.guideView) v_.guideView->setHidden(!guide);
}

void ViewController::setFilterLabel(bool unfiltered) {
    const std::string title = unfiltered       ? std::string(kOriginal)
                              : screenElement_ ? screenElement_->displayName()
                                               : std::string();
    v_.lblFilter->setTitle(title);
    auto font = v_.lblFilter->label()->font();
    NSAttributes attributes;
    if (font) attributes.set(NSFontAttributeName, Value(font));
    const CGFloat textWidth = sizeWithAttributes(title, attributes).width;
    const CGFloat width = std::min(textWidth + kLabelPadding, view()->bounds().size.width - kLabelSideRoom);
    removeMyConstraints(*v_.lblFilter);
    v_.lblFilter->removeFromSuperview();
    v_.top->addSubview(v_.lblFilter);
    addConstraintsCenter(v_.lblFilter, v_.top, 0, 0, width, kLabelHeight);
}

CGSize ViewController::filterTileSize() {
    return popups_->filter()->fv()->itemList()->itemSize();
}
