// The full-frame editors that lie over the host's picture (positions, rectangle): a canvas showing
// the picture scaled so its longer side is 250 points, a plane laid exactly over it, a refresh of
// the canvas while open, and the panel centred on the screen. They open only over a picture with
// a finite, non-empty extent. Main-thread only.
#pragma once

#include <memory>
#include <optional>

#include "editor/adjust/pop_adj_frame_base.h"
#include "platform/dispatch/timer_slots.h"

class CanvasView;

class PopAdjPictureFrame : public PopAdjFrameBase {
public:
    static constexpr CGFloat kLongSide = 250;
    static constexpr CGFloat kMinSide = 200;
    static constexpr CGFloat kCanvasInset = 10;

    // Stops the refresh and tells the delegate before hiding.
    void hide(Callback completion) override;
    using PopAdjFrameBase::hide;
    // Centred on the screen.
    void recalcLayout() override;

    // The picture's size as the delegate has it now; none without a usable picture.
    std::optional<CGSize> pictureSize();
    void resetUpdateImageTimer() { timerUpdateImage_.reset(); }
    void restartUpdateImageTimer();
    void onUpdateImage();

    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<CanvasView>& canvasView() const { return canvasView_; }
    const std::shared_ptr<NSTimer>& timerUpdateImage() const { return timerUpdateImage_.timer(); }
    CGSize imageSize() const { return imageSize_; }

protected:
    using PopAdjFrameBase::PopAdjFrameBase;

    // The common frame: size, colours, the panel under the title bar with its background, the
    // canvas, and the refresh interval.
    void initPicture(std::shared_ptr<UIColor> panelColor, double refreshInterval);
    // Sizes the pop-up for the picture (with a bar of the given height under the canvas), and pins
    // the canvas and then the plane over the same area of the panel.
    void layOutPicture(CGSize picture, const std::shared_ptr<UIView>& plane, CGFloat bottomBar);

private:
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<CanvasView> canvasView_;
    RepeatingTimer timerUpdateImage_;
    double refreshInterval_ = 0;
    CGSize imageSize_{};
};
