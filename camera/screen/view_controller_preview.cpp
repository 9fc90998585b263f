// The screen's side of the picture road (camera/screen/preview_road.h): frames handed on from the
// capture queue, the drawing into the preview, the placing of the preview, the gesture layer and
// the zoom slider between the bars, and the fade applied to them.
#include "camera/screen/camera_popups.h"
#include "camera/screen/library_road.h"
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

// Borrows the screen that owns it; the road holds it weakly, so it never outlives the screen.
class ViewController::RoadSide final : public PreviewRoadDelegate {
public:
    explicit RoadSide(ViewController& screen) : s_(screen) {}

    std::shared_ptr<CIImage> previewRoadDraw(const std::shared_ptr<CIImage>& frame) override {
        // While a shot is under way the preview holds the frame being shot.
        if (s_.shotPhase() == ShotPhase::Shooting) return nullptr;
        return s_.drawPreview(frame);
    }

    bool previewRoadHasDrawable() override {
        auto view = s_.preview();
        return view->drawableWidth() != 0 && view->drawableHeight() != 0;
    }

    PreviewRoom previewRoadRoom() override {
        auto root = s_.view();
        const UIEdgeInsets safe = root->safeAreaInsets();
        PreviewRoom room;
        room.view = root->bounds().size;
        room.topGuide = safe.top;
        room.bottomGuide = safe.bottom;
        room.topBar = s_.v_.top->bounds().size.height;
        room.bottomBar = s_.v_.bottom->bounds().size.height;
        return room;
    }

    void previewRoadPlace(const PreviewInsets& in) override {
        s_.layoutPreviewEdges(in);
        s_.placeZoomSlider(in);
        s_.popups_->bringShownToFront();
    }

    void previewRoadPlaced() override { s_.updateView(); }

    void previewRoadStalled() override {
        // A refused camera gives no frames and would give none after a restart either.
        if (s_.captureRefused()) return;
        s_.noFocusReset_ = true;
        s_.restart({});
    }

    CGSize previewRoadTileSize() override { return s_.filterTileSize(); }

    void previewRoadFadeBegins(bool fadingIn) override {
        if (fadingIn && s_.preview_) s_.preview_->setAlpha(0);
    }

    void previewRoadFade(const FadeStep& step) override {
        auto& preview = s_.preview_;
        if (step.done) {
            const bool hidden = preview ? preview->isHidden() : true;
            // Every layer the fade dimmed comes back to its rest alpha, whatever the last tick left.
            if (preview) preview->setAlpha(1);
            s_.v_.ui->setAlpha(1);
            s_.v_.slZoom->setAlpha(FadeStep{}.sliderAlpha);
            s_.v_.slZoom->setHidden(hidden);
            // Without a picture the gestures have nothing to act on, but a refused camera's taps
            // still ask for the settings.
            s_.v_.ui->setHidden(hidden && !s_.cameraRefused());
            return;
        }
        if (preview) preview->setAlpha(step.alpha);
        s_.v_.ui->setAlpha(step.alpha);
        s_.v_.slZoom->setAlpha(step.sliderAlpha);
        s_.v_.slZoom->setHidden(step.controlsHidden);
        s_.v_.ui->setHidden(step.controlsHidden);
    }

private:
    ViewController& s_;
};

void ViewController::init() {
    MyViewController::init();
    auto self = me();
    hosts_ = std::make_unique<CaptureHosts>(std::weak_ptr<CameraVideoHostDelegate>(self));
    shots_ = std::make_unique<ShotSequencer>(std::weak_ptr<ShotSequencerDelegate>(self));
    popups_ = CameraPopups::make(std::weak_ptr<ViewController>(self));
    library_ = LibraryRoad::make(std::weak_ptr<ViewController>(self));
    roadSide_ = std::make_shared<RoadSide>(*this);
    road_->setDelegate(roadSide_);
}

void ViewController::onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) {
    auto image = imageWithSampleBuffer(s);
    if (!image) return;
    if (!road_->storeToShow(std::move(image), CACurrentMediaTime())) return;
    std::weak_ptr<ViewController> weak = me();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto self = weak.lock()) self->road_->showNewest(self->ratioWpH_);
    });
}

void ViewController::onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>&) {
    onMain([](ViewController& s) { s.road_->sessionWillStop(); });
}

void ViewController::layoutPreviewEdges(const PreviewInsets& in) {
    auto root = view();
    for (const std::shared_ptr<UIView>& v : {std::static_pointer_cast<UIView>(preview()), v_.ui}) {
        removeMyConstraints(*v);
        v->removeFromSuperview();
        root->addSubview(v);
        addConstraintsFull(v, root, in.dl, in.dt, in.dr, in.db);
    }
    root->sendSubviewToBack(preview_);
    if (auto gradient = gradientView()) root->sendSubviewToBack(gradient);
    root->bringSubviewToFront(v_.ui);
    root->bringSubviewToFront(v_.top);
    root->bringSubviewToFront(v_.bottom);
}

void ViewController::placeZoomSlider(const PreviewInsets& in) {
    auto root = view();
    removeMyConstraints(*v_.slZoom);
    v_.slZoom->removeFromSuperview();
    root->addSubview(v_.slZoom);
    // Its right end 80 points right of ui's right edge, centred on ui: turned upright, the slider
    // stands about 20 points inside the picture's right edge.
    const CGFloat uiWidth = root->bounds().size.width - in.dl + in.dr;
    addConstraintsByViewCCWH(v_.slZoom, root, v_.ui, uiWidth / 2 + kSliderOutside - kSliderLength / 2, 0, kSliderLength,
                             kSliderThickness);
    root->bringSubviewToFront(v_.slZoom);
}

std::shared_ptr<CIImage> ViewController::drawPreview(const std::shared_ptr<CIImage>& frame) {
    auto host = hosts_->stored();
    if (!host || !frame) return nullptr;
    auto context = host->context();
    if (!setCurrentContext(context->gl())) return nullptr;
    auto image = screenElement_ ? screenElement_->make(frame) : frame;
    auto view = preview();
    if (!view->context()) view->setContext(context->gl());
    if (!isDrawable(image)) return nullptr;
    drawImage(*view, image, *context->ciGPU());
    return image;
}
