// Zoom by slider and pinch, the focus and exposure points dragged with one or two fingers, the
// marker shown when the device refocuses by itself, and the short messages over the picture.
#include <algorithm>

#include "camera/overlays/focus_view.h"
#include "camera/screen/screen_geometry.h"
#include "camera/screen/view_controller.h"
#include "capture/capture_device_custom.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/format.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"
#include "platform/ui/text/attributed_string.h"
#include "ui/popup/pop_message_view.h"
#include "ui/theme/font.h"

namespace {

constexpr double kSliderFade = 0.2;
constexpr double kFocusTick = 0.1;
constexpr double kMessageDelay = 2.0;
constexpr CGFloat kSliderActiveAlpha = 1.0;
constexpr CGFloat kMessageBackdropAlpha = 0.2;

// The last texts shown, one memory per kind of message, for the life of the process.
std::string& lastMessage() {
    static std::string text;
    return text;
}
std::string& lastBigMessage() {
    static std::string text;
    return text;
}

// Sets the zoom on the host's queue inside the configuration lock; the block runs on the main
// queue only when the zoom was set.
void zoomTo(const std::shared_ptr<CameraHost>& host, std::function<double(AVCaptureDevice&)> factor,
            std::function<void()> done) {
    if (!host) return;
    dispatch_async(host->q(), [host, factor = std::move(factor), done = std::move(done)] {
        auto input = host->vInput();
        auto device = input ? input->device() : nullptr;
        if (!device || !device->lockForConfiguration().ok()) return;
        device->setVideoZoomFactor(factor(*device));
        device->unlockForConfiguration();
        dispatch_async(dispatch_get_main_queue(), done);
    });
}

}  // namespace

void ViewController::resetMessageMemory() {
    lastMessage().clear();
    lastBigMessage().clear();
}

void ViewController::onZoomStart() {
    auto slider = v_.slZoom;
    UIViewAnimation::animate(kSliderFade, [slider] { slider->setAlpha(kSliderActiveAlpha); });
}

void ViewController::onZoomStop() {
    auto slider = v_.slZoom;
    UIViewAnimation::animate(kSliderFade, [slider] { slider->setAlpha(kSliderRestAlpha); });
}

void ViewController::onZoom() {
    const double s = v_.slZoom->value();
    zoomTo(
        hosts_->current(), [s](AVCaptureDevice& d) { return zoomForSlider(s, maxZoom(d)); },
        weakBind(me(), &ViewController::onZoomChanged));
}

void ViewController::onZoomChanged() {
    auto d = hosts_->device();
    showMessage(formatString("Zoom: %0.1f x", {Value(d ? d->videoZoomFactor() : 1.0)}));
    updateView();
}

void ViewController::onPinch(UIGestureRecognizer& gesture) {
    auto& pinch = static_cast<UIPinchGestureRecognizer&>(gesture);
    if (pinch.state() == UIGestureRecognizerState::Began) {
        auto d = hosts_->device();
        zoom0_ = d ? d->videoZoomFactor() : 1.0;
        return;
    }
    if (pinch.state() != UIGestureRecognizerState::Changed) return;
    const double wanted = zoom0_ * pinch.scale();
    zoomTo(
        hosts_->current(), [wanted](AVCaptureDevice& d) { return std::clamp(wanted, 1.0, std::max(1.0, maxZoom(d))); },
        weakBind(me(), &ViewController::onZoomChanged));
}

void ViewController::onPan(UIGestureRecognizer& gesture) {
    if (gesture.state() != UIGestureRecognizerState::Changed) return;
    auto view = preview();
    const CGSize size = view->bounds().size;
    if (size.width <= 0 || size.height <= 0) return;
    CGPoint pf, pe;
    if (gesture.numberOfTouches() < 2) {
        pf = pe = gesture.locationInView(view);
    } else {
        pf = gesture.locationOfTouch(0, view);
        pe = gesture.locationOfTouch(1, view);
    }
    lastFocused_ = {pf.x / size.width, 1 - pf.y / size.height};
    lastExposured_ = {pe.x / size.width, 1 - pe.y / size.height};
    v_.focusView->focusByUser(lastFocused_);
    if (lastFocused_.x != lastExposured_.x || lastFocused_.y != lastExposured_.y)
        v_.exposureView->focusByUser(lastExposured_);
    updateFocusAuto();
    updateExpoAuto();
}

void ViewController::onCameraAssistantMotionRequestFocusUpdate(const std::shared_ptr<CameraAssistant>&, bool bigMove) {
    dontShowFocusView_ = !bigMove;
    if (auto host = hosts_->stored()) host->setFocus(lastFocused_);
}

void ViewController::onCameraHostWillFocus(const std::shared_ptr<CameraHost>&, CGPoint pt) {
    onMain([pt](ViewController& s) {
        s.lastFocused_ = pt;
        if (s.dontShowFocusView_) {
            s.dontShowFocusView_ = false;
            return;
        }
        s.restartTimerFocus();
    });
}

void ViewController::restartTimerFocus() {
    timerFocus_.restart(kFocusTick, weakBind(me(), &ViewController::onTimerFocus));
}

void ViewController::resetTimerFocus() {
    timerFocus_.reset();
}

void ViewController::onTimerFocus() {
    // The marker waits until the preview is laid out, so it lands on the picture.
    if (!road_->readyScreenRect()) return;
    resetTimerFocus();
    if (!generalFocusing_) {
        v_.focusView->initialize(lastFocused_);
        generalFocusing_ = true;
    } else {
        v_.focusView->focusByDevice(lastFocused_);
    }
}

void ViewController::hideFocusView() {
    v_.focusView->delayedHide();
}

void ViewController::showMessage(const std::string& text) {
    if (!lastMessage().empty() && text == lastMessage()) return;
    lastMessage() = text;
    // A repeat is held back only while nothing else was shown in between: after a big message
    // (the self-timer's count) the same small one shows again.
    lastBigMessage().clear();
    auto font = Global::shared()->font();
    showMessage0(text, font ? font->iconFixedLarge3() : nullptr);
}

void ViewController::showBigMessage(const std::string& text) {
    if (!lastBigMessage().empty() && text == lastBigMessage()) return;
    lastBigMessage() = text;
    lastMessage().clear();
    auto font = Global::shared()->font();
    showMessage0(text, font ? font->iconFixedLarge5() : nullptr);
}

void ViewController::showMessage0(const std::string& text, const std::shared_ptr<UIFont>& font) {
    auto pop = message();
    if (!pop) return;
    NSAttributes attributes;
    if (font) attributes.set(NSFontAttributeName, Value(font));
    attributes.set(NSForegroundColorAttributeName, Value(UIColor::whiteColor()));
    pop->setAttributedText(NSAttributedString::make(text, attributes));
    pop->setBgColor(UIColor::colorWithWhite(0, kMessageBackdropAlpha));
    pop->showAndDelayedHide(view(), kMessageDelay, nullptr, nullptr);
}

void ViewController::onFilterLabelLongPress(UIGestureRecognizer& gesture) {
    switch (gesture.state()) {
        case UIGestureRecognizerState::Began:
            screenElement0_ = screenElement_;
            screenElement_ = nullptr;
            break;
        case UIGestureRecognizerState::Ended:
        case UIGestureRecognizerState::Cancelled:
        case UIGestureRecognizerState::Failed:
            if (!screenElement0_) break;
            screenElement_ = screenElement0_;
            screenElement0_ = nullptr;
            break;
        default: break;
    }
}
