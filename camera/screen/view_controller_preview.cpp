// The picture road: frames arrive on the capture queue, the newest one is cropped to the picture
// ratio on the main queue, a 0.05 s timer draws it through the filter into the preview, the
// preview and the gesture layer are fitted between the bars, and the picture fades in and out.
#include "camera/screen/view_controller.h"

#include "capture/sample_buffer_image.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/glk_view.h"
#include "filter/glk_view_custom.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_slider.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"

namespace {
constexpr CGFloat kSliderLength = 200;
constexpr CGFloat kSliderThickness = 30;
constexpr CGFloat kSliderOutside = 80;
}  // namespace

void ViewController::onCameraHostSampleBufferVideo(const std::shared_ptr<CameraHost>&, const CMSampleBufferRef& s) {
    auto image = imageWithSampleBuffer(s);
    if (!image) return;
    frame_.store(image, CACurrentMediaTime());
    std::weak_ptr<ViewController> weak = me();
    dispatch_async(dispatch_get_main_queue(), [weak, image] {
        auto self = weak.lock();
        if (!self) return;
        self->lastScreen_ = cropped(image, self->ratioWpH_);
        self->updateLastFilter();
        // The first picture after a restart is shown at once, not at the next drawing tick.
        if (self->restartBegan_ > 0) self->updateScreen();
    });
}

void ViewController::onCameraHostWillSessionStop(const std::shared_ptr<CameraHost>&) {
    onMain([](ViewController& s) {
        s.lastScreen_ = nullptr;
        s.updateLastFilter();
        s.readyScreenRect_ = false;
    });
}

void ViewController::updateLastFilter() {
    if (!lastScreen_) {
        lastFilter_ = nullptr;
        return;
    }
    const CGSize tile = filterTileSize();
    const CGFloat scale = UIScreen::mainScreen()->scale();
    const CGSize size{tile.width * scale, tile.height * scale};
    if (size.width <= 0 || size.height <= 0) {
        lastFilter_ = nullptr;
        return;
    }
    // Recipes only: the pixels are computed when the filter browser draws its tiles.
    lastFilter_ = cropped(scaled(lastScreen_, size), size.width / size.height);
}

void ViewController::restartTimerScreen() {
    resetTimerScreen();
    std::weak_ptr<ViewController> weak = me();
    timerScreen_ = NSTimer::timer(kRenderInterval, true, [weak](const std::shared_ptr<NSTimer>&) {
        if (auto s = weak.lock()) s->onTimerScreen();
    });
    // In the common modes, so the picture keeps moving while a control is dragged.
    RunLoop::main().addTimer(timerScreen_, RunLoopMode::Common);
}

void ViewController::resetTimerScreen() {
    if (timerScreen_) timerScreen_->invalidate();
    timerScreen_ = nullptr;
}

void ViewController::onTimerScreen() {
    if (CACurrentMediaTime() > frame_.at() + kStallLimit) {
        // Said once per stall: a camera that never delivers is restarted every second.
        if (!stallReported_) Log::warning("camera", "no camera frame for a second: restarting capture");
        stallReported_ = true;
        noFocusReset_ = true;
        restart({});
        return;
    }
    updateScreen();
}

void ViewController::updateScreen() {
    if (!lastScreen_ || shotPhase() == ShotPhase::Shooting) return;
    auto host = currentMaker();
    if (!host) return;
    auto context = host->context();
    if (!setCurrentContext(context->gl())) return;
    auto image = screenElement_ ? screenElement_->make(lastScreen_) : lastScreen_;
    auto view = preview();
    if (!view->context()) view->setContext(context->gl());
    if (!isDrawable(image)) return;
    drawImage(*view, image, *context->ciGPU());
    stallReported_ = false;
    if (restartBegan_ > 0) {
        Log::debug("camera", "first frame after the restart drawn after " +
                                 std::to_string(CACurrentMediaTime() - restartBegan_) + " s");
        restartBegan_ = 0;
    }
    updateScreenRect(image->extent());
}

void ViewController::updateScreenRect(CGRect extent) {
    auto view = preview();
    auto root = this->view();
    // The screen turned or changed size: the picture is placed again for the new shape even when
    // the frame itself is unchanged (and even when the old placement left the preview no room).
    const CGSize size = root->bounds().size;
    const bool sameShape = size.width == layoutSize_.width && size.height == layoutSize_.height;
    const bool turned = !sameShape && layoutSize_.width > 0;
    if (!turned && (view->drawableWidth() == 0 || view->drawableHeight() == 0)) return;
    const FrameKey key = FrameKey::of(extent);
    if (readyScreenRect_ && lastFrameKey_ && sameShape && key.closeTo(*lastFrameKey_, kRelayoutThreshold)) return;
    lastFrameKey_ = key;
    layoutSize_ = size;

    const UIEdgeInsets safe = root->safeAreaInsets();
    PreviewRoom room;
    room.view = root->bounds().size;
    room.topGuide = safe.top;
    room.bottomGuide = safe.bottom;
    room.topBar = top_->bounds().size.height;
    room.bottomBar = bottom_->bounds().size.height;
    const PreviewInsets in = previewInsets(extent.size, room);
    layoutPreviewEdges(in);
    placeZoomSlider(in);
    for (const std::shared_ptr<PopView>& pop : {std::static_pointer_cast<PopView>(popFilter_),
                                                std::static_pointer_cast<PopView>(popManual_),
                                                std::static_pointer_cast<PopView>(popOption_),
                                                std::static_pointer_cast<PopView>(popLeft_)})
        if (pop && !pop->hidden()) pop->bringToFront();
    readyScreenRect_ = true;
    updateView();
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

void ViewController::restartTimerFade() {
    resetTimerFade();
    if (flagFade_ && preview_) preview_->setAlpha(0);
    atFade_ = Clock::now();
    std::weak_ptr<ViewController> weak = me();
    timerFade_ = NSTimer::scheduledTimer(kFadeInterval, true, [weak](const std::shared_ptr<NSTimer>&) {
        if (auto s = weak.lock()) s->onTimerFade();
    });
}

void ViewController::resetTimerFade() {
    if (timerFade_) timerFade_->invalidate();
    timerFade_ = nullptr;
}

void ViewController::onTimerFade() {
    const FadeStep step = fadeStep((Clock::now() - atFade_) / kFadeDuration, flagFade_);
    if (step.done) {
        const bool hidden = preview_ ? preview_->isHidden() : true;
        // Every layer the fade dimmed comes back to its rest alpha, whatever the last tick left.
        if (preview_) preview_->setAlpha(1);
        ui_->setAlpha(1);
        slZoom_->setAlpha(FadeStep{}.sliderAlpha);
        slZoom_->setHidden(hidden);
        ui_->setHidden(hidden);
        resetTimerFade();
        return;
    }
    if (preview_) preview_->setAlpha(step.alpha);
    ui_->setAlpha(step.alpha);
    slZoom_->setAlpha(step.sliderAlpha);
    slZoom_->setHidden(step.controlsHidden);
    ui_->setHidden(step.controlsHidden);
}
