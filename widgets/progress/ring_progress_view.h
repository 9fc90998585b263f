// A view that covers its area with a background (plain white, or a blur) and draws a thin ring in
// the middle: spinning while the amount of work is unknown, then filling clockwise from the top
// with an optional percentage; at 100 % the background opens from the ring inward and outward,
// the view hides itself and runs its completion callback. Main-thread only.
//
// States: Spinning (initialisation, setIndeterminate yes) -> Determinate (setProgress below 1) ->
// Finishing (setProgress reaching 1: the reveal runs) -> Hidden (the reveal ended). A later
// progress between 0 and 1, or a change of the spinning flag, shows the view again.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/animation/ca_animation.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/view/ui_view.h"
#include "platform/ui/view/ui_visual_effect_view.h"

class RingProgressView : public UIView, public CAAnimationDelegate {
public:
    KORVA_MAKE(RingProgressView)
    void init() override;

    bool indeterminate() const { return indeterminate_; }
    void setIndeterminate(bool indeterminate);
    bool showsText() const { return showsText_; }
    void setShowsText(bool shows);
    bool usesVibrancyEffect() const { return usesVibrancy_; }
    void setUsesVibrancyEffect(bool uses);
    // The last accepted progress, 0...1.
    double progress() const { return progress_; }
    void setProgress(double progress) { setProgress(progress, true); }
    void setProgress(double progress, bool animated);
    // The inner radius of the ring.
    double radius() const { return radius_; }
    void setRadius(double radius);
    double lineWidth() const { return progressLayer()->lineWidth(); }
    void setLineWidth(double width);
    // The ring's colour (the view's own tint handling is not used).
    std::shared_ptr<UIColor> tintColor() const;
    void setTintColor(std::shared_ptr<UIColor> color);
    // The label's colour; none means the tint. Both take effect at the next label layout.
    std::shared_ptr<UIColor> textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> color) { textColor_ = std::move(color); }
    double textSize() const { return textSize_; }
    void setTextSize(double size) { textSize_ = size; }
    const std::shared_ptr<UIView>& backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<UIView> view);
    std::shared_ptr<UIBlurEffect> blurEffect() const { return blurEffect_; }
    void setBlurEffect(std::shared_ptr<UIBlurEffect> effect);
    void setAnimationDidStopBlock(std::function<void()> block) { animationDidStopBlock_ = std::move(block); }

    const std::shared_ptr<UILabel>& textLabel() const;
    const std::shared_ptr<CALayer>& backgroundLayer() const;
    const std::shared_ptr<CAShapeLayer>& progressLayer() const;

    void layoutSubviews() override;
    void animationDidStop(CAAnimation& animation, bool finished) override;
    std::string className() const override { return "RingProgressView"; }

protected:
    explicit RingProgressView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void layoutTextLabel();
    void runCompletionAnimation();
    void applyVibrancy();
    void removeVibrancy();
    // Where the ring and the label live: the vibrancy view's content when there is one.
    std::shared_ptr<UIView> ringHost() const;

    bool indeterminate_ = false;
    bool showsText_ = false;
    bool usesVibrancy_ = false;
    double progress_ = 0;
    double radius_ = 20;
    std::shared_ptr<UIColor> textColor_;
    double textSize_ = 0;
    std::shared_ptr<UIView> backgroundView_;
    std::shared_ptr<UIBlurEffect> blurEffect_;
    std::shared_ptr<UIVisualEffectView> vibrancyView_;
    std::function<void()> animationDidStopBlock_;
    mutable std::shared_ptr<UILabel> textLabel_;
    mutable std::shared_ptr<CALayer> backgroundLayer_;
    mutable std::shared_ptr<CAShapeLayer> progressLayer_;
};
