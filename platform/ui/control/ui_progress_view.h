// A thin bar that fills from the left with progress 0...1.
#pragma once

#include "platform/ui/view/ui_view.h"

enum class UIProgressViewStyle { Default = 0, Bar = 1 };

class UIProgressView : public UIView {
public:
    KORVA_MAKE(UIProgressView)
    static std::shared_ptr<UIProgressView> withStyle(UIProgressViewStyle style);
    void init() override;

    float progress() const { return progress_; }
    // Clamped into 0...1 (NaN is ignored); animated fills the bar over a quarter of a second.
    void setProgress(float progress, bool animated = false);
    UIProgressViewStyle progressViewStyle() const { return style_; }
    void setProgressViewStyle(UIProgressViewStyle s);
    std::shared_ptr<UIColor> progressTintColor() const { return progressTint_; }
    void setProgressTintColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> trackTintColor() const { return trackTint_; }
    void setTrackTintColor(std::shared_ptr<UIColor> c);

    // The layer of the filled part (its width follows the progress).
    const std::shared_ptr<CALayer>& fillLayer() const { return fill_; }

    void layoutSubviews() override;
    CGSize intrinsicContentSize() const override { return {UIViewNoIntrinsicMetric, 4}; }
    CGSize sizeThatFits(CGSize size) const override { return {size.width, 4}; }
    std::string className() const override { return "UIProgressView"; }

protected:
    explicit UIProgressView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void updateColors();
    CGRect fillFrame() const;
    float progress_ = 0;
    UIProgressViewStyle style_ = UIProgressViewStyle::Default;
    std::shared_ptr<UIColor> progressTint_, trackTint_;
    std::shared_ptr<CALayer> fill_;
};
