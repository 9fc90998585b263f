// The screen's side of the picture road (camera/screen/preview_road.h): frames handed on from the
// capture queue, the drawing into the preview, the placing of the preview, the gesture layer and
// the zoom slider between the bars, and the fade applied to them.
#include "camera/screen/view_controller.h"

#include "capture/sample_buffer_image.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "filter/glk_view_custom.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/ui/control/ui_slider.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"

namespace {
constexpr CGFloat kSliderLength = 200;
constexpr CGFloat kSliderThickness = 30;
constexpr CGFloat kSliderOutside = 80;
}  // namespace

void ViewController::init() {
    MyViewController::init();
    road_->setDelegate(std::shared_ptr<PreviewRoadDelegate>(me(), static_cast<PreviewRoadDelegate*>(this)));
}

void ViewController::onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) {
    auto image = imageWithSampleBuffer(s);
    if (!image) return;
    road_->store(image, CACurrentMediaTime());
    std::weak_ptr<ViewController> weak = me();
    dispatch_async(dispatch_get_main_queue(), [weak, image] {
        if (auto self = weak.lock()) self->road_->showFrame(image, self->ratioWpH_);
    });
}

void ViewController::onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>&) {
    onMain([](ViewController& s) { s.road_->sessionWillStop(); });
}

std::shared_ptr<CIImage> ViewController::previewRoadDraw(const std::shared_ptr<CIImage>& frame) {
    if (noScreenUpdate_) return nullptr;
    auto host = currentMaker();
    if (!host) return nullptr;
    auto context = host->context();
    if (!setCurrentContext(context->gl())) return nullptr;
    auto image = screenElement_ ? screenElement_->make(frame) : frame;
    auto view = preview();
    if (!view->context()) view->setContext(context->gl());
    if (!isDrawable(image)) return nullptr;
    drawImage(*view, image, *context->ciGPU());
    return image;
}

bool ViewController::previewRoadHasDrawable() {
    auto view = preview();
    return view->drawableWidth() != 0 && view->drawableHeight() != 0;
}

PreviewRoom ViewController::previewRoadRoom() {
    auto root = view();
    const UIEdgeInsets safe = root->safeAreaInsets();
    PreviewRoom room;
    room.view = root->bounds().size;
    room.topGuide = safe.top;
    room.bottomGuide = safe.bottom;
    room.topBar = top_->bounds().size.height;
    room.bottomBar = bottom_->bounds().size.height;
    return room;
}

void ViewController::previewRoadPlace(const PreviewInsets& in) {
    preview();
    layoutPreviewEdges(in);
    placeZoomSlider(in);
    for (const std::shared_ptr<PopView>& pop : {std::static_pointer_cast<PopView>(popFilter_),
                                                std::static_pointer_cast<PopView>(popManual_),
                                                std::static_pointer_cast<PopView>(popOption_),
                                                std::static_pointer_cast<PopView>(popLeft_)})
        if (pop && !pop->hidden()) pop->bringToFront();
}

void ViewController::previewRoadPlaced() { updateView(); }

void ViewController::previewRoadStalled() {
    noFocusReset_ = true;
    restart({});
}

CGSize ViewController::previewRoadTileSize() { return filterTileSize(); }

void ViewController::previewRoadFadeBegins(bool fadingIn) {
    if (fadingIn && preview_) preview_->setAlpha(0);
}

void ViewController::previewRoadFade(const FadeStep& step) {
    if (step.done) {
        const bool hidden = preview_ ? preview_->isHidden() : true;
        // Every layer the fade dimmed comes back to its rest alpha, whatever the last tick left.
        if (preview_) preview_->setAlpha(1);
        ui_->setAlpha(1);
        slZoom_->setAlpha(FadeStep{}.sliderAlpha);
        slZoom_->setHidden(hidden);
        ui_->setHidden(hidden);
        return;
    }
    if (preview_) preview_->setAlpha(step.alpha);
    ui_->setAlpha(step.alpha);
    slZoom_->setAlpha(step.sliderAlpha);
    slZoom_->setHidden(step.controlsHidden);
    ui_->setHidden(step.controlsHidden);
}

void ViewController::layoutPreviewEdges(const PreviewInsets& in) {
    auto root = view();
    for (const std::shared_ptr<UIView>& v : {std::static_pointer_cast<UIView>(preview()), ui_}) {
        removeMyConstraints(*v);
        v->removeFromSuperview();
        root->addSubview(v);
        addConstraintsFull(v, root, in.dl, in.dt, in.dr, in.db);
    }
    root->sendSubviewToBack(preview_);
    if (auto gradient = gradientView()) root->sendSubviewToBack(gradient);
    root->bringSubviewToFront(ui_);
    root->bringSubviewToFront(top_);
    root->bringSubviewToFront(bottom_);
}

void ViewController::placeZoomSlider(const PreviewInsets& in) {
    auto root = view();
    removeMyConstraints(*slZoom_);
    slZoom_->removeFromSuperview();
    root->addSubview(slZoom_);
    // Its right end 80 points right of ui's right edge, centred on ui: turned upright, the slider
    // stands about 20 points inside the picture's right edge.
    const CGFloat uiWidth = root->bounds().size.width - in.dl + in.dr;
    addConstraintsByViewCCWH(slZoom_, root, ui_, uiWidth / 2 + kSliderOutside - kSliderLength / 2, 0, kSliderLength,
                             kSliderThickness);
    root->bringSubviewToFront(slZoom_);
}
