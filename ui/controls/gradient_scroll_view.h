// A horizontal scroll view with a single soft band on the left, shown once the content has been
// scrolled more than 5 points. Main-thread only.
#pragma once

#include "platform/dispatch/timer_slots.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "ui/layout/my_view.h"

class CAGradientLayer;

class GradientScrollView : public MyView, public UIScrollViewDelegate {
public:
    KORVA_MAKE(GradientScrollView)
    static constexpr double kUpdateDelay = 0.1;
    static constexpr CGFloat kShowAfter = 5;

    void setup() override;
    void relayout() override;
    // Places and shows the band a moment later; content changes settle first.
    void updateView();
    void updateView0();
    void scrollViewDidScroll(UIScrollView&) override { updateView0(); }

    const std::shared_ptr<UIScrollView>& scroll() const { return scroll_; }
    const std::shared_ptr<CAGradientLayer>& graL() const { return graL_; }
    const std::shared_ptr<UIColor>& bgColor() const { return bgColor_; }
    // Stored only; the scroll view took its colour at setup.
    void setBgColor(std::shared_ptr<UIColor> c) { bgColor_ = std::move(c); }

    std::string className() const override { return "GradientScrollView"; }

protected:
    using MyView::MyView;

private:
    std::shared_ptr<UIScrollView> scroll_;
    std::shared_ptr<CAGradientLayer> graL_;
    std::shared_ptr<UIColor> bgColor_;
    OneShotTimer update_;
};
