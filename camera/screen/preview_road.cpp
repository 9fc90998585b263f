// The picture road's frames, drawing tick, placement memory and fade.
#include "camera/screen/preview_road.h"

#include <algorithm>

#include "filter/ci_image_filter.h"
#include "platform/dispatch/clock.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_screen.h"

void PreviewRoad::showFrame(const std::shared_ptr<CIImage>& image, double ratioWpH) {
    lastScreen_ = cropped(image, ratioWpH);
    updateLastFilter();
    // The first picture after a restart is shown at once, not at the next drawing tick.
    if (restartBegan_ > 0) updateScreen();
}

void PreviewRoad::sessionWillStop() {
    lastScreen_ = nullptr;
    updateLastFilter();
    readyScreenRect_ = false;
}

void PreviewRoad::sessionDidStart(double now) {
    // Every session gets the full stall limit before its first frame is due.
    frame_.stamp(now);
    lastTick_ = heardAt_ = now;
    silence_ = 0;
    restartTimerScreen();
}

void PreviewRoad::updateLastFilter() {
    auto d = delegate_.lock();
    if (!lastScreen_ || !d) {
        lastFilter_ = nullptr;
        return;
    }
    const CGSize tile = d->previewRoadTileSize();
    const CGFloat scale = UIScreen::mainScreen()->scale();
    const CGSize size{tile.width * scale, tile.height * scale};
    if (size.width <= 0 || size.height <= 0) {
        lastFilter_ = nullptr;
        return;
    }
    // Recipes only: the pixels are computed when the filter browser draws its tiles.
    lastFilter_ = cropped(scaled(lastScreen_, size), size.width / size.height);
}

void PreviewRoad::restartTimerScreen() {
    // In the common modes, so the picture keeps moving while a control is dragged.
    timerScreen_.restartInCommonModes(kRenderInterval, weakBind(me(), &PreviewRoad::onTimerScreen));
}

void PreviewRoad::resetTimerScreen() {
    timerScreen_.reset();
}

double PreviewRoad::silenceAt(double now) {
    const double turn = std::clamp(now - lastTick_, 0.0, kLongestCountedTurn);
    lastTick_ = now;
    const double frameAt = frame_.at();
    if (frameAt != heardAt_) {
        heardAt_ = frameAt;
        silence_ = std::clamp(now - frameAt, 0.0, turn);
    } else {
        silence_ += turn;
    }
    return silence_;
}

void PreviewRoad::onTimerScreen() {
    if (silenceAt(CACurrentMediaTime()) > kStallLimit) {
        // Said once per stall: a camera that never delivers is restarted every second.
        if (!stallReported_) Log::warning("camera", "no camera frame for a second: restarting capture");
        stallReported_ = true;
        if (auto d = delegate_.lock()) d->previewRoadStalled();
        return;
    }
    updateScreen();
}

void PreviewRoad::updateScreen() {
    auto d = delegate_.lock();
    if (!lastScreen_ || !d) return;
    auto image = d->previewRoadDraw(lastScreen_);
    if (!image) return;
    stallReported_ = false;
    if (restartBegan_ > 0) {
        Log::debug("camera", "first frame after the restart drawn after " +
                                 std::to_string(CACurrentMediaTime() - restartBegan_) + " s");
        restartBegan_ = 0;
    }
    updateScreenRect(image->extent());
}

void PreviewRoad::updateScreenRect(CGRect extent) {
    auto d = delegate_.lock();
    if (!d) return;
    const PreviewRoom room = d->previewRoadRoom();
    // The screen turned or changed size: the picture is placed again for the new shape even when
    // the frame itself is unchanged (and even when the old placement left the preview no room).
    const CGSize size = room.view;
    const bool sameShape = size.width == layoutSize_.width && size.height == layoutSize_.height;
    const bool turned = !sameShape && layoutSize_.width > 0;
    if (!turned && !d->previewRoadHasDrawable()) return;
    const FrameKey key = FrameKey::of(extent);
    if (readyScreenRect_ && lastFrameKey_ && sameShape && key.closeTo(*lastFrameKey_, kRelayoutThreshold)) return;
    lastFrameKey_ = key;
    layoutSize_ = size;
    d->previewRoadPlace(previewInsets(extent.size, room));
    readyScreenRect_ = true;
    d->previewRoadPlaced();
}

void PreviewRoad::followPlacement() {
    if (readyScreenRect_ == flagFade_) return;
    flagFade_ = readyScreenRect_;
    restartTimerFade();
}

void PreviewRoad::restartTimerFade() {
    resetTimerFade();
    if (auto d = delegate_.lock()) d->previewRoadFadeBegins(flagFade_);
    atFade_ = Clock::now();
    timerFade_.restart(kFadeInterval, weakBind(me(), &PreviewRoad::onTimerFade));
}

void PreviewRoad::resetTimerFade() {
    timerFade_.reset();
}

void PreviewRoad::onTimerFade() {
    const FadeStep step = fadeStep((Clock::now() - atFade_) / kFadeDuration, flagFade_);
    if (step.done) resetTimerFade();
    if (auto d = delegate_.lock()) d->previewRoadFade(step);
}
