// A horizontal scroll view with a soft band at each side, shown only while content lies hidden
// beyond that side. Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/view/ui_view.h"

class CAGradientLayer;
class UIColor;

class GradientLRView : public UIView, public UIScrollViewDelegate {
public:
    KORVA_MAKE(GradientLRView)
    // A side counts as reached within this many points.
    static constexpr CGFloat kEdgeSlack = 1;
    static constexpr CGFloat kBandHeight = 1000;

    void init() override;

    // Shows or hides the bands from the scroll position; subclasses call it after changing content.
    void updateView();
    void scrollViewDidScroll(UIScrollView&) override { updateView(); }

    const std::shared_ptr<UIScrollView>& scroll() const { return scroll_; }
    CGFloat gradientWidth() const { return gradientWidth_; }
    void setGradientWidth(CGFloat w) { gradientWidth_ = w; }
    bool dontShowGradient() const { return dontShowGradient_; }
    void setDontShowGradient(bool d) { dontShowGradient_ = d; }
    const std::shared_ptr<CAGradientLayer>& graL() const { return graL_; }
    const std::shared_ptr<CAGradientLayer>& graR() const { return graR_; }
    const std::shared_ptr<UIView>& vL() const { return vL_; }
    const std::shared_ptr<UIView>& vR() const { return vR_; }

    std::string className() const override { return "GradientLRView"; }

protected:
    GradientLRView(std::shared_ptr<UIColor> color, CGFloat gradientWidth)
        : gradientWidth_(gradientWidth), color_(std::move(color)) {}

private:
    std::shared_ptr<CAGradientLayer> makeBand(CGFloat middle) const;

    CGFloat gradientWidth_;
    std::shared_ptr<UIColor> color_;
    bool dontShowGradient_ = false;
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<CAGradientLayer> graL_, graR_;
    std::shared_ptr<UIView> vL_, vR_;
};
