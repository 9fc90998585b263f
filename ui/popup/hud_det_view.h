// The HUD with a circular progress arc round its indicator and a cancel button that reports to
// its delegate. Main-thread only.
#pragma once

#include "ui/popup/hud_view.h"

class CAShapeLayer;
class HudDetView;
class IconButton;

class HudDetViewDelegate {
public:
    virtual ~HudDetViewDelegate() = default;
    virtual void onHudDetViewCancel(HudDetView& hud) = 0;
};

class HudDetView : public HudView {
public:
    KORVA_MAKE(HudDetView)
    static constexpr CGFloat kArcRadius = 52;
    static constexpr CGFloat kArcWidth = 6;
    static constexpr CGPoint kArcPosition{55, 55};
    static constexpr CGFloat kCancelOffset = 105;
    static constexpr CGSize kCancelSize{110, 35};
    static constexpr std::uint16_t kCancelGlyph = 0xF00D;

    void init() override;
    void show() override;
    // Draws the arc clockwise from twelve o'clock; 0 draws nothing, 1 the full circle.
    void setProgress(float p);
    void onCancel();

    float progress() const { return progress_; }
    const std::shared_ptr<CAShapeLayer>& circle() const { return circle_; }
    const std::shared_ptr<IconButton>& btnCancel() const { return btnCancel_; }
    void setDelegate(const std::shared_ptr<HudDetViewDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "HudDetView"; }

protected:
    explicit HudDetView(std::shared_ptr<UIViewController> vc) : HudView(std::move(vc)) {}

private:
    float progress_ = 0;
    std::weak_ptr<HudDetViewDelegate> delegate_;
    std::shared_ptr<UIView> arcHost_;
    std::shared_ptr<CAShapeLayer> circle_;
    std::shared_ptr<IconButton> btnCancel_;
};
